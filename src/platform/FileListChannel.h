#pragma once
// Lists of files, and requests, handed from a later start of a program to its running copy,
// over a local socket that only the user can reach. A message is either a list, the
// absolute paths' bytes on disk each ended by a zero byte, or one request: a word of
// printable ASCII that is no path (it does not begin with '/'), ended by a zero byte. A copy
// that knows lists only takes a request for no list and ignores it. The sender closes the
// connection when it is done.

#include <QLocalServer>
#include <QObject>
#include <QStringList>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Longer than any command line the kernel passes (2 MiB): a bigger message is no list of ours.
inline constexpr qsizetype kMaxFileListBytes = 4 << 20;

QByteArray EncodeFileList(const QStringList& absolutePaths);
// The paths of a message; nullopt for anything else: empty, oversized, not ended by a zero
// byte, or holding a path that is empty or not absolute.
std::optional<QStringList> DecodeFileList(QByteArrayView message);

inline constexpr qsizetype kMaxRequestBytes = 64;
QByteArray EncodeRequest(std::string_view word);
// The word of a request; nullopt for anything else: no single word of up to 64 bytes of
// printable ASCII, or one that begins with '/'.
std::optional<std::string> DecodeRequest(QByteArrayView message);

// Listens at socketPath for the life of the object and calls onFiles with each list
// received, and onRequest with each request's word, in the order the messages are complete.
// What is neither, and a peer that does not finish within a few seconds, are ignored. Any socket file already at socketPath is
// taken for one left by a killed copy and replaced: only the lock's holder may listen.
// Without a socket (the folder is not writable) later starts find no one and end as before.
class FileListReceiver : public QObject {
public:
    FileListReceiver(const std::string& socketPath, std::function<void(const QStringList&)> onFiles,
                     std::function<void(const std::string&)> onRequest);

private:
    void Accept();

    QLocalServer server_;
    std::function<void(const QStringList&)> onFiles_;
    std::function<void(const std::string&)> onRequest_;
};

// Sends the list to the copy listening at socketPath. A copy that is still starting (no
// socket yet, or not yet listening) is waited for up to patience. False when no copy of
// this user could be reached, or the list could not be written out.
bool SendFileList(const std::string& socketPath, const QStringList& absolutePaths, std::chrono::milliseconds patience);
// The same for a request.
bool SendRequest(const std::string& socketPath, std::string_view word, std::chrono::milliseconds patience);
