#pragma once
// Which of the symbols two engines read in one look are believed, and in what order.

#include "decode/EanBars.h"
#include "decode/SymbolHit.h"
#include "decode/ZxingRead.h"

#include <opencv2/core/types.hpp>

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

// What both engines read in one look, of every symbology each reads, each in its own order,
// with points in the picture's pixels.
struct EngineReads {
    std::vector<SymbolHit> zbar;
    std::vector<ZxingSymbol> zxing;
};

// Further evidence about a place of the picture (a rectangle of its pixels).
struct LookAgain {
    // Both engines' reads of the place's neighbourhood in the way-th way of looking closer
    // (0, 1, ...), points in the picture's pixels; nullopt past the last way.
    std::function<std::optional<EngineReads>(const cv::Rect& place, int way)> closer;
    // What the bars at the place say of an EAN-13 text (13 digits; a UPC-A with its leading 0).
    std::function<BarsSay(const cv::Rect& place, std::string_view digits13)> eanBars;
    // Whether the bars at the place, read as so many characters, go on past its ends.
    std::function<bool(const cv::Rect& place, std::size_t characters)> barsGoOn;
};

// The symbols of one look to report, of the accepted types: ZBar's in its order, just as it
// reports them (two alike in one picture too; a product code with a price add-on, ZBar's
// COMPOSITE, as its main symbol, an EAN-13, ISBN-13 or UPC-A), then those zxing-cpp read that ZBar's do not
// include, in its order, each once. Reads of other types count as evidence only.
//  - Two-dimensional symbols are taken as read: their error correction makes misreads rare.
//    Where both engines read one QR code and zxing-cpp's follows the encoding the code names
//    (ZBar lacks Hanzi mode, and passes some ECIs on raw), ZBar's symbol takes zxing-cpp's text.
//  - A linear symbol is reported only when nothing contradicts it, that is when no engine alone
//    read a different text or type at its place, and:
//     - both engines read it (ZBar's Code 128 that differs from zxing-cpp's only by the Latin-1
//       characters ZBar cannot read, "s" for "ó", counts as the same, with zxing-cpp's text);
//     - or, looking closer at its place in one way after another, both engines read it there
//       (which also settles a contradiction), or the other engine does, or an engine that may be
//       believed alone for the symbology reads it again in two of those ways;
//     - or, for an EAN-13, UPC-A or ISBN-13, its bars are its digits, measured line by line.
//    An EAN whose bars are clearly other digits is never reported, whoever read it: both
//    engines misread bars grown by ink spread alike.
//    EAN add-ons (a book's price) stand beside their symbol and contradict nothing.
//  - zxing-cpp's Codabar or Code 39 read whose bars go on past its ends is part of a symbol,
//    ended early by a character misread as a stop: it is no evidence at all.
std::vector<SymbolHit> CrossCheck(const EngineReads& reads, std::span<const std::string_view> accepted,
                                  const LookAgain& again);

// Whether ZBar's text of a Code 128 symbol is zxing-cpp's UTF-8 text with every Latin-1
// character past U+007F shifted down by 0x80, as ZBar gives FNC4 characters, and zxing-cpp's
// has at least one such character.
bool ZbarLostLatin1(const std::string& zbarText, const std::string& zxingText);
