#include "platform/Charset.h"

#include <bit>
#include <cerrno>
#include <cstddef>
#include <cstdint>
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

    std::u16string out;
    out.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<uint8_t>(utf8[i]);
        if (lead < 0x80) {
            out.push_back(lead);
            ++i;
            continue;
        }
        // Table 3-7 of the Unicode standard: the continuation bytes that may follow each
        // lead byte; the second byte has a narrower range for some leads.
        size_t trailing = 0;
        uint8_t secondLow = 0x80;
        uint8_t secondHigh = 0xBF;
        uint32_t codePoint = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            trailing = 1;
            codePoint = lead & 0x1Fu;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            trailing = 2;
            codePoint = lead & 0x0Fu;
            if (lead == 0xE0)
                secondLow = 0xA0;  // below: overlong
            else if (lead == 0xED)
                secondHigh = 0x9F;  // above: a surrogate
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            trailing = 3;
            codePoint = lead & 0x07u;
            if (lead == 0xF0)
                secondLow = 0x90;  // below: overlong
            else if (lead == 0xF4)
                secondHigh = 0x8F;  // above: beyond U+10FFFF
        } else {
            // A stray continuation byte, C0, C1 (always overlong) or F5..FF.
            out.push_back(kReplacement);
            ++i;
            continue;
        }

        size_t j = i + 1;
        bool complete = true;
        for (size_t k = 0; k < trailing; ++k, ++j) {
            const uint8_t low = k == 0 ? secondLow : 0x80;
            const uint8_t high = k == 0 ? secondHigh : 0xBF;
            if (j >= utf8.size() || static_cast<uint8_t>(utf8[j]) < low || static_cast<uint8_t>(utf8[j]) > high) {
                complete = false;
                break;
            }
            codePoint = (codePoint << 6) | (static_cast<uint8_t>(utf8[j]) & 0x3Fu);
        }
        if (!complete) {
            // The maximal subpart [i, j) becomes one U+FFFD; the byte at j starts afresh.
            out.push_back(kReplacement);
            i = j;
            continue;
        }
        if (codePoint >= 0x10000) {
            codePoint -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(codePoint));
        }
        i = j;
    }
    return out;
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

    std::u16string out;
    out.reserve(bytes.size());
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char16_t buffer[512];
    const auto flush = [&](char* outPtr) {
        out.append(buffer, static_cast<size_t>(outPtr - reinterpret_cast<char*>(buffer)) / sizeof(char16_t));
    };
    while (inLeft > 0) {
        char* outPtr = reinterpret_cast<char*>(buffer);
        size_t outLeft = sizeof buffer;
        const size_t done = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        const int error = done == static_cast<size_t>(-1) ? errno : 0;
        flush(outPtr);
        if (error == 0 || error == E2BIG)
            continue;
        // EILSEQ (invalid) or EINVAL (incomplete at the end): the byte is replaced and skipped.
        out.push_back(kReplacement);
        ++in;
        --inLeft;
    }
    char* outPtr = reinterpret_cast<char*>(buffer);
    size_t outLeft = sizeof buffer;
    iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
    flush(outPtr);
    return out;
}
