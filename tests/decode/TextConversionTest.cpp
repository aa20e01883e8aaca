// Decoded bytes to display text, for the character sets a user's locale may have.

#include "decode/DisplayText.h"
#include "decode/Utf8ToAnsi.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Ansi(const char* utf8, const std::string& charset)
{
    const std::unique_ptr<char[]> result = Utf8ToAnsi(utf8, charset);
    EXPECT_TRUE(result) << charset;
    return result ? std::string(result.get()) : std::string();
}

QString Shown(std::string data, const std::string& charset)
{
    return DisplayTextOf(SymbolHit{"QR-Code", std::move(data), {}}, charset);
}

const char* const kJapanese = "取り込み準備中 ｶﾀｶﾅ ＱＲコード";

}  // namespace

TEST(Utf8ToAnsi, NullGivesNullAndEmptyGivesAnEmptyString)
{
    EXPECT_FALSE(Utf8ToAnsi(nullptr, "UTF-8"));
    EXPECT_EQ(Ansi("", "UTF-8"), "");
    EXPECT_FALSE(Utf8ToAnsi("abc", "NO-SUCH-CHARSET"));
}

TEST(Utf8ToAnsi, AsciiPassesEveryCharacterSet)
{
    const char* const ascii = "Lumora 0123 ~!@#$%^&*()_+ \t\r\n";
    for (const char* charset : {"UTF-8", "CP932", "EUC-JP", "ISO-8859-1", "ASCII"})
        EXPECT_EQ(Ansi(ascii, charset), ascii) << charset;
}

TEST(Utf8ToAnsi, JapaneseSurvivesJapaneseCharacterSets)
{
    for (const char* charset : {"UTF-8", "CP932", "EUC-JP"})
        EXPECT_EQ(Shown(kJapanese, charset), QString::fromUtf8(kJapanese)) << charset;
    // Shift_JIS bytes for 取り: 0x8E 0xE6 0x82 0xE8
    EXPECT_EQ(Ansi("取り", "CP932"), "\x8e\xe6\x82\xe8");
}

TEST(Utf8ToAnsi, MissingCharactersBecomeTransliterationsOrBlanks)
{
    EXPECT_EQ(Ansi("price 5€", "ASCII"), "price 5EUR");
    EXPECT_EQ(Ansi("a取b", "ISO-8859-1"), "a b");
    EXPECT_EQ(Ansi("a取り込みb", "ASCII"), "a    b");
    EXPECT_EQ(Shown("x\xF0\x9F\x98\x80y", "CP932"), QString("x y"));  // an emoji has no place in CP932
    EXPECT_EQ(Ansi("what?", "ASCII"), "what?");                        // a real question mark stays
}

TEST(Utf8ToAnsi, InvalidUtf8IsReplacedAndTheRestComesThrough)
{
    EXPECT_EQ(Shown("ab\xFF\xFE" "cd", "UTF-8"), QString::fromUtf8("ab\uFFFD\uFFFDcd"));
    EXPECT_EQ(Shown("ok\xC3", "UTF-8"), QString::fromUtf8("ok\uFFFD"));
    EXPECT_EQ(Shown("\xE3\x81" "tail", "UTF-8"), QString::fromUtf8("\uFFFDtail"));
    // Where the replacement character itself is missing it becomes a blank like any other.
    EXPECT_EQ(Shown("ab\xFF" "cd", "ISO-8859-1"), QString("ab cd"));
}

TEST(DisplayText, EndsAtTheFirstZeroByte)
{
    EXPECT_EQ(Shown(std::string("abc\0def", 7), "UTF-8"), QString("abc"));
    EXPECT_EQ(Shown(std::string("\0abc", 4), "UTF-8"), QString());
    EXPECT_EQ(Shown("", "CP932"), QString());
}

TEST(DisplayText, KeepsLineBreaksAndControlCharacters)
{
    EXPECT_EQ(Shown("line1\r\nline2\ttab\abell", "UTF-8"), QString("line1\r\nline2\ttab\abell"));
}
