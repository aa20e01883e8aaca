#pragma once
// The text a QR code's data bytes stand for. ZBar hands them over raw (or, where the code
// names its encoding with an ECI marker, already in UTF-8); its own guess would read
// UTF-8 with accents as Shift_JIS, so the choice is made here.

#include <string>
#include <string_view>

// The bytes as UTF-8 text: as they are when they are valid UTF-8; else read as Windows
// Shift_JIS (CP932, which Japanese producers and Kanji mode use) when they are valid in
// it; else as ISO-8859-1, the QR standard's default, in which every byte is a character.
std::string QrTextToUtf8(std::string_view bytes);
