#pragma once
// zxing-cpp, the second engine, in ZBar's terms: each symbol it finds comes out with the
// type name and the data ZBar gives for the same symbol, so that the accept lists and
// everything after the scan take both engines' symbols alike.

#include "decode/SymbolHit.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

struct ZxingSymbol {
    SymbolHit symbol;
    // A QR code whose segments name their encoding (an ECI, Kanji or Hanzi mode): its text
    // is read as they say, which ZBar cannot always do.
    bool namesItsEncoding = false;
    int copy = 0;  // found in the picture (0) or in its copy a third as large (1), a ninth (2)...
};

// Reads an 8-bit grayscale picture of width x height bytes, rows without gaps, for the
// symbologies named in wanted (ZBar's names; zxing-cpp reads QR codes and ZBar's linear
// symbologies), and returns every symbol found whose ZBar name is in wanted, in zxing-cpp's
// order, each once. Names and data as ZBar gives them: Codabar with its start and stop
// characters; an EAN-13 starting 978 or 979 is "ISBN-13", a UPC-A ("UPC-A") has its twelve
// digits. Linear data, which these symbologies carry as Latin-1 (Code 128's FNC4, say), is
// converted to UTF-8. A QR code that names its encoding takes zxing-cpp's decoded text;
// plain bytes go through QrTextToUtf8. Points are the symbol's four corners, clockwise from
// the top left of the symbol.
// Nothing for a picture without pixels, or one too large for zxing-cpp's int arithmetic.
std::vector<ZxingSymbol> ReadWithZxing(std::uint32_t width, std::uint32_t height, const void* pixels,
                                       std::span<const std::string_view> wanted);
