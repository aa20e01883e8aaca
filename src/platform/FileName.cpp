#include "platform/FileName.h"

#include <QFile>
#include <QString>

std::optional<std::string> NarrowFileName(const QString& path)
{
    // QFile::encodeName writes a replacement for what it cannot encode, so check first.
    for (qsizetype i = 0; i < path.size(); ++i) {
        const QChar unit = path.at(i);
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
