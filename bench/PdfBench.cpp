// A PDF dropped on the dialog against its floor: 50 A4 pages of text, with a small QR code
// (modules of 0.5 mm) on every fifth page, written by Qt's QPdfWriter. Lumora's figure is
// DecodeDroppedFiles over the file, its pages shared out among the drop's workers; the floor
// is one core doing the least the same reading takes: Poppler rendering each page as Lumora
// does, then the two engines' bare reads. The first drop, before any floor, also gives the
// peak resident memory, and must report every code in page order.
// Usage: lumora_bench_pdf [--rounds N]   (Markdown table rows on stdout)
#define ZX_USE_UTF8
#include "BenchKit.h"
#include "TempDir.h"

#include "dropfiles/DocumentLimits.h"
#include "platform/Controls.h"
#include "platform/GrayPicture.h"
#include "platform/Tone.h"
#include "ui/LumoraDlg.h"

#include <ZXing/BitMatrix.h>
#include <ZXing/MultiFormatWriter.h>

#include <poppler-qt6.h>

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPlainTextEdit>

#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>

namespace {

constexpr int kDefaultRounds = 5;
constexpr int kPages = 50;
constexpr int kCodeEvery = 5;
constexpr double kModuleMm = 0.5;
constexpr double kGoalRatio = 0.75;
constexpr double kGoalPeakMiB = 400;
constexpr double kMiB = 1024.0 * 1024.0;
constexpr int kWriterDpi = 600;

std::string CodeText(int page)
{
    return "https://example.org/lumora/invoice/" + std::to_string(page);
}

QImage QrImage(const std::string& text)
{
    constexpr int kQuietZone = 4;
    const ZXing::BitMatrix bits =
        ZXing::MultiFormatWriter(ZXing::BarcodeFormat::QRCode).setMargin(kQuietZone).encode(text, 0, 0);
    QImage image(bits.width(), bits.height(), QImage::Format_Grayscale8);
    for (int y = 0; y < bits.height(); ++y)
        for (int x = 0; x < bits.width(); ++x)
            image.setPixel(x, y, bits.get(x, y) ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    return image;
}

// Pages of running text; every fifth with its code at the foot, as on an invoice.
void WritePdf(const QString& path)
{
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(kWriterDpi);
    QPainter painter(&writer);
    const double dotsPerMm = kWriterDpi / 25.4;
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setPointSizeF(10);
    painter.setFont(font);
    const QString line = QStringLiteral("Item %1: apple river stone paper window garden silver orange cloud market "
                                        "bridge coffee station ticket yellow %2");
    for (int page = 1; page <= kPages; ++page) {
        if (page > 1)
            writer.newPage();
        for (int row = 0; row < 60; ++row)
            painter.drawText(QPointF(20 * dotsPerMm, (25 + row * 4) * dotsPerMm), line.arg(row).arg(page));
        if (page % kCodeEvery == 0) {
            const QImage code = QrImage(CodeText(page));
            const double side = code.width() * kModuleMm * dotsPerMm;
            painter.drawImage(QRectF(170 * dotsPerMm, 260 * dotsPerMm, side, side), code);
        }
    }
}

double Timed(const std::function<void()>& work)
{
    const auto start = BenchClock::now();
    work();
    return SecondsBetween(start, BenchClock::now());
}

std::size_t PeakResidentBytes()
{
    std::ifstream status("/proc/self/status");
    for (std::string field; status >> field;) {
        std::size_t kib = 0;
        if (field == "VmHWM:" && status >> kib)
            return kib * 1024;
    }
    return 0;
}

// The floor: one core, Poppler's render at Lumora's resolution, both engines' bare reads.
std::size_t FloorRead(const QString& path)
{
    std::size_t bytes = 0;
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::load(path);
    if (!document)
        throw std::runtime_error("Poppler cannot open the PDF");
    document->setRenderHint(Poppler::Document::Antialiasing);
    document->setRenderHint(Poppler::Document::TextAntialiasing);
    for (int i = 0; i < document->numPages(); ++i) {
        const cv::Mat gray = GrayPictureFromImage(document->page(i)->renderToImage(kPdfDotsPerInch, kPdfDotsPerInch));
        bytes += BareScan(gray).dataBytes + BareZxingRead(gray, BenchPath::Drop);
    }
    return bytes;
}

int Run(int argc, char** argv)
{
    PrepareLikeTheProgram();
    QApplication app(argc, argv);
    const int rounds = IntOption(argc, argv, "rounds", kDefaultRounds);
    const TempDir folder;
    const QString pdf = QString::fromStdString((folder / "invoices.pdf").string());
    WritePdf(pdf);

    CLumoraDlg dialog;
    dialog.show();
    SetChecked(dialog.m_chkClipboard, true);
    SetToneOverride([](int, int) {});
    const NullStdout null;
    const auto lumora = [&] {
        dialog.OnClear();
        dialog.DecodeDroppedFiles({pdf});
    };

    // Before anything else grows the process: its peak is the drop's.
    lumora();
    const double peakMiB = static_cast<double>(PeakResidentBytes()) / kMiB;
    QStringList expected;
    for (int page = kCodeEvery; page <= kPages; page += kCodeEvery)
        expected << QString::fromStdString(CodeText(page));
    const bool everyCode = dialog.m_editResult->toPlainText().split(u'\n', Qt::SkipEmptyParts) == expected;

    std::vector<double> lumoraTimes;
    std::vector<double> floorTimes;
    std::size_t floorBytes = 0;  // keeps the floor's reads of the data observable
    for (int round = 0; round < rounds; ++round) {
        const auto floor = [&] { floorBytes += FloorRead(pdf); };
        const bool lumoraFirst = round % 2 == 0;  // neither always finds the other's caches
        const double first = Timed(lumoraFirst ? std::function<void()>(lumora) : floor);
        const double second = Timed(lumoraFirst ? std::function<void()>(floor) : lumora);
        lumoraTimes.push_back(lumoraFirst ? first : second);
        floorTimes.push_back(lumoraFirst ? second : first);
    }
    SetToneOverride({});
    std::fprintf(stderr, "pdf: %zu bytes of symbol data read by the floor\n", floorBytes);

    const double lumoraTime = Median(lumoraTimes);
    const double floorTime = Median(floorTimes);
    const double ratio = lumoraTime / floorTime;
    const std::string figure = "PDF of " + std::to_string(kPages) + " A4 pages, a 0.5 mm QR code on every " +
                               std::to_string(kCodeEvery) + "th, median of " + std::to_string(rounds) + " rounds";
    PrintRow(null.Table(), {figure + (everyCode ? "" : " (codes MISSED)"), Fixed(lumoraTime, 2) + " s",
                            Fixed(floorTime, 2) + " s", Fixed(ratio, 3) + " x", "<= " + Fixed(kGoalRatio, 2) + " x",
                            everyCode && ratio <= kGoalRatio ? "met" : "missed"});
    PrintRow(null.Table(), {"Peak resident size, reading that PDF", Fixed(peakMiB, 1) + " MiB", "-", "-",
                            "<= " + Fixed(kGoalPeakMiB, 0) + " MiB", peakMiB <= kGoalPeakMiB ? "met" : "missed"});
    dialog.hide();
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    return RunReportingErrors(argc, argv, Run);
}
