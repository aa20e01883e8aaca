#include "platform/FileName.h"

#include <QFile>
#include <QString>

std::optional<std::string> NarrowFileName(const QString& path)
{
    // QFile::encodeName writes a replacement for what it cannot encode, so check first.
    // A zero character (a drop's URL may hold %00) has no bytes either: every C call would
    // take the name to end there and open another file.
    for (qsizetype i = 0; i < path.size(); ++i) {
        const QChar unit = path.at(i);
        if (unit.isNull())
            return std::nullopt;
        if (unit.isHighSurrogate() && i + 1 < path.size() && path.at(i + 1).isLowSurrogate()) {
            ++i;
            continue;
        }
        if (unit.isSurrogate())
            return std::nullopt;
    }
    const QByteArray bytes = QFile::encodeName(path);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}
