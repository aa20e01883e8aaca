#include "platform/MimeFiles.h"

#include <QMimeData>
#include <QUrl>

QStringList LocalFilePaths(const QMimeData& mime)
{
    QStringList paths;
    if (!mime.hasUrls())
        return paths;
    for (const QUrl& url : mime.urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    return paths;
}
