#include "dropfiles/FileFormat.h"

#include <libheif/heif.h>

#include <QByteArray>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <initializer_list>
#include <string_view>

namespace {

using namespace std::string_view_literals;

bool StartsWithAny(QByteArrayView head, std::initializer_list<std::string_view> signatures)
{
    return std::any_of(signatures.begin(), signatures.end(), [head](std::string_view signature) {
        return head.startsWith(QByteArrayView(signature.data(), static_cast<qsizetype>(signature.size())));
    });
}

// "P1" to "P7" and a blank: the portable any-map formats.
bool IsPortableMap(QByteArrayView head)
{
    return head.size() >= 3 && head[0] == 'P' && head[1] >= '1' && head[1] <= '7' &&
           std::isspace(static_cast<unsigned char>(head[2])) != 0;
}

bool IsHeif(QByteArrayView head)
{
    const heif_filetype_result result =
        heif_check_filetype(reinterpret_cast<const std::uint8_t*>(head.data()), static_cast<int>(head.size()));
    return result == heif_filetype_yes_supported || result == heif_filetype_yes_unsupported;
}

// Markup after an optional UTF-8 byte order mark and blanks: "<?xml", "<svg", "<!--" ...
// Whether it is an SVG at all is for Qt SVG to say.
bool IsMarkup(QByteArrayView head)
{
    if (head.startsWith("\xef\xbb\xbf"))
        head = head.sliced(3);
    const auto text = std::find_if(head.begin(), head.end(),
                                   [](char c) { return std::isspace(static_cast<unsigned char>(c)) == 0; });
    return text != head.end() && *text == '<';
}

}  // namespace

FileFormat SniffFormat(QByteArrayView head)
{
    if (StartsWithAny(head, {"GIF87a"sv, "GIF89a"sv}))
        return FileFormat::Gif;
    // Little- and big-endian TIFF, and BigTIFF.
    if (StartsWithAny(head, {"II*\0"sv, "MM\0*"sv, "II+\0"sv, "MM\0+"sv}))
        return FileFormat::Tiff;
    if (head.size() >= 12 && head.startsWith("RIFF") && head.sliced(8, 4) == "WEBP")
        return FileFormat::WebP;
    // PNG, JPEG, BMP, Sun raster, a JPEG 2000 file and a bare JPEG 2000 code stream.
    if (StartsWithAny(head, {"\x89PNG\r\n\x1a\n"sv, "\xff\xd8\xff"sv, "BM"sv, "\x59\xa6\x6a\x95"sv,
                             "\0\0\0\x0cjP  \r\n\x87\n"sv, "\xff\x4f\xff\x51"sv}) ||
        IsPortableMap(head))
        return FileFormat::OpenCvPicture;
    if (IsHeif(head))
        return FileFormat::Heif;
    if (head.indexOf("%PDF-") >= 0)
        return FileFormat::Pdf;
    if (head.startsWith("\x1f\x8b"))
        return FileFormat::GzipSvg;
    if (IsMarkup(head))
        return FileFormat::Svg;
    return FileFormat::Unknown;
}
