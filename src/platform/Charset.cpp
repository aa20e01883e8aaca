#include "platform/Charset.h"

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

#include <bit>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <iconv.h>
#include <langinfo.h>
#include <map>
#include <memory>
#include <type_traits>
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

// Converts one whole piece with cd from its initial state and back to it. Returns false
// when iconv refuses any of it; out then holds an unspecified part.
bool ConvertPiece(iconv_t cd, std::u16string_view piece, std::string& out)
{
    iconv(cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    char* in = const_cast<char*>(reinterpret_cast<const char*>(piece.data()));
    size_t inLeft = piece.size() * sizeof(char16_t);
    char buffer[256];
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        const size_t done = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<size_t>(outPtr - buffer));
        if (done == static_cast<size_t>(-1) && errno != E2BIG)
            return false;
    }
    Unshift(cd, out);
    return true;
}

// Converts bytes with cd from its initial state and back to it. Each byte iconv refuses
// (invalid, or part of an incomplete sequence at the end) becomes replacement and is
// skipped; without a replacement the conversion fails instead.
std::optional<std::string> ConvertBytes(iconv_t cd, std::string_view bytes, std::optional<std::string_view> replacement)
{
    std::string out;
    out.reserve(bytes.size() * 2);
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char buffer[1024];
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        const size_t done = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        const int error = done == static_cast<size_t>(-1) ? errno : 0;
        out.append(buffer, static_cast<size_t>(outPtr - buffer));
        if (error == 0 || error == E2BIG)
            continue;
        if (!replacement)
            return std::nullopt;
        out += *replacement;
        ++in;
        --inLeft;
    }
    Unshift(cd, out);
    return out;
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
    // A leading U+FEFF is a character of the text here, not a byte order mark to drop.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    const QString text = decoder.decode(QByteArrayView(utf8.data(), static_cast<qsizetype>(utf8.size())));
    return text.toStdU16String();
}

bool IsValidUtf8(std::string_view bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    // decode() is lazy: the conversion, and so the error check, happens in making the text.
    const QString text = decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return !decoder.hasError();
}

std::optional<std::string> ToUtf8Exactly(std::string_view bytes, const std::string& charset)
{
    const iconv_t cd = SharedIconv("UTF-8", charset);
    if (cd == nullptr)
        return std::nullopt;
    return ConvertBytes(cd, bytes, std::nullopt);
}

std::optional<std::string> Utf16ToCharset(std::u16string_view text, const std::string& charset)
{
    const iconv_t cd = SharedIconv(charset, kUtf16);
    if (cd == nullptr)
        return std::nullopt;

    iconv_t translit = nullptr;  // taken on the first character the charset lacks
    std::string questionMark;
    std::string out;
    out.reserve(text.size() * 2);
    char* in = const_cast<char*>(reinterpret_cast<const char*>(text.data()));
    size_t inLeft = text.size() * sizeof(char16_t);
    char buffer[1024];
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        const size_t done = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        const int error = done == static_cast<size_t>(-1) ? errno : 0;
        out.append(buffer, static_cast<size_t>(outPtr - buffer));
        if (error == 0 || error == E2BIG)
            continue;

        // A character the charset lacks (EILSEQ), or an unpaired surrogate at the very end
        // (EINVAL): that character alone, transliterated, or else a blank.
        const size_t offset = text.size() - inLeft / sizeof(char16_t);
        const std::u16string_view rest = text.substr(offset);
        const size_t length = CharacterLength(rest);
        const std::u16string_view character = rest.substr(0, length);

        Unshift(cd, out);  // the piece below starts from the initial state
        if (translit == nullptr) {
            translit = SharedIconv(charset + "//TRANSLIT", kUtf16);
            // Without a transliteration, glibc writes the charset's question mark.
            if (translit != nullptr && !ConvertPiece(translit, u"?", questionMark))
                questionMark.assign(1, '?');  // (not = "?": GCC 12 gives a false -Wrestrict)
        }
        std::string replacement;
        const bool usable = translit != nullptr && ConvertPiece(translit, character, replacement) &&
                            (replacement != questionMark || character == u"?");
        if (!usable) {
            replacement.clear();
            if (!ConvertPiece(cd, u" ", replacement))
                replacement.assign(1, ' ');
        }
        out += replacement;  // may be empty: glibc drops e.g. U+200B and combining accents
        in += length * sizeof(char16_t);
        inLeft -= length * sizeof(char16_t);
    }
    Unshift(cd, out);
    return out;
}

std::optional<std::u16string> CharsetToUtf16(std::string_view bytes, const std::string& charset)
{
    const iconv_t cd = SharedIconv(kUtf16, charset);
    if (cd == nullptr)
        return std::nullopt;
    constexpr char16_t replacement = kReplacement;
    // With a replacement for refused bytes the conversion always gives a text.
    const std::optional<std::string> converted =
        ConvertBytes(cd, bytes, std::string_view(reinterpret_cast<const char*>(&replacement), sizeof replacement));
    std::u16string text(converted->size() / sizeof(char16_t), u'\0');
    std::memcpy(text.data(), converted->data(), text.size() * sizeof(char16_t));
    return text;
}
