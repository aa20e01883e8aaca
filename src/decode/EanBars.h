#pragma once
// A second opinion on an EAN-13 or UPC-A read, from the widths of the bars themselves.
//
// Both engines read a 1 where a 7 is printed (and a 2 for an 8, and back) once ink has
// spread: those digits differ only in how wide their bars are against their spaces, and a
// label printed hot grows every bar by a good part of a module. Measured across the whole
// symbol, that growth is one amount, and taken out it leaves the digits plain.

#include <opencv2/core/mat.hpp>
#include <opencv2/core/types.hpp>

#include <string_view>

enum class BarsSay { Fits, Misfits, Unknown };

// Whether the bars at `place` (picture pixels; the rectangle a read spans, possibly a row or two
// high, or a column or two wide for a symbol standing upright) of an 8-bit gray picture are the
// given EAN-13 digits (13; a UPC-A is its 12 digits with a leading 0): measured across several
// lines through the bars, each element's width compared with what those digits print, allowing
// for bars grown or shrunk by the same amount throughout (ink spread) and a module size that
// changes along the symbol (perspective).
//  Fits: on at least two lines the bars are these digits and nothing else.
//  Misfits: on some line the bars are clearly another valid EAN-13 (check digit right), or
//           on more lines than fit, clearly other digits in the right half (whose codes need
//           no first digit).
//  Unknown: too blurred, too small, or no line shows the symbol whole; also for a text that is
//           not 13 digits, or a picture that is not 8-bit gray.
BarsSay CheckEanBars(const cv::Mat& picture, cv::Rect place, std::string_view digits13);
