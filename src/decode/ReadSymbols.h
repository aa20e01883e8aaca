#pragma once
// Both engines over one picture, merged: the one scan both decoding paths call.

#include "decode/SymbolHit.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

// Further looks at a picture in which the first one found nothing: its negative, for a code
// printed light on dark (a dark-mode screen, an engraving); a smoothed copy, for a code
// under sensor noise or grain, which breaks up the engines' black and white.
enum class FurtherLook { Negative, Smoothed };
inline constexpr FurtherLook kEveryFurtherLook[] = {FurtherLook::Negative, FurtherLook::Smoothed};

// Reads an 8-bit grayscale picture of width x height bytes, rows without gaps, and calls
// action once per symbol whose type the list accepts:
//   1. every such symbol ZBar finds (ScanGrayImage), in ZBar's order, each handed on as ZBar
//      reports it;
//   2. then those zxing-cpp finds that were not reported yet, named and worded as ZBar
//      names and words them: the same type and text count as the same symbol;
//   3. while neither engine has found any symbol at all (of any type ZBar reads, or of the
//      list's types), steps 1 and 2 on the further looks, in their order. A picture of one
//      shade, which can hold no code, gets none.
// The action may run long and re-enter the event loop; the pixels must stay valid and
// unchanged until the call returns. An exception thrown by the action passes through.
void ReadSymbols(std::uint32_t width, std::uint32_t height, const void* pixels,
                 std::span<const std::string_view> accepted, std::span<const FurtherLook> furtherLooks,
                 const std::function<void(const SymbolHit&)>& action);
