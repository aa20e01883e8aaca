#include "dropfiles/DropExtensions.h"

#include <QStringView>

#include <algorithm>

bool AcceptedExtension(const QString& path)
{
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot <= 0)
        return false;
    const QStringView extension = QStringView(path).sliced(dot);
    return std::any_of(DROP_EXTENSIONS.begin(), DROP_EXTENSIONS.end(), [extension](std::u16string_view accepted) {
        return extension.compare(QStringView(accepted.data(), static_cast<qsizetype>(accepted.size())),
                                 Qt::CaseInsensitive) == 0;
    });
}
