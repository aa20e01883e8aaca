// Fuzz target: a symbol's decoded bytes through the conversion into display text.
// The first byte chooses the character set; the rest is the symbol's data, zero bytes and
// invalid UTF-8 included.

#include "FuzzCheck.h"

#include "decode/DisplayText.h"
#include "decode/Utf8ToAnsi.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view kUnknownCharset = "LUMORA-NO-SUCH-CHARSET";
const std::array<std::string, 6> kCharsets{"UTF-8", "CP932", "EUC-JP", "ISO-8859-1", "ASCII",
                                           std::string(kUnknownCharset)};

// Strict UTF-8 (no overlongs, no surrogates, nothing past U+10FFFF), written apart from the
// product's decoder so that the two can disagree.
bool IsValidUtf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
        const unsigned char lead = byte(i);
        std::size_t length = 0;
        std::uint32_t code = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        }
        if ((lead & 0xE0) == 0xC0) {
            length = 2;
            code = lead & 0x1Fu;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            code = lead & 0x0Fu;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            code = lead & 0x07u;
        } else {
            return false;
        }
        if (i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((byte(i + k) & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (byte(i + k) & 0x3Fu);
        }
        constexpr std::array<std::uint32_t, 5> kSmallest{0, 0, 0x80, 0x800, 0x10000};
        if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::string& charset = kCharsets[data[0] % kCharsets.size()];
    const bool known = charset != kUnknownCharset;
    SymbolHit symbol;
    symbol.typeName = "QR-Code";
    symbol.data.assign(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string_view text(symbol.data.c_str());  // what the conversion reads: up to the first zero
    const bool validUtf8 = IsValidUtf8(text);

    const std::unique_ptr<char[]> narrow = Utf8ToAnsi(symbol.data.c_str(), charset);
    FuzzCheck((narrow != nullptr) == known, "Utf8ToAnsi is null exactly for an unknown character set");
    if (narrow && charset == "UTF-8" && validUtf8)
        FuzzCheck(text == narrow.get(), "valid UTF-8 comes back unchanged from a UTF-8 locale");
    if (narrow && charset == "ASCII")
        for (const char* c = narrow.get(); *c != '\0'; ++c)
            FuzzCheck(static_cast<unsigned char>(*c) < 0x80, "an ASCII locale gets ASCII bytes only");

    const QString shown = DisplayTextOf(symbol, charset);
    if (!known)
        FuzzCheck(shown.isEmpty(), "nothing is shown through an unknown character set");
    if (charset == "UTF-8" && validUtf8)
        FuzzCheck(shown == QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
                  "valid UTF-8 is shown as itself under a UTF-8 locale");
    FuzzCheck(!shown.contains(QChar(u'\0')), "the shown text ends where the data's first zero byte is");
    return 0;
}
