#pragma once
// Dropped files opened and read with care: only regular files, and never more than a limit.

#include "dropfiles/UnreadableReason.h"

#include <QByteArray>
#include <QFile>

#include <memory>
#include <optional>
#include <string>

// The file named by narrowPath opened for reading, or null when it is missing, unreadable or
// no regular file. Checked before opening (a device is never opened) and again on the open
// file, so that a name swapped meanwhile for a named pipe cannot block the reader.
std::unique_ptr<QFile> OpenRegularFile(const std::string& narrowPath);

// Bytes read or made from a file, or why there are none.
struct Contents {
    QByteArray bytes;
    std::optional<UnreadableReason> failure;
};

// The whole of an open file: OverLimits when it is longer than maxBytes, Broken when it is
// empty or cannot be read.
Contents ReadWhole(QFile& file, qint64 maxBytes);
