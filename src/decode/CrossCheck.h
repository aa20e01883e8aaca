#pragma once
// Which of the symbols two engines read in one look are believed, and in what order.

#include "decode/SymbolHit.h"
#include "decode/ZxingRead.h"

#include <opencv2/core/types.hpp>

#include <functional>
#include <span>
#include <string_view>
#include <vector>

// What both engines read in one look, of every symbology each reads, each in its own order,
// with points in the picture's pixels.
struct EngineReads {
    std::vector<SymbolHit> zbar;
    std::vector<ZxingSymbol> zxing;
};

// A closer look at a place of the picture (a rectangle of its pixels): both engines' reads of
// its neighbourhood at another scale, points in the picture's pixels.
using CloserLook = std::function<EngineReads(const cv::Rect& place)>;

// The symbols of one look to report, of the accepted types: ZBar's in its order, just as it
// reports them (two alike in one picture too), then those zxing-cpp read that ZBar's do not
// include, in its order, each once. Reads of other types count as evidence only.
//  - Two-dimensional symbols are taken as read: their error correction makes misreads rare.
//    Where both engines read one QR code and zxing-cpp's follows the encoding the code names
//    (ZBar lacks Hanzi mode, for one), ZBar's symbol takes zxing-cpp's text.
//  - A linear symbol is reported only when nothing contradicts it: both engines read the same
//    type and text at its place, and neither engine alone read a different one there. ZBar's
//    Code 128 that differs from zxing-cpp's only by the Latin-1 characters ZBar cannot read
//    (FNC4: "s" for "ó") counts as the same, with zxing-cpp's text. Otherwise one closer look
//    at the place decides: both engines reading the text there with nothing against it settles
//    a contradiction, and the other engine reading it there confirms what one alone had read.
//    EAN add-ons (a book's price) stand beside their symbol and contradict nothing.
std::vector<SymbolHit> CrossCheck(const EngineReads& reads, std::span<const std::string_view> accepted,
                                  const CloserLook& lookCloser);

// Whether ZBar's text of a Code 128 symbol is zxing-cpp's UTF-8 text with every Latin-1
// character past U+007F shifted down by 0x80, as ZBar gives FNC4 characters, and zxing-cpp's
// has at least one such character.
bool ZbarLostLatin1(const std::string& zbarText, const std::string& zxingText);
