#pragma once
// Whether a QR code names the encoding of its own text, read from its data codewords.

#include <cstdint>
#include <span>

// True when the data codewords (after error correction, as the symbol's error correction
// level 'L', 'M', 'Q' or 'H' sizes them) hold an ECI designator, a Kanji segment (Shift_JIS)
// or a Hanzi segment (GB2312): then the code itself says how its bytes are text. False for
// codes of numeric, alphanumeric and plain byte segments only, whose bytes leave the
// encoding to the reader, and for data that does not parse.
bool QrNamesItsEncoding(std::span<const std::uint8_t> dataCodewords, char ecLevel);
