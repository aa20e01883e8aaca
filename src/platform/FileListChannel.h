#pragma once
// Lists of files handed from a later start of a program to its running copy, over a local
// socket that only the user can reach. A message is the absolute paths' bytes on disk, each
// ended by a zero byte; the sender closes the connection when it is done.

#include <QLocalServer>
#include <QObject>
#include <QStringList>

#include <chrono>
#include <functional>
#include <optional>
#include <string>

// Longer than any command line the kernel passes (2 MiB): a bigger message is no list of ours.
inline constexpr qsizetype kMaxFileListBytes = 4 << 20;

QByteArray EncodeFileList(const QStringList& absolutePaths);
// The paths of a message; nullopt for anything else: empty, oversized, not ended by a zero
// byte, or holding a path that is empty or not absolute.
std::optional<QStringList> DecodeFileList(QByteArrayView message);

// Listens at socketPath for the life of the object and calls onFiles with each list
// received, in the order the lists are complete. What is not a list, and a peer that does
// not finish within a few seconds, are ignored. Any socket file already at socketPath is
// taken for one left by a killed copy and replaced: only the lock's holder may listen.
// Without a socket (the folder is not writable) later starts find no one and end as before.
class FileListReceiver : public QObject {
public:
    FileListReceiver(const std::string& socketPath, std::function<void(const QStringList&)> onFiles);

private:
    void Accept();

    QLocalServer server_;
    std::function<void(const QStringList&)> onFiles_;
};

// Sends the list to the copy listening at socketPath. A copy that is still starting (no
// socket yet, or not yet listening) is waited for up to patience. False when no copy of
// this user could be reached, or the list could not be written out.
bool SendFileList(const std::string& socketPath, const QStringList& absolutePaths, std::chrono::milliseconds patience);
