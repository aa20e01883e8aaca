#pragma once
// Both engines over one picture, merged: the one scan both decoding paths call.

#include "decode/SymbolHit.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

// Further looks at a picture in which the first one saw no symbol: its negative, for a code
// printed light on dark (a dark-mode screen, an engraving); a smoothed copy, for a code under
// sensor noise or grain, which breaks up the engines' black and white; an enlarged copy (of
// a picture up to 4 megapixels), for modules of a pixel or two. Both engines read the first
// two; zxing-cpp alone the enlarged one, which costs four times as much.
enum class FurtherLook { Negative, Smoothed, Enlarged };
inline constexpr FurtherLook kEveryFurtherLook[] = {FurtherLook::Negative, FurtherLook::Smoothed,
                                                    FurtherLook::Enlarged};

// Reads an 8-bit grayscale picture of width x height bytes, rows without gaps, and returns
// the symbols whose type the list accepts, in this order:
//   1. those ZBar finds (ScanGrayImage), in ZBar's order, as ZBar reports them;
//   2. then those zxing-cpp finds that ZBar did not, named and worded as ZBar names and words
//      them: the same type and data make the same symbol;
//   3. when the engines saw no symbol at all (of any type ZBar reads, or of the list's), the
//      further looks in their order, until one sees a symbol;
//   4. when a look found two symbols of the list or more, the picture may hold more that the
//      engines lost among the others (a sheet of labels): zxing-cpp looks again with every
//      symbol seen painted over, as long as that brings new ones, and last, when the further
//      looks include the enlarged one, at twice the size (up to 4 megapixels), for the smallest.
// Every look's reads pass CrossCheck: a linear symbol only when nothing contradicts it and it
// is confirmed, by both engines alike, by an EAN's bar widths, or by reading it again closer.
// No symbol comes twice, and points are in the picture's pixels. A picture of one shade,
// which can hold no code, gets no look after the first. Safe to call from several threads at
// once; the pixels must stay valid and unchanged until the call returns.
std::vector<SymbolHit> ReadSymbols(std::uint32_t width, std::uint32_t height, const void* pixels,
                                   std::span<const std::string_view> accepted,
                                   std::span<const FurtherLook> furtherLooks);
