// The drop handler on real files: what reaches standard output, the result box, the
// clipboard and the tone. Each case runs in its own process with a dialog of its own.

#include "ui/LumoraDlg.h"

#include "platform/Controls.h"
#include "platform/Tone.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <thread>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

const QString kUntouched = QStringLiteral("untouched");

QString Picture(const char* name)
{
    return QString::fromStdString((fs::path(LUMORA_TEST_DATA) / "pictures" / name).string());
}

std::string ReadFile(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Points this process's standard output at a file while it lives, so that what has been
// flushed - and only that - can be read while the handler is still running.
class StdoutToFile {
public:
    explicit StdoutToFile(const fs::path& file) : saved_(dup(STDOUT_FILENO))
    {
        std::fflush(stdout);
        const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        EXPECT_GE(dup2(fd, STDOUT_FILENO), 0);
        close(fd);  // stdout holds its own descriptor now
    }
    ~StdoutToFile()
    {
        std::fflush(stdout);
        dup2(saved_, STDOUT_FILENO);  // nothing better to do if it fails: the test ends anyway
        close(saved_);
    }
    StdoutToFile(const StdoutToFile&) = delete;
    StdoutToFile& operator=(const StdoutToFile&) = delete;

private:
    const int saved_;
};

class DroppedFiles : public testing::Test {
protected:
    DroppedFiles()
    {
        SetToneOverride([this](int hz, int ms) {
            tones.emplace_back(hz, ms);
            if (onTone)
                onTone();
        });
        QGuiApplication::clipboard()->setText(kUntouched);
    }
    ~DroppedFiles() override { SetToneOverride({}); }

    // A copy of a test picture at name in the temporary folder, folders made on the way.
    QString Copy(const char* picture, const fs::path& name) const
    {
        const fs::path target = dir / name;
        fs::create_directories(target.parent_path());
        fs::copy_file(Picture(picture).toStdString(), target);
        return QString::fromStdString(target.string());
    }

    // Drops paths on the dialog; returns everything it wrote to standard output.
    std::string Drop(const QStringList& paths)
    {
        const StdoutToFile redirect(echoFile);
        dlg.DecodeDroppedFiles(paths);
        return Echoed();
    }
    std::string Echoed() const { return ReadFile(echoFile); }

    QStringList ResultLines() const { return dlg.m_editResult->toPlainText().split(u'\n', Qt::SkipEmptyParts); }
    static QString Clipboard() { return QGuiApplication::clipboard()->text(); }
    static std::vector<std::pair<int, int>> Tones(std::size_t count) { return {count, {440, 200}}; }

    const TempDir dir;
    const fs::path echoFile = dir / "stdout.txt";
    CLumoraDlg dlg;
    std::vector<std::pair<int, int>> tones;
    std::function<void()> onTone;  // runs at each tone, after it has been counted
};

std::string Lines(const QStringList& paths)
{
    std::string text;
    for (const QString& path : paths)
        text += path.toStdString() + "\n";
    return text;
}

}  // namespace

TEST_F(DroppedFiles, OnlyPathsEndingInAnAcceptedExtensionAreEchoedAndScanned)
{
    const QStringList handled{Copy("qr.tiff", "scan.tiff"), Copy("qr-colour.jpg", "label.jpeg"), Copy("qr.png", "sub/.png")};
    const std::string echo = Drop({Copy("qr.png", "photo.PNG"), handled[0], Copy("qr.tiff", "scan.tif"),
                                   Copy("qr.png", "data.old/file"), handled[1], QStringLiteral(".png"), handled[2]});

    EXPECT_EQ(echo, Lines(handled));
    EXPECT_EQ(ResultLines(), (QStringList{"Hello, Lumora", "Lumora colour", "Hello, Lumora"}));
    EXPECT_EQ(tones, Tones(3));
}

TEST_F(DroppedFiles, EachFileIsEchoedAndFlushedThenFinishedBeforeTheNext)
{
    const QStringList paths{Picture("two-qr.png"), Picture("qr.png"), Picture("codabar.png")};
    // Under CTest standard output is a pipe, so fully buffered: only a flush puts a line
    // in the file before the handler returns.
    std::vector<std::string> echoedAtTone;
    onTone = [&] { echoedAtTone.push_back(Echoed()); };

    EXPECT_EQ(Drop(paths), Lines(paths));

    // The library reports the two codes of two-qr.png in the order "second", "first".
    EXPECT_EQ(ResultLines(), (QStringList{"second", "first", "Hello, Lumora", "A40156B"}));
    const std::vector<std::string> expected{Lines(paths.mid(0, 1)), Lines(paths.mid(0, 1)), Lines(paths.mid(0, 2)),
                                            Lines(paths)};
    EXPECT_EQ(echoedAtTone, expected);
}

TEST_F(DroppedFiles, OnlyQrCodesAndCodabarMakeLinesAndTones)
{
    Drop({Picture("qr-and-code128.png"), Picture("code128.png"), Picture("ean13.png"), Picture("datamatrix.png")});

    EXPECT_EQ(ResultLines(), QStringList{"Hello, Lumora"});
    EXPECT_EQ(tones, Tones(1));
    EXPECT_EQ(Clipboard(), "Hello, Lumora");
}

TEST_F(DroppedFiles, TheClipboardTakesEveryTextWhileTheBoxIsTickedAndOnlyThen)
{
    // Unticked after the two codes of the first file: the box is asked for every symbol.
    onTone = [this] {
        if (tones.size() == 2)
            SetChecked(dlg.m_chkClipboard, false);
    };

    Drop({Picture("two-qr.png"), Picture("qr.png")});

    EXPECT_EQ(ResultLines(), (QStringList{"second", "first", "Hello, Lumora"}));
    EXPECT_EQ(tones, Tones(3));
    EXPECT_EQ(Clipboard(), "first");
}

TEST_F(DroppedFiles, FilesThatDoNotLoadLeaveOnlyTheirEchoLine)
{
    // OpenCV throws on this header instead of failing quietly.
    const fs::path hugeHeader = dir / "huge.pgm";
    std::ofstream(hugeHeader) << "P5\n2000000 1\n255\n";
    fs::create_symlink(dir / "gone.png", dir / "dangling.png");
    const QStringList paths{QString::fromStdString((dir / "missing.png").string()), Picture("not-a-picture.png"),
                            QString::fromStdString(hugeHeader.string()),
                            QString::fromStdString((dir / "dangling.png").string()), Picture("qr.png")};

    EXPECT_EQ(Drop(paths), Lines(paths));
    EXPECT_EQ(ResultLines(), QStringList{"Hello, Lumora"});
    EXPECT_EQ(tones, Tones(1));
}

TEST_F(DroppedFiles, WhatIsNoRegularFileIsEchoedButNeverOpened)
{
    const fs::path pipe = dir / "pipe.png";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    fs::create_symlink(pipe, dir / "link.png");
    fs::create_directory(dir / "folder.png");
    fs::create_symlink(Picture("qr.png").toStdString(), dir / "shortcut.png");  // links are followed
    QStringList paths;
    for (const char* const name : {"pipe.png", "link.png", "folder.png", "shortcut.png"})
        paths << QString::fromStdString((dir / name).string());

    // Should the handler open the pipe, after 5 s a writer that comes and goes lets it go on.
    std::atomic<bool> rescued = false;
    std::string echo;
    {
        const std::jthread watchdog([&](std::stop_token stop) {
            for (int tick = 1; tick <= 200 && !stop.stop_requested(); ++tick) {
                std::this_thread::sleep_for(50ms);
                if (tick <= 100)
                    continue;
                rescued = true;
                const int fd = open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0)
                    close(fd);  // the reader now sees the end of the pipe
            }
        });
        echo = Drop(paths);
    }

    EXPECT_FALSE(rescued);
    EXPECT_EQ(echo, Lines(paths));
    EXPECT_EQ(ResultLines(), QStringList{"Hello, Lumora"});
}

TEST_F(DroppedFiles, AJapanesePathWithSpacesIsEchoedAsItsBytesAndRead)
{
    const QString path = Copy("qr-japanese.png", "テスト 画像/コード 1.png");

    EXPECT_EQ(Drop({path}), (dir / "テスト 画像/コード 1.png").string() + "\n");
    EXPECT_EQ(ResultLines(), QStringList{"取り込み準備中 テスト"});
}

TEST_F(DroppedFiles, APathWithoutBytesOnDiskIsSkippedAndTheRestHandled)
{
    const QString loneSurrogate = QString::fromStdString(dir.path().string()) + "/a" + QChar(0xD800) + ".png";

    EXPECT_EQ(Drop({loneSurrogate, Picture("qr.png")}), Lines({Picture("qr.png")}));
    EXPECT_EQ(ResultLines(), QStringList{"Hello, Lumora"});
}
