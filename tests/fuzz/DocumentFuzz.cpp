// Fuzz target: file bytes as a dropped document. The first byte names the file (one accepted
// extension after another), the rest is its content, opened by what it holds and read page
// by page. Nothing throws or aborts, every page is gray without gaps, and only a file named
// as one of the newer kinds is told to be unreadable.

#include "FuzzCheck.h"

#include "dropfiles/DocumentLimits.h"
#include "dropfiles/DropExtensions.h"
#include "dropfiles/DroppedDocument.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <opencv2/core/utils/logger.hpp>

#include <algorithm>
#include <cstdint>

namespace {
constexpr int kPagesRead = 4;  // enough to reach past a first page, few enough to stay fast
}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    cv::utils::logging::setLogLevel(cv::utils::logging::LOG_LEVEL_SILENT);  // a warning per damaged file
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Fonts, for the text of SVG drawings. Never destroyed: by the time a static application
    // would be, at exit, Qt has already dropped its per-thread font cache, and LeakSanitizer
    // would report the fonts in it.
    static const QGuiApplication* const app = new QGuiApplication(*argc, *argv);
    static_cast<void>(app);  // held only to be kept
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QTemporaryDir folder;
    if (size == 0 || !folder.isValid())
        return 0;
    const std::u16string_view extension = DROP_EXTENSIONS[data[0] % DROP_EXTENSIONS.size()];
    const QString name = QStringLiteral("input") + QString::fromStdU16String(std::u16string(extension));
    const QString path = folder.filePath(name);
    const QByteArray content(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size())
        return 0;
    file.close();

    const OpenedDocument opened = OpenDroppedDocument(QFile::encodeName(path).toStdString());
    FuzzCheck(!opened.failure || (!opened.document && NewerKindExtension(path)),
              "a reason only for a file named as one of the newer kinds, and only without a document");
    if (!opened.document)
        return 0;
    DroppedDocument& document = *opened.document;
    FuzzCheck(document.PageCount() >= 1 && document.PageCount() <= kMaxPages, "between one page and the limit");
    for (int page = 0; page < std::min(document.PageCount(), kPagesRead); ++page)
        static_cast<void>(document.Page(page));  // what counts is that reading ends, and cleanly
    return 0;
}
