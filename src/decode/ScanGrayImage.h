#pragma once
// The one place where a picture meets ZBar.

#include "decode/SymbolHit.h"

#include <cstdint>
#include <functional>

// Scans an 8-bit grayscale picture of width x height bytes, rows without gaps, with every
// symbology enabled, and calls action once per symbol found, in ZBar's order, its data as
// ZBar gives it: for a QR code its raw bytes (ZBar's own guess of their encoding is often
// wrong), except where the code names an encoding with an ECI that ZBar converts to UTF-8
// itself. A product code with a price add-on comes as one COMPOSITE symbol at the place of
// its main symbol. A linear symbol that ZBar marks only at one end (a Code 128, Code 39
// or Codabar) has the corners of the rectangle its bars cover as its points. The pixels stay
// the caller's and are not copied. A picture without pixels (0 x 0,
// null data, or more than 2^32 of them) reports nothing.
// An exception thrown by the action passes through after ZBar's objects are released.
void ScanGrayImage(std::uint32_t width, std::uint32_t height, const void* pixels,
                   const std::function<void(const SymbolHit&)>& action);
