#pragma once
// Named top-level picture windows, in place of OpenCV's highgui windows.

#include <opencv2/core/mat.hpp>

#include <string>

// Shows a copy of the picture (8-bit gray, BGR or BGRA) in the window called name, which
// opens on the first show at the picture's size. The window paints at the next event drain.
// An empty picture changes nothing.
void ShowPreview(const std::string& name, const cv::Mat& picture);

// Closes every preview window.
void DestroyAllPreviews();

// For tests and screenshots: whether the named window is on screen, and the picture it holds
// (empty when there is no such window).
bool IsPreviewOpen(const std::string& name);
cv::Mat PreviewPicture(const std::string& name);
