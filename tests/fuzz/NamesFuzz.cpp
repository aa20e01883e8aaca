// Fuzz target: the drop path's rules for names. The first byte chooses how the rest
// becomes a path: as a file URL of a drop (percent escapes and all), as UTF-8, or as raw
// UTF-16 code units (lone surrogates and zero characters included).

#include "FuzzCheck.h"

#include "dropfiles/DropExtensions.h"
#include "platform/FileName.h"

#include <QByteArray>
#include <QStringDecoder>
#include <QString>
#include <QUrl>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

namespace {

QString PathFrom(std::uint8_t how, const char* bytes, std::size_t size)
{
    const QByteArray raw(bytes, static_cast<qsizetype>(size));
    switch (how % 3) {
    case 0: {
        const QUrl url = QUrl::fromEncoded(QByteArray("file:///") + raw);
        return url.isLocalFile() ? url.toLocalFile() : QString();
    }
    case 1:
        return QString::fromUtf8(raw);
    default:
        return QString(reinterpret_cast<const QChar*>(raw.constData()), raw.size() / 2);
    }
}

// The rule as the user reads it: the path ends in one of the extensions, written exactly so,
// and something comes before it.
bool EndsInAcceptedExtension(const QString& path)
{
    return std::any_of(DROP_EXTENSIONS.begin(), DROP_EXTENSIONS.end(), [&](std::u16string_view extension) {
        const QString suffix = QString::fromStdU16String(std::u16string(extension));
        return path.size() > suffix.size() && path.endsWith(suffix, Qt::CaseSensitive);
    });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const QString path = PathFrom(data[0], reinterpret_cast<const char*>(data + 1), size - 1);

    FuzzCheck(AcceptedExtension(path) == EndsInAcceptedExtension(path),
              "a path is taken exactly when it ends in an accepted extension");

    const std::optional<std::string> narrow = NarrowFileName(path);
    const bool nameable = path.isValidUtf16() && !path.contains(QChar(u'\0'));
    FuzzCheck(narrow.has_value() == nameable,
              "a name is given exactly for paths without lone surrogates or zero characters");
    if (narrow) {
        FuzzCheck(narrow->find('\0') == std::string::npos, "the bytes hold no zero, which would end the name early");
        // Qt's file names are UTF-8; a leading U+FEFF is part of a name, not a byte order mark.
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        const QString named = utf8.decode(QByteArrayView(narrow->data(), static_cast<qsizetype>(narrow->size())));
        FuzzCheck(named == path, "the bytes are the path in UTF-8");
    }
    return 0;
}
