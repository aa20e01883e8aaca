#pragma once
// zxing-cpp, the second engine, in ZBar's terms: each symbol it finds comes out with the
// type name and the data ZBar gives for the same symbol, so that the accept lists and
// everything after the scan take both engines' symbols alike.

#include "decode/SymbolHit.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

// Reads an 8-bit grayscale picture of width x height bytes, rows without gaps, for the
// symbologies named in wanted (ZBar's names; of the accept lists' names zxing-cpp reads
// them all), and returns every symbol found whose ZBar name is in wanted, in zxing-cpp's
// order. Names and data as ZBar gives them: Codabar with its start and stop characters;
// an EAN-13 starting 978 or 979 is "ISBN-13", one starting 0 is "UPC-A" without that 0;
// QR data through QrTextToUtf8, raw bytes unless the code carries an ECI marker. Points
// are the symbol's four corners, clockwise from the top left of the symbol.
// Nothing for a picture without pixels, or one too large for zxing-cpp's int arithmetic.
std::vector<SymbolHit> ReadWithZxing(std::uint32_t width, std::uint32_t height, const void* pixels,
                                     std::span<const std::string_view> wanted);
