#include "dropfiles/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::unique_ptr<QFile> OpenRegularFile(const std::string& narrowPath)
{
    struct stat info {};
    if (stat(narrowPath.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return nullptr;
    // O_NONBLOCK: should the name have become a pipe, open returns at once instead of waiting
    // for a writer; fstat then turns it away. It changes nothing for a regular file.
    const int descriptor = open(narrowPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0)
        return nullptr;
    auto file = std::make_unique<QFile>();
    if (fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode) ||
        !file->open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        close(descriptor);
        return nullptr;
    }
    return file;
}

Contents ReadWhole(QFile& file, qint64 maxBytes)
{
    const qint64 size = file.size();
    if (size > maxBytes)
        return {{}, UnreadableReason::OverLimits};
    if (!file.seek(0))
        return {{}, UnreadableReason::Broken};
    // Only the length seen above: a file that grows meanwhile cannot pass the limit.
    QByteArray bytes = file.read(size);
    if (bytes.isEmpty())
        return {{}, UnreadableReason::Broken};
    return {std::move(bytes), std::nullopt};
}
