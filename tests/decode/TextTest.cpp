// Decoded bytes to the text the user sees: the QR text encoding, then the locale's
// character set.

#include "decode/DisplayText.h"
#include "decode/QrText.h"
#include "decode/Utf8ToAnsi.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

TEST(QrText, ValidUtf8AsItIsElseShiftJisElseLatin1)
{
    const std::pair<std::string, std::string> cases[] = {
        {"café au lait", "café au lait"},
        {"Καλημέρα κόσμε", "Καλημέρα κόσμε"},
        {"QR 😀", "QR 😀"},
        {"\x8E\xE6\x82\xE8\x8D\x9E\x82\xDD\x8F\x80\x94\xF5\x92\x86", "取り込み準備中"},  // CP932, also Kanji mode
        {"\xB6\xC0\xB6\xC5 \x87\x40", "ｶﾀｶﾅ ①"},  // half-width kana; a Windows extension of Shift_JIS
        {"Gr\xFC\xDF" "e aus M\xFC" "nchen", "Grüße aus München"},
        {"ab\xFF\xFE" "cd", "abÿþcd"},  // neither UTF-8 nor Shift_JIS
        {"caf\xC3\xA9", "café"},        // Shift_JIS too (half-width kana), but UTF-8 comes first
        {"\xEF\xBB\xBFx", "\xEF\xBB\xBFx"},
        {"a\0b"s, "a\0b"s},
        {"", ""},
    };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(QrTextToUtf8(bytes), text) << bytes;
}

TEST(DisplayText, HoldsWhatTheLocalesCharacterSetCanShow)
{
    const char* const japanese = "取り込み準備中 ｶﾀｶﾅ ＱＲコード";
    const char* const ascii = "Lumora 0123 ~!@#$%^&*()_+ \t\r\n";
    struct Case {
        std::string data;
        const char* charset;
        const char* shown;
    };
    const Case cases[] = {
        {ascii, "ASCII", ascii},
        {ascii, "CP932", ascii},
        {japanese, "CP932", japanese},
        {japanese, "EUC-JP", japanese},
        {japanese, "UTF-8", japanese},
        {"price 5€", "ASCII", "price 5EUR"},    // transliterated
        {"a取り込みb", "ISO-8859-1", "a    b"},  // missing: a blank each
        {"x😀y", "CP932", "x y"},
        {"what?", "ASCII", "what?"},  // a question mark of its own stays
        {"ab\xFF\xFE" "cd", "UTF-8", "ab\uFFFD\uFFFDcd"},
        {"ab\xFF" "cd", "ISO-8859-1", "ab cd"},
        {"line1\r\nline2\ttab\abell", "UTF-8", "line1\r\nline2\ttab\abell"},
        {"abc\0def"s, "UTF-8", "abc"},  // ends at the first zero byte
        {"", "CP932", ""},
        {"abc", "NO-SUCH-CHARSET", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DisplayTextOf(SymbolHit{"QR-Code", c.data, {}}, c.charset), QString::fromUtf8(c.shown))
            << c.data << " in " << c.charset;
    EXPECT_FALSE(Utf8ToAnsi(nullptr, "UTF-8"));

    std::string longText;
    QString longShown;
    for (int i = 0; i < 3000; ++i) {  // far past the conversion's buffers
        longText += "取り込み😀";
        longShown += QString::fromUtf8("取り込み ");
    }
    EXPECT_EQ(DisplayTextOf(SymbolHit{"QR-Code", longText, {}}, "CP932"), longShown);
}
