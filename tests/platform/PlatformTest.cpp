// The layer over Linux where its behaviour is not visible from outside the program.

#include "platform/FileListChannel.h"
#include "platform/InstanceLock.h"
#include "platform/QtTranslations.h"
#include "platform/Tone.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLocale>
#include <QTemporaryDir>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <thread>

using namespace std::chrono_literals;

TEST(Tone, WithoutASoundDeviceWaitsTheToneOutAndPrintsNothing)
{
    const QTemporaryDir home;  // ALSA reads ~/.asoundrc at its first use in the process
    std::ofstream(home.filePath(".asoundrc").toStdString()) << "pcm.!default { type hw; card 99 }\n";
    setenv("HOME", home.path().toLocal8Bit().constData(), 1);
    testing::internal::CaptureStderr();
    const auto start = std::chrono::steady_clock::now();
    PlayTone(440, 200);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(InstanceLock, RunsWithoutAGuardWhereTheLockCannotBeMadeSafely)
{
    const QTemporaryDir runtime;
    const std::filesystem::path folder = runtime.path().toStdString();
    std::filesystem::create_symlink(folder / "victim", folder / "Lumora.exe.lock");  // planted by another user
    for (const std::filesystem::path& dir : {folder, folder / "missing"}) {
        setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
        const InstanceLock lock = CreateInstanceLock("Lumora.exe");
        EXPECT_EQ(lock.handle, -1);
        EXPECT_FALSE(lock.alreadyExists);
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "victim"));
}

// A request is one word that is no path, which a copy that knows lists only takes for no list.
TEST(FileListChannel, TakesOnlyWholeListsOfAbsolutePathsOrSingleWords)
{
    const QStringList paths{"/tmp/テスト 画像/qr.png", "/a\nb.PNG", "/"};
    EXPECT_EQ(DecodeFileList(EncodeFileList(paths)), paths);
    EXPECT_EQ(DecodeRequest(EncodeRequest("--screen")), "--screen");
    EXPECT_EQ(DecodeFileList(EncodeRequest("--screen")), std::nullopt);
    const QByteArray oversized = "/" + QByteArray(kMaxFileListBytes, 'x') + '\0';
    EXPECT_EQ(DecodeFileList(QByteArray("relative.png\0", 13)), std::nullopt);
    for (const QByteArray& message : {QByteArray(), QByteArray("/a.png"), QByteArray("/a.png\0\0/b.png\0", 15),
                                      QByteArray("\0", 1), oversized}) {
        EXPECT_EQ(DecodeFileList(message), std::nullopt) << message.left(20).toStdString();
        EXPECT_EQ(DecodeRequest(message), std::nullopt) << message.left(20).toStdString();
    }
    for (const QByteArray& message : {QByteArray("--screen"), QByteArray("two words\0", 10),
                                      QByteArray("a\0b\0", 4), QByteArray(kMaxRequestBytes + 1, 'x') + '\0'})
        EXPECT_EQ(DecodeRequest(message), std::nullopt) << message.left(20).toStdString();
}

TEST(FileListChannel, ALaterStartWaitsForACopyStillStartingAndHandsItsListOver)
{
    const QTemporaryDir runtime;
    const std::string socket = runtime.filePath("Lumora.exe.socket").toStdString();
    const QStringList paths{"/tmp/a.png", "/tmp/b c.PNG"};
    std::future<bool> sent = std::async(std::launch::async, [&] { return SendFileList(socket, paths, 5s); });
    std::this_thread::sleep_for(300ms);  // no socket yet
    QStringList received;
    const FileListReceiver receiver(socket, [&](const QStringList& list) { received = list; }, [](const std::string&) {});
    for (const auto deadline = std::chrono::steady_clock::now() + 5s;
         received.isEmpty() && std::chrono::steady_clock::now() < deadline;)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_TRUE(sent.get());
    EXPECT_EQ(received, paths);
}

TEST(QtTranslations, QtsOwnMenuTextsComeInTheUsersLanguage)
{
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    InstallQtTranslations(*QCoreApplication::instance());
    EXPECT_TRUE(QCoreApplication::translate("QWidgetTextControl", "&Paste").startsWith(u"貼り付け"));
}
