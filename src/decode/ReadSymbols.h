#pragma once
// Both engines over one picture, merged: the one scan both decoding paths call.

#include "decode/SymbolHit.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

// Further looks at a picture in which the first one saw no symbol: its negative, for a code
// printed light on dark (a dark-mode screen, an engraving); a smoothed copy, for a code under
// sensor noise or grain, which breaks up the engines' black and white; an enlarged copy (of
// a picture up to 4 megapixels), for modules of a pixel or two. Both engines read the first
// two; zxing-cpp alone the enlarged one, which costs four times as much.
enum class FurtherLook { Negative, Smoothed, Enlarged };
inline constexpr FurtherLook kEveryFurtherLook[] = {FurtherLook::Negative, FurtherLook::Smoothed,
                                                    FurtherLook::Enlarged};

// Reads an 8-bit grayscale picture of width x height bytes, rows without gaps, and calls
// action once per symbol whose type the list accepts:
//   1. every such symbol ZBar finds (ScanGrayImage), in ZBar's order, each handed on just as
//      ZBar reports it;
//   2. then those zxing-cpp finds that were not handed on yet, named and worded as ZBar
//      names and words them: the same type and data make the same symbol;
//   3. when the engines saw no symbol at all (of any type ZBar reads, or of the list's), the
//      further looks in their order, until one sees a symbol;
//   4. when a look found two symbols of the list or more, the picture may hold more that the
//      engines lost among the others (a sheet of labels): zxing-cpp looks again with every
//      symbol seen painted over, as long as that brings new ones, and last at twice the
//      size (up to 4 megapixels), for the smallest.
// From step 2 on nothing is handed on twice, and points are in the picture's pixels. A
// picture of one shade, which can hold no code, gets no look after the first.
// The action may run long and re-enter the event loop; the pixels must stay valid and
// unchanged until the call returns. An exception thrown by the action passes through.
void ReadSymbols(std::uint32_t width, std::uint32_t height, const void* pixels,
                 std::span<const std::string_view> accepted, std::span<const FurtherLook> furtherLooks,
                 const std::function<void(const SymbolHit&)>& action);
