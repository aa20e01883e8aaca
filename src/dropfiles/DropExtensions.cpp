#include "dropfiles/DropExtensions.h"

#include <QStringView>

#include <algorithm>
#include <iterator>

namespace {

// The position of the path's extension in DROP_EXTENSIONS, or DROP_EXTENSIONS.size().
std::size_t ExtensionIndex(const QString& path)
{
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot <= 0)
        return DROP_EXTENSIONS.size();
    const QStringView extension = QStringView(path).sliced(dot);
    const auto found =
        std::find_if(DROP_EXTENSIONS.begin(), DROP_EXTENSIONS.end(), [extension](std::u16string_view accepted) {
            return extension.compare(QStringView(accepted.data(), static_cast<qsizetype>(accepted.size())),
                                     Qt::CaseInsensitive) == 0;
        });
    return static_cast<std::size_t>(std::distance(DROP_EXTENSIONS.begin(), found));
}

}  // namespace

bool AcceptedExtension(const QString& path)
{
    return ExtensionIndex(path) < DROP_EXTENSIONS.size();
}

bool NewerKindExtension(const QString& path)
{
    const std::size_t index = ExtensionIndex(path);
    return index >= kFirstNewerExtension && index < DROP_EXTENSIONS.size();
}
