// Bad input on the drop path: a bad file leaves its echo line at most, and nothing in the
// box, on the clipboard or in the speaker; the good file dropped after it decodes as usual.
// Each case runs in its own process with a dialog of its own.

#include "dropfiles/DropRig.h"

#include <opencv2/imgcodecs.hpp>

#include <QUrl>

#include <sys/stat.h>

#include <ostream>
#include <random>

namespace {

constexpr int kHugeSide = 20000;
constexpr int kManyFiles = 2000;
const QString kGoodText = QStringLiteral("Hello, Lumora");

// The first half of a test picture: a file cut short in the middle of its data.
QString Truncated(const char* picture, const fs::path& target)
{
    const std::string bytes = ReadBytes(Picture(picture));
    WriteBytes(target, std::string_view(bytes).substr(0, bytes.size() / 2));
    return PathText(target);
}

// The path a file manager's drop hands over for a file URL holding these escaped bytes.
QString DroppedUrl(const fs::path& dir, const char* escapedName)
{
    return QUrl::fromEncoded(QUrl::fromLocalFile(PathText(dir)).toEncoded() + "/" + escapedName).toLocalFile();
}

struct BadFile {
    const char* name;
    std::function<QString(const fs::path& dir)> make;  // makes the file; the path as dropped
    bool echoed;                                       // whether its path line is printed
};

const BadFile kBadFiles[] = {
    {"Missing", [](const fs::path& dir) { return PathText(dir / "missing.png"); }, true},
    {"NotAPicture", [](const fs::path&) { return PicturePath("not-a-picture.png"); }, true},
    // OpenCV throws on this header instead of failing quietly.
    {"HeaderOpenCvThrowsOn",
     [](const fs::path& dir) {
         WriteBytes(dir / "huge.pgm", "P5\n2000000 1\n255\n");
         return PathText(dir / "huge.pgm");
     },
     true},
    {"TruncatedPng", [](const fs::path& dir) { return Truncated("qr.png", dir / "cut.png"); }, true},
    {"TruncatedJpeg", [](const fs::path& dir) { return Truncated("qr-colour.jpg", dir / "cut.jpg"); }, true},
    {"ZeroBytes",
     [](const fs::path& dir) {
         WriteBytes(dir / "empty.png", "");
         return PathText(dir / "empty.png");
     },
     true},
    {"RandomBytes",
     [](const fs::path& dir) {
         std::mt19937 random(6);
         std::string noise(4096, '\0');
         for (char& byte : noise)
             byte = static_cast<char>(random());
         WriteBytes(dir / "noise.png", noise);
         return PathText(dir / "noise.png");
     },
     true},
    // OpenCV would hand this to its DICOM reader, which aborts the process on it.
    {"DicomMarkNamedPng",
     [](const fs::path& dir) {
         WriteBytes(dir / "dicom.png", std::string(128, '\0') + "DICM");
         return PathText(dir / "dicom.png");
     },
     true},
    // 400 MB of gray pixels: within OpenCV's default limit of 2^30, so it is loaded and
    // scanned (seconds, not minutes), and holds nothing.
    {"Png20000x20000",
     [](const fs::path& dir) {
         const cv::Mat black(kHugeSide, kHugeSide, CV_8UC1, cv::Scalar(0));
         EXPECT_TRUE(cv::imwrite((dir / "huge.png").string(), black, {cv::IMWRITE_PNG_BILEVEL, 1}));
         return PathText(dir / "huge.png");
     },
     true},
    {"FolderNamedPng",
     [](const fs::path& dir) {
         fs::create_directory(dir / "x.png");
         return PathText(dir / "x.png");
     },
     true},
    {"NamedPipeNamedPng",
     [](const fs::path& dir) {
         EXPECT_EQ(mkfifo((dir / "x.png").c_str(), 0600), 0);  // opening it would block for ever
         return PathText(dir / "x.png");
     },
     true},
    {"DanglingLink",
     [](const fs::path& dir) {
         fs::create_symlink(dir / "gone.png", dir / "link.png");
         return PathText(dir / "link.png");
     },
     true},
    // A real picture whose name is not UTF-8: the drop's URL escapes the bytes, Qt turns
    // them into U+FFFD, and that name is echoed but names no file.
    {"NameNotUtf8",
     [](const fs::path& dir) {
         fs::copy_file(Picture("qr.png"), dir / "a\xff\xfe.png");
         return DroppedUrl(dir, "a%FF%FE.png");
     },
     true},
    // A zero character ends the name for every C call: "x" would be read instead.
    {"ZeroCharacterInName",
     [](const fs::path& dir) {
         fs::copy_file(Picture("qr.png"), dir / "x");
         return DroppedUrl(dir, "x%00.png");
     },
     false},
};

// Names the case in gtest's messages instead of dumping its bytes.
void PrintTo(const BadFile& file, std::ostream* out)
{
    *out << file.name;
}

class BadInput : public DropRig, public testing::TestWithParam<BadFile> {};

}  // namespace

TEST_P(BadInput, LeavesItsEchoLineAtMostAndTheNextFileDecodes)
{
    const QString bad = GetParam().make(dir.path());
    const QString good = PicturePath("qr.png");

    const std::string expectedEcho = (GetParam().echoed ? bad.toStdString() + "\n" : "") + good.toStdString() + "\n";
    EXPECT_EQ(Drop({bad, good}), expectedEcho);
    EXPECT_EQ(BoxText(), kGoodText + "\n");
    EXPECT_EQ(tones, Tones(1));
    EXPECT_EQ(Clipboard(), kGoodText);
}

INSTANTIATE_TEST_SUITE_P(Drop, BadInput, testing::ValuesIn(kBadFiles),
                         [](const testing::TestParamInfo<BadFile>& info) { return info.param.name; });

namespace {
class UnusualInput : public DropRig, public testing::Test {};
}  // namespace

TEST_F(UnusualInput, TwoThousandFilesInOneDropAreEachEchoedAndDecodedInOrder)
{
    QStringList paths;
    std::string expectedEcho;
    QStringList expectedLines;
    for (int i = 0; i < kManyFiles; ++i) {
        const fs::path file = dir / ("code" + std::to_string(i) + ".png");
        fs::create_hard_link(Picture(i % 2 == 0 ? "qr.png" : "codabar.png"), file);
        paths << PathText(file);
        expectedEcho += file.string() + "\n";
        expectedLines << (i % 2 == 0 ? kGoodText : QStringLiteral("A40156B"));
    }
    paths << PicturePath("two-qr.png");
    expectedEcho += Picture("two-qr.png").string() + "\n";
    expectedLines << "second" << "first";

    EXPECT_EQ(Drop(paths), expectedEcho);
    EXPECT_EQ(BoxText().split(u'\n', Qt::SkipEmptyParts), expectedLines);
    EXPECT_EQ(tones.size(), static_cast<std::size_t>(kManyFiles + 2));
    EXPECT_EQ(Clipboard(), "first");
}

TEST_F(UnusualInput, ControlCharactersReachTheClipboardAsDecoded)
{
    Drop({PicturePath("qr-control-chars.png"), PicturePath("qr.png")});

    EXPECT_EQ(BoxText(), "line1\nline2\ttab\abell\n" + kGoodText + "\n");
    EXPECT_EQ(tones, Tones(2));
    // The box takes the code's CR LF for its own line break; the clipboard has the text.
    dlg.OnClear();
    Drop({PicturePath("qr-control-chars.png")});
    EXPECT_EQ(Clipboard(), "line1\r\nline2\ttab\abell");
}

TEST_F(UnusualInput, A2900ByteCodeReachesTheBoxAndTheClipboardWhole)
{
    std::string expected;
    for (int line = 1; expected.size() < 2900; ++line) {
        char text[32];
        std::snprintf(text, sizeof text, "Lumora %03d ABCDEFGHIJ\n", line);
        expected += text;
    }
    expected.resize(2900);

    Drop({PicturePath("qr-2900-bytes.png"), PicturePath("qr.png")});

    EXPECT_EQ(Clipboard(), kGoodText);
    EXPECT_EQ(BoxText(), QString::fromStdString(expected) + "\n" + kGoodText + "\n");
    dlg.OnClear();
    Drop({PicturePath("qr-2900-bytes.png")});
    EXPECT_EQ(Clipboard(), QString::fromStdString(expected));
}
