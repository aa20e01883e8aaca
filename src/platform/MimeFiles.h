#pragma once
// Files carried by a drag or the clipboard, as file managers put them (text/uri-list).

#include <QStringList>

class QMimeData;

// The local files among the data's URLs, in their order; other URLs are left out.
QStringList LocalFilePaths(const QMimeData& mime);
