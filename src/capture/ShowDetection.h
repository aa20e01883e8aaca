#pragma once
// Detection feedback on the camera path.

#include "decode/SymbolHit.h"

#include <opencv2/core/mat.hpp>

// Outlines the symbol in green on frame, beeps, shows the marked frame in the preview and
// holds it about 1.5 s, handling waiting input once. Meanwhile it reads five further
// camera frames into frame without scanning them: the last stays in frame for the rest
// of the pass. Pauses, in order: 50, 50, 1200, 50, 50, 50 ms. The stop flag is not read.
void ShowDetection(cv::Mat& frame, const SymbolHit& symbol);
