#include "platform/FileListChannel.h"

#include <QFile>
#include <QLocalSocket>
#include <QTimer>

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <thread>

namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

constexpr milliseconds kPeerPatience{5000};
constexpr milliseconds kRetryPause{100};

// A socket in /tmp may have been put there by another user: the peer must be one of ours.
bool PeerIsThisUser(const QLocalSocket& socket)
{
    ucred peer{};
    socklen_t size = sizeof peer;
    return getsockopt(static_cast<int>(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 &&
           peer.uid == getuid();
}

bool IsRequestByte(char c)
{
    return c > ' ' && c < '\x7f';
}

int MillisecondsUntil(Clock::time_point deadline)
{
    return static_cast<int>(std::max<std::int64_t>(
        0, std::chrono::duration_cast<milliseconds>(deadline - Clock::now()).count()));
}

}  // namespace

QByteArray EncodeFileList(const QStringList& absolutePaths)
{
    QByteArray message;
    for (const QString& path : absolutePaths)
        message += QFile::encodeName(path) + '\0';
    return message;
}

std::optional<QStringList> DecodeFileList(QByteArrayView message)
{
    if (message.isEmpty() || message.size() > kMaxFileListBytes || !message.endsWith('\0'))
        return std::nullopt;
    QStringList paths;
    for (const QByteArray& name : message.chopped(1).toByteArray().split('\0')) {
        if (!name.startsWith('/'))
            return std::nullopt;
        paths << QFile::decodeName(name);
    }
    return paths;
}

QByteArray EncodeRequest(std::string_view word)
{
    return QByteArray(word.data(), static_cast<qsizetype>(word.size())) + '\0';
}

std::optional<std::string> DecodeRequest(QByteArrayView message)
{
    if (message.size() < 2 || message.size() > kMaxRequestBytes + 1 || !message.endsWith('\0'))
        return std::nullopt;
    const QByteArrayView word = message.chopped(1);
    if (word.startsWith('/') || !std::all_of(word.begin(), word.end(), IsRequestByte))
        return std::nullopt;
    return word.toByteArray().toStdString();
}

FileListReceiver::FileListReceiver(const std::string& socketPath, std::function<void(const QStringList&)> onFiles,
                                   std::function<void(const std::string&)> onRequest)
    : onFiles_(std::move(onFiles)), onRequest_(std::move(onRequest))
{
    const QString path = QString::fromStdString(socketPath);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    // False when there is nothing to remove; listen tells whether the place is free.
    static_cast<void>(QLocalServer::removeServer(path));
    if (!server_.listen(path))
        return;
    connect(&server_, &QLocalServer::newConnection, this, &FileListReceiver::Accept);
}

void FileListReceiver::Accept()
{
    while (QLocalSocket* const peer = server_.nextPendingConnection()) {
        const auto ignore = [peer] {
            peer->disconnect();
            peer->abort();
            peer->deleteLater();
        };
        if (!PeerIsThisUser(*peer)) {
            ignore();
            continue;
        }
        connect(peer, &QLocalSocket::readyRead, this, [peer, ignore] {
            if (peer->bytesAvailable() > kMaxFileListBytes)
                ignore();
        });
        connect(peer, &QLocalSocket::disconnected, this, [this, peer] {
            const QByteArray message = peer->readAll();
            if (const std::optional<QStringList> paths = DecodeFileList(message))
                onFiles_(*paths);
            else if (const std::optional<std::string> word = DecodeRequest(message))
                onRequest_(*word);
            peer->deleteLater();
        });
        QTimer::singleShot(kPeerPatience, peer, ignore);
    }
}

namespace {

bool SendMessage(const std::string& socketPath, const QByteArray& message, milliseconds patience)
{
    const Clock::time_point deadline = Clock::now() + patience;
    for (;;) {
        QLocalSocket socket;
        socket.connectToServer(QString::fromStdString(socketPath));
        if (socket.waitForConnected(MillisecondsUntil(deadline)) && PeerIsThisUser(socket)) {
            socket.write(message);
            while (socket.bytesToWrite() > 0)
                if (!socket.waitForBytesWritten(MillisecondsUntil(deadline + kPeerPatience)))
                    return false;
            socket.disconnectFromServer();
            return true;
        }
        if (Clock::now() + kRetryPause >= deadline)
            return false;
        std::this_thread::sleep_for(kRetryPause);
    }
}

}  // namespace

bool SendFileList(const std::string& socketPath, const QStringList& absolutePaths, milliseconds patience)
{
    return SendMessage(socketPath, EncodeFileList(absolutePaths), patience);
}

bool SendRequest(const std::string& socketPath, std::string_view word, milliseconds patience)
{
    return SendMessage(socketPath, EncodeRequest(word), patience);
}
