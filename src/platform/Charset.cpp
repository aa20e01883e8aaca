#include "platform/Charset.h"

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <functional>
#include <iconv.h>
#include <langinfo.h>
#include <map>
#include <memory>
#include <utility>

// The UTF-16 side of every iconv conversion is "UTF-16LE", read and written as char16_t.
static_assert(std::endian::native == std::endian::little, "the iconv side \"UTF-16LE\" needs a little-endian machine");

namespace {

constexpr char kUtf16[] = "UTF-16LE";
constexpr char16_t kReplacement = u'\uFFFD';

// Owns one iconv conversion descriptor.
struct IconvCloser {
    using pointer = iconv_t;  // iconv_t is itself a pointer type (void*)
    void operator()(iconv_t cd) const { iconv_close(cd); }
};
using Iconv = std::unique_ptr<void, IconvCloser>;

Iconv OpenIconv(const std::string& to, const std::string& from)
{
    iconv_t cd = iconv_open(to.c_str(), from.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1))
        return nullptr;
    return Iconv(cd);
}

// The descriptor for the conversion, opened on this thread's first use and kept: the
// modules behind a conversion are loaded anew (dlopen) whenever its last descriptor was
// closed, which cost more than the conversion of a short text. Reset to the initial state
// for each use; null, and not kept, when iconv does not know a character set.
iconv_t SharedIconv(const std::string& to, const std::string& from)
{
    thread_local std::map<std::pair<std::string, std::string>, Iconv> opened;
    const auto [entry, inserted] = opened.try_emplace({to, from});
    if (inserted)
        entry->second = OpenIconv(to, from);
    if (!entry->second) {
        opened.erase(entry);
        return nullptr;
    }
    iconv(entry->second.get(), nullptr, nullptr, nullptr, nullptr);  // resetting cannot fail
    return entry->second.get();
}

// Writes the shift sequence that returns a stateful encoding to its initial state
// (nothing for the usual stateless ones).
void Unshift(iconv_t cd, std::string& out)
{
    char buffer[64];
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
    out.append(buffer, static_cast<size_t>(outPtr - buffer));
}

// Given the input from the piece iconv refused on (invalid bytes, a character the target
// lacks, or an incomplete sequence at the end), writes what stands for that piece and
// returns its length in bytes; 0 gives the whole conversion up.
using OnRefused = std::function<size_t(std::string_view rest, std::string& out)>;

size_t GiveUp(std::string_view, std::string&)
{
    return 0;
}

// Converts input with cd from its initial state and back to it; nullopt when given up.
std::optional<std::string> Convert(iconv_t cd, std::string_view input, const OnRefused& onRefused)
{
    iconv(cd, nullptr, nullptr, nullptr, nullptr);  // resetting cannot fail
    std::string out;
    out.reserve(input.size() * 2);
    char buffer[1024];
    while (!input.empty()) {
        char* in = const_cast<char*>(input.data());
        size_t inLeft = input.size();
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        const size_t done = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        const int error = done == static_cast<size_t>(-1) ? errno : 0;
        out.append(buffer, static_cast<size_t>(outPtr - buffer));
        input.remove_prefix(input.size() - inLeft);
        if (error == 0 || error == E2BIG)
            continue;
        Unshift(cd, out);  // what stands for the refused piece starts from the initial state
        const size_t refused = onRefused(input, out);
        if (refused == 0)
            return std::nullopt;
        input.remove_prefix(std::min(refused, input.size()));
    }
    Unshift(cd, out);
    return out;
}

std::string_view BytesOf(std::u16string_view text)
{
    return {reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t)};
}

// UTF-8 to text, each byte of an invalid sequence a U+FFFD; valid tells whether there was
// none. A leading U+FEFF is a character of the text here, not a byte order mark to drop.
// Stateless: a sequence cut short at the end is invalid, not kept back for more bytes to come.
QString DecodeUtf8(std::string_view bytes, bool& valid)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom | QStringDecoder::Flag::Stateless);
    // decode() is lazy: the conversion, and so the error check, happens in making the text.
    const QString text = decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    valid = !decoder.hasError();
    return text;
}

// Number of UTF-16 code units of the character that starts text: 2 for a surrogate pair.
size_t CharacterLength(std::u16string_view text)
{
    if (text.size() >= 2 && text[0] >= 0xD800 && text[0] <= 0xDBFF && text[1] >= 0xDC00 && text[1] <= 0xDFFF)
        return 2;
    return 1;
}

}  // namespace

const std::string& AnsiCharset()
{
    static const std::string charset = nl_langinfo(CODESET);
    return charset;
}

std::u16string Utf8ToUtf16(std::string_view utf8)
{
    if (const size_t zero = utf8.find('\0'); zero != std::string_view::npos)
        utf8 = utf8.substr(0, zero);
    bool valid = true;
    return DecodeUtf8(utf8, valid).toStdU16String();
}

bool IsValidUtf8(std::string_view bytes)
{
    bool valid = true;
    DecodeUtf8(bytes, valid);
    return valid;
}

std::optional<std::string> ToUtf8Exactly(std::string_view bytes, const std::string& charset)
{
    const iconv_t cd = SharedIconv("UTF-8", charset);
    if (cd == nullptr)
        return std::nullopt;
    return Convert(cd, bytes, GiveUp);
}

std::optional<std::string> Utf16ToCharset(std::u16string_view text, const std::string& charset)
{
    const iconv_t cd = SharedIconv(charset, kUtf16);
    if (cd == nullptr)
        return std::nullopt;
    iconv_t translit = nullptr;  // taken on the first character the charset lacks
    std::string questionMark;
    std::string blank;  // the charset's own, made on the first need
    // A character the charset lacks, or an unpaired surrogate: that character alone,
    // transliterated, or else a blank.
    const auto replace = [&](std::string_view rest, std::string& out) -> size_t {
        const std::u16string_view remaining(reinterpret_cast<const char16_t*>(rest.data()), rest.size() / sizeof(char16_t));
        const std::u16string_view character = remaining.substr(0, CharacterLength(remaining));
        if (translit == nullptr) {
            translit = SharedIconv(charset + "//TRANSLIT", kUtf16);
            // Without a transliteration, glibc writes the charset's question mark.
            if (translit != nullptr)
                questionMark = Convert(translit, BytesOf(u"?"), GiveUp).value_or("?");
        }
        std::optional<std::string> replacement =
            translit != nullptr ? Convert(translit, BytesOf(character), GiveUp) : std::nullopt;
        if (!replacement || (*replacement == questionMark && character != u"?")) {
            if (blank.empty())
                blank = Convert(cd, BytesOf(u" "), GiveUp).value_or(" ");
            replacement = blank;
        }
        out += *replacement;  // may be empty: glibc drops e.g. U+200B and combining accents
        return character.size() * sizeof(char16_t);
    };
    return Convert(cd, BytesOf(text), replace);
}

std::optional<std::u16string> CharsetToUtf16(std::string_view bytes, const std::string& charset)
{
    const iconv_t cd = SharedIconv(kUtf16, charset);
    if (cd == nullptr)
        return std::nullopt;
    // Each refused byte becomes U+FFFD; so the conversion always gives a text.
    const std::string converted = *Convert(cd, bytes, [](std::string_view, std::string& out) -> size_t {
        out += BytesOf(std::u16string_view(&kReplacement, 1));
        return 1;
    });
    std::u16string text(converted.size() / sizeof(char16_t), u'\0');
    std::memcpy(text.data(), converted.data(), text.size() * sizeof(char16_t));
    return text;
}
