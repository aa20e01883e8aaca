// The drop handler on real files: what reaches standard output, the result box, the
// clipboard and the tone. Each case runs in its own process with a dialog of its own.

#include "dropfiles/DropRig.h"

#include "platform/Controls.h"

#include <QCheckBox>

#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace std::chrono_literals;

namespace {
class DroppedFiles : public DropRig, public testing::Test {};
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
    const QStringList paths{PicturePath("two-qr.png"), PicturePath("qr.png"), PicturePath("codabar.png")};
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
    Drop({PicturePath("qr-and-code128.png"), PicturePath("code128.png"), PicturePath("ean13.png"), PicturePath("datamatrix.png")});

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

    Drop({PicturePath("two-qr.png"), PicturePath("qr.png")});

    EXPECT_EQ(ResultLines(), (QStringList{"second", "first", "Hello, Lumora"}));
    EXPECT_EQ(tones, Tones(3));
    EXPECT_EQ(Clipboard(), "first");
}

TEST_F(DroppedFiles, WhatIsNoRegularFileIsEchoedButNeverOpened)
{
    const fs::path pipe = dir / "pipe.png";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    fs::create_symlink(pipe, dir / "link.png");
    fs::create_symlink(Picture("qr.png"), dir / "shortcut.png");  // links are followed
    QStringList paths;
    for (const char* const name : {"pipe.png", "link.png", "shortcut.png"})
        paths << PathText(dir / name);

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
    const QString loneSurrogate = PathText(dir.path()) + "/a" + QChar(0xD800) + ".png";

    EXPECT_EQ(Drop({loneSurrogate, PicturePath("qr.png")}), Lines({PicturePath("qr.png")}));
    EXPECT_EQ(ResultLines(), QStringList{"Hello, Lumora"});
}
