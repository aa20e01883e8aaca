#pragma once
// Where a symbol lies in its picture, as both engines' points describe it.

#include "decode/SymbolHit.h"

#include <opencv2/core/types.hpp>

// The rectangle the symbol's points span, in picture pixels; empty for a symbol without points.
cv::Rect PlaceOf(const SymbolHit& symbol);

// Whether two reads lie at the same place: their rectangles overlap once each is widened on
// every side by a tenth of its longer side. The engines trace one linear symbol along different
// rows (ZBar a few scan lines, zxing-cpp the rows it agreed on), so their rectangles share the
// symbol's width but not always a row. False when either has no points.
bool SamePlace(const SymbolHit& one, const SymbolHit& other);

// Whether most of one read's rectangle (half its area or more) lies within the other's, either
// way round: reads of one symbol, not of two side by side. False when either has no points.
bool OneWithinOther(const SymbolHit& one, const SymbolHit& other);
