// Fuzz target: the drop path's rules for names. The first byte chooses how the rest becomes
// a path: as a dropped file URL (percent escapes and all), as UTF-8, or as raw UTF-16 code
// units (lone surrogates and zero characters included). The rest is also read as a list
// of paths handed over by a later start.

#include "FuzzCheck.h"

#include "dropfiles/DropExtensions.h"
#include "platform/FileListChannel.h"
#include "platform/FileName.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QUrl>

#include <algorithm>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray raw(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    const QUrl url = QUrl::fromEncoded("file:///" + raw);
    const QString path = data[0] % 3 == 0   ? url.toLocalFile()
                         : data[0] % 3 == 1 ? QString::fromUtf8(raw)
                                            : QString(reinterpret_cast<const QChar*>(raw.constData()), raw.size() / 2);

    const bool endsInExtension = std::any_of(DROP_EXTENSIONS.begin(), DROP_EXTENSIONS.end(), [&](auto extension) {
        const QString suffix = QString::fromStdU16String(std::u16string(extension));
        return path.size() > suffix.size() && path.endsWith(suffix, Qt::CaseInsensitive);
    });
    FuzzCheck(AcceptedExtension(path) == endsInExtension, "taken exactly when it ends in an accepted extension, in any case");

    const std::optional<std::string> narrow = NarrowFileName(path);
    FuzzCheck(narrow.has_value() == (path.isValidUtf16() && !path.contains(QChar(u'\0'))),
              "named exactly when the path holds no lone surrogate and no zero character");
    // A leading U+FEFF is part of a name, not a byte order mark.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    FuzzCheck(!narrow || QString(utf8.decode(QByteArrayView(narrow->data(), narrow->size()))) == path,
              "the name's bytes are the path in UTF-8");

    // The same bytes as a message from a later start: one absolute path per zero byte, or
    // one request word, never both.
    const std::optional<QStringList> list = DecodeFileList(raw);
    if (list)
        FuzzCheck(list->size() == raw.count('\0') && list->filter(QRegularExpression("^/")).size() == list->size(),
                  "a list taken holds one absolute path per zero byte");
    if (const std::optional<std::string> word = DecodeRequest(raw))
        FuzzCheck(!list && !word->empty() && word->find('\0') == std::string::npos, "a request is a single word, no list");
    return 0;
}
