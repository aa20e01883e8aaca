#include "platform/Charset.h"

#include <gtest/gtest.h>

#include <clocale>
#include <langinfo.h>
#include <string>
#include <vector>

using namespace std::string_literals;
using namespace std::string_view_literals;

namespace {

std::u16string ToCharsetAndBack(std::u16string_view text, const std::string& charset)
{
    const std::optional<std::string> bytes = Utf16ToCharset(text, charset);
    EXPECT_TRUE(bytes.has_value()) << charset;
    const std::optional<std::u16string> back = CharsetToUtf16(bytes.value_or(""), charset);
    EXPECT_TRUE(back.has_value()) << charset;
    return back.value_or(u"");
}

// glibc's //TRANSLIT takes part of its table from the LC_CTYPE locale of the moment;
// pins it for the duration of one test and restores it afterwards.
class CtypeLocale {
public:
    explicit CtypeLocale(const char* name) : previous_(setlocale(LC_CTYPE, nullptr))
    {
        ok_ = setlocale(LC_CTYPE, name) != nullptr;
    }
    ~CtypeLocale() { setlocale(LC_CTYPE, previous_.c_str()); }
    bool ok() const { return ok_; }

private:
    std::string previous_;
    bool ok_ = false;
};

}  // namespace

TEST(Charset, AnsiCharsetIsTheLocaleCodesetReadOnce)
{
    const std::string first = AnsiCharset();
    EXPECT_FALSE(first.empty());
    EXPECT_TRUE(Utf16ToCharset(u"x", first).has_value()) << first;
    {
        const CtypeLocale other(first == "UTF-8" ? "C" : "C.UTF-8");
        ASSERT_TRUE(other.ok());
        ASSERT_NE(std::string(nl_langinfo(CODESET)), first);
        EXPECT_EQ(AnsiCharset(), first);
        EXPECT_EQ(&AnsiCharset(), &AnsiCharset());
    }
}

TEST(Charset, Utf8RoundTripKeepsEverything)
{
    const std::u16string text = u"é 取り込み 😀 \U0010FFFF end";
    EXPECT_EQ(Utf8ToUtf16("é 取り込み 😀 \U0010FFFF end"), text);
    EXPECT_EQ(Utf16ToCharset(text, "UTF-8"), "é 取り込み 😀 \U0010FFFF end");
    EXPECT_EQ(ToCharsetAndBack(text, "UTF-8"), text);
}

TEST(Charset, AccentTransliterationFollowsTheCtypeLocale)
{
    // glibc finds é -> e in the locale's LC_CTYPE table: C.UTF-8 has it, plain C does not.
    {
        const CtypeLocale pinned("C.UTF-8");
        ASSERT_TRUE(pinned.ok());
        EXPECT_EQ(Utf16ToCharset(u"café", "ASCII"), "cafe");
        EXPECT_EQ(Utf16ToCharset(u"é", "CP932"), "e");
        // An empty transliteration is taken as it is: a zero-width space disappears.
        EXPECT_EQ(Utf16ToCharset(u"a\u200Bb", "ASCII"), "ab");
    }
    {
        const CtypeLocale pinned("C");
        ASSERT_TRUE(pinned.ok());
        EXPECT_EQ(Utf16ToCharset(u"café", "ASCII"), "caf ");
    }
}

TEST(Charset, UnpairedSurrogateBecomesABlank)
{
    const char16_t lone[] = {u'a', 0xD800, u'b', 0xDC00, u'c', 0xD83D};
    EXPECT_EQ(Utf16ToCharset(std::u16string_view(lone, 6), "UTF-8"), "a b c ");
    EXPECT_EQ(Utf16ToCharset(std::u16string_view(lone, 6), "CP932"), "a b c ");
}

TEST(Charset, InvalidUtf8BecomesReplacementCharacters)
{
    EXPECT_EQ(Utf8ToUtf16("a\x80z"), u"a\uFFFDz");                    // stray continuation byte
    EXPECT_EQ(Utf8ToUtf16("a\xC3"), u"a\uFFFD");                      // truncated at the end
    EXPECT_EQ(Utf8ToUtf16("a\xC3z"), u"a\uFFFDz");
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAFz"), u"\uFFFD\uFFFDz");            // overlong '/'
    EXPECT_EQ(Utf8ToUtf16("\xE0\x80\xAFz"), u"\uFFFD\uFFFD\uFFFDz");  // overlong, 3 bytes
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80z"), u"\uFFFD\uFFFD\uFFFDz");  // surrogate D800
    EXPECT_EQ(Utf8ToUtf16("\xF4\x90\x80\x80z"), u"\uFFFD\uFFFD\uFFFD\uFFFDz");  // 110000
    EXPECT_EQ(Utf8ToUtf16("\xE3\x81z取"), u"\uFFFDz取");               // truncated 3-byte sequence
    EXPECT_EQ(Utf8ToUtf16("\xE3\x81"), u"\uFFFD");
    EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x98z"), u"\uFFFDz");               // truncated 4-byte sequence
    EXPECT_EQ(Utf8ToUtf16("\xF5\xFF\xFEz"), u"\uFFFD\uFFFD\uFFFDz");  // bytes never valid
    // The example of the Unicode standard, section 3.9 (maximal subparts).
    EXPECT_EQ(Utf8ToUtf16("\x61\xF1\x80\x80\xE1\x80\xC2\x62\x80\x63\x80\xBF\x64"),
              u"a\uFFFD\uFFFD\uFFFDb\uFFFDc\uFFFD\uFFFDd");
    // Boundaries that are valid.
    EXPECT_EQ(Utf8ToUtf16("\xC2\x80\xDF\xBF\xE0\xA0\x80\xED\x9F\xBF\xEE\x80\x80\xF0\x90\x80\x80\xF4\x8F\xBF\xBF"),
              u"\u0080\u07FF\u0800\uD7FF\uE000\U00010000\U0010FFFF");
}

TEST(Charset, InvalidBytesInACharsetBecomeReplacementCharacters)
{
    EXPECT_EQ(CharsetToUtf16("A\x82"s, "CP932"), u"A\uFFFD");             // incomplete at the end
    EXPECT_EQ(CharsetToUtf16("A\x82 B"s, "CP932"), u"A\uFFFD B");        // invalid trail byte
    EXPECT_EQ(CharsetToUtf16("\xFF\x8E\xE6"s, "CP932"), u"\uFFFD取");    // invalid lead byte
    EXPECT_EQ(CharsetToUtf16("a\xE3\x81"s, "UTF-8"), u"a\uFFFD\uFFFD");  // one per byte skipped
    EXPECT_EQ(CharsetToUtf16("x\x80y"s, "ASCII"), u"x\uFFFDy");
    EXPECT_EQ(CharsetToUtf16("\xBC\xE8\xFF\xA4\xEA"s, "EUC-JP"), u"取\uFFFDり");
    // Zero bytes are text like any other here.
    EXPECT_EQ(CharsetToUtf16("a\0b"s, "CP932"), u"a\0b"s);
}

TEST(Charset, LongTextCrossesTheInternalBuffers)
{
    std::u16string text;
    for (int i = 0; i < 3000; ++i)
        text += u"取り込み😀é";
    {
        const CtypeLocale pinned("C.UTF-8");
        ASSERT_TRUE(pinned.ok());
        std::u16string expected;
        for (int i = 0; i < 3000; ++i)
            expected += u"取り込み e";
        EXPECT_EQ(ToCharsetAndBack(text, "CP932"), expected);
    }
    EXPECT_EQ(ToCharsetAndBack(text, "UTF-8"), text);
}
