// Built apart from the other decoding sources: ZXing's Error.h defines macros (FormatError,
// UnsupportedError) that break ZBar's C++ headers in the same translation unit.
#define ZX_USE_UTF8
#include "decode/ZxingRead.h"

#include "decode/BarsExtent.h"
#include "decode/QrSegments.h"
#include "decode/QrText.h"
#include "decode/Symbologies.h"
#include "platform/Charset.h"

#include <ZXing/ReadBarcode.h>

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <climits>
#include <exception>
#include <string>
#include <utility>

namespace {

using ZXing::BarcodeFormat;

// Smaller copies of a large picture are read too, as zxing-cpp's own downscaling would: a
// blurred or big code reads better at a third of its size. That downscaling is done here,
// since in Debian's build of zxing-cpp 1.4 it aborts the process (an assertion fails when a
// linear symbol is found at two scales), which any barcode over 500 pixels wide brings about.
constexpr int kDownscaleAbove = 500;  // pixels on the longer side; zxing-cpp's own threshold
constexpr int kDownscaleFactor = 3;
// The same build also aborts whenever one read finds two linear symbols of one text: two
// copies of a product side by side, or one barcode found along rows and again along columns.
// So linear symbols are read one a read, each painted over before the next; this many at most.
constexpr int kMostLinearReads = 8;
// What is painted over: the rows (or columns) the symbol's bars cover, widened by a tenth of
// its length, which takes in the quiet zones.
constexpr int kPaintOverWidening = 10;
const cv::Scalar kPaper(255);

struct NamedFormat {
    std::string_view zbarName;
    BarcodeFormat format;
};
// What zxing-cpp reads for each ZBar name. ZBar tells EAN-13's prefixes apart by name.
constexpr std::array<NamedFormat, 13> kFormats{{
    {"QR-Code", BarcodeFormat::QRCode},
    {"Codabar", BarcodeFormat::Codabar},
    {"CODE-39", BarcodeFormat::Code39},
    {"CODE-93", BarcodeFormat::Code93},
    {"CODE-128", BarcodeFormat::Code128},
    {"EAN-13", BarcodeFormat::EAN13},
    {"ISBN-13", BarcodeFormat::EAN13},
    {"UPC-A", BarcodeFormat::UPCA},
    {"EAN-8", BarcodeFormat::EAN8},
    {"UPC-E", BarcodeFormat::UPCE},
    {"I2/5", BarcodeFormat::ITF},
    {"DataBar", BarcodeFormat::DataBar},
    {"DataBar-Exp", BarcodeFormat::DataBarExpanded},
}};
const std::string kLatin1 = "ISO-8859-1";

ZXing::BarcodeFormats FormatsFor(std::span<const std::string_view> wanted, bool linear)
{
    ZXing::BarcodeFormats formats;
    for (const NamedFormat& entry : kFormats)
        if (std::find(wanted.begin(), wanted.end(), entry.zbarName) != wanted.end() &&
            ZXing::BarcodeFormats(BarcodeFormat::LinearCodes).testFlag(entry.format) == linear)
            formats |= entry.format;
    return formats;
}

// Every symbol one read of zxing-cpp finds, or none when its decoder throws: in 1.4 a damaged
// QR code in Hanzi mode makes it read past its data (std::out_of_range).
ZXing::Results Read(const cv::Mat& layer, const ZXing::DecodeHints& hints)
{
    const ZXing::ImageView view(layer.data, layer.cols, layer.rows, ZXing::ImageFormat::Lum);
    try {
        return ZXing::ReadBarcodes(view, hints);
    } catch (const std::exception&) {
        return {};
    }
}

cv::Rect BoundsOf(const ZXing::Position& corners)
{
    std::vector<cv::Point> points;
    for (const ZXing::PointI& corner : corners)
        points.emplace_back(corner.x, corner.y);
    return cv::boundingRect(points);
}

cv::Rect Widened(cv::Rect place, const cv::Mat& picture)
{
    const int by = std::max(place.width, place.height) / kPaintOverWidening + 1;
    return cv::Rect(place.x - by, place.y - by, place.width + 2 * by, place.height + 2 * by) &
           cv::Rect(0, 0, picture.cols, picture.rows);
}

// The linear symbols of a layer, one read each: every one found is painted over, across the
// whole height of its bars, before the next read. Positions are the bars' rectangles.
std::vector<ZXing::Result> ReadLinearOneByOne(const cv::Mat& layer, const ZXing::DecodeHints& hints)
{
    std::vector<ZXing::Result> found;
    cv::Mat paintedOver = layer;  // copied when first painted on
    for (int read = 0; read < kMostLinearReads; ++read) {
        ZXing::Results results = Read(paintedOver, hints);
        if (results.empty())
            break;
        ZXing::Result& result = results.front();
        const cv::Rect bars = BarsExtent(paintedOver, BoundsOf(result.position()));
        result.setPosition({ZXing::PointI(bars.x, bars.y), ZXing::PointI(bars.br().x, bars.y),
                            ZXing::PointI(bars.br().x, bars.br().y), ZXing::PointI(bars.x, bars.br().y)});
        if (paintedOver.data == layer.data)
            paintedOver = layer.clone();
        cv::rectangle(paintedOver, Widened(bars, paintedOver), kPaper, cv::FILLED);
        found.push_back(std::move(result));
    }
    return found;
}

std::string BytesOf(const ZXing::ByteArray& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

bool NamesItsEncoding(const ZXing::Result& qrCode)
{
    if (qrCode.hasECI())
        return true;
    // zxing-cpp 1.4 keeps the segments' modes only in the data codewords, which it hands out
    // through rawBytes() alone; bytes() has lost them.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const ZXing::ByteArray& codewords = qrCode.rawBytes();
#pragma GCC diagnostic pop
    const std::string level = qrCode.ecLevel();
    return !level.empty() && QrNamesItsEncoding(codewords, level.front());
}

// The result in ZBar's terms; corners of a copy scale points back up to the picture.
ZxingSymbol SymbolOf(const ZXing::Result& result, int scale)
{
    ZxingSymbol found;
    SymbolHit& hit = found.symbol;
    const BarcodeFormat format = result.format();
    if (format == BarcodeFormat::QRCode) {
        hit.typeName = "QR-Code";
        found.namesItsEncoding = NamesItsEncoding(result);
        hit.data = found.namesItsEncoding ? result.text() : QrTextToUtf8(BytesOf(result.bytes()));
    } else {
        // Every byte is a Latin-1 character: this converts unless iconv lacks the set.
        const std::string bytes = BytesOf(result.bytes());
        hit.data = ToUtf8Exactly(bytes, kLatin1).value_or(bytes);
        const auto named = std::find_if(kFormats.begin(), kFormats.end(),
                                        [format](const NamedFormat& entry) { return entry.format == format; });
        if (format == BarcodeFormat::EAN13)
            NameEan13(hit);
        else if (named != kFormats.end())
            hit.typeName = named->zbarName;
    }
    const ZXing::Position& corners = result.position();
    for (const ZXing::PointI& corner : corners)
        hit.points.emplace_back(corner.x * scale, corner.y * scale);
    return found;
}

bool SameSymbol(const SymbolHit& one, const SymbolHit& other)
{
    return one.typeName == other.typeName && one.data == other.data;
}

}  // namespace

std::vector<ZxingSymbol> ReadWithZxing(std::uint32_t width, std::uint32_t height, const void* pixels,
                                       std::span<const std::string_view> wanted)
{
    std::vector<ZxingSymbol> hits;
    const ZXing::BarcodeFormats matrixFormats = FormatsFor(wanted, false);
    const ZXing::BarcodeFormats linearFormats = FormatsFor(wanted, true);
    // zxing-cpp addresses pixels with int offsets; ZBar alone reads larger pictures.
    const bool fits = std::uint64_t{width} * height <= INT_MAX;
    if (pixels == nullptr || width == 0 || height == 0 || !fits || (matrixFormats.empty() && linearFormats.empty()))
        return hits;
    const auto hints = ZXing::DecodeHints().setReturnCodabarStartEnd(true).setTryDownscale(false);
    const auto matrixHints = ZXing::DecodeHints(hints).setFormats(matrixFormats);
    const auto linearHints = ZXing::DecodeHints(hints).setFormats(linearFormats).setMaxNumberOfSymbols(1);
    int copy = 0;
    const auto take = [&](const ZXing::Result& result, int scale) {
        ZxingSymbol found = SymbolOf(result, scale);
        found.copy = copy;
        const bool known = std::any_of(hits.begin(), hits.end(), [&](const ZxingSymbol& other) {
            return SameSymbol(found.symbol, other.symbol);
        });
        if (!known && std::find(wanted.begin(), wanted.end(), found.symbol.typeName) != wanted.end())
            hits.push_back(std::move(found));
    };
    // OpenCV's header only reads through the pointer; the copies are pictures of their own.
    cv::Mat layer(static_cast<int>(height), static_cast<int>(width), CV_8UC1, const_cast<void*>(pixels));
    for (int scale = 1;; scale *= kDownscaleFactor, ++copy) {
        if (!matrixFormats.empty())
            for (const ZXing::Result& result : Read(layer, matrixHints))
                take(result, scale);
        if (!linearFormats.empty())
            for (const ZXing::Result& result : ReadLinearOneByOne(layer, linearHints))
                take(result, scale);
        if (std::max(layer.cols, layer.rows) <= kDownscaleAbove || std::min(layer.cols, layer.rows) < kDownscaleFactor)
            return hits;
        cv::Mat smaller;
        cv::resize(layer, smaller, cv::Size(layer.cols / kDownscaleFactor, layer.rows / kDownscaleFactor), 0, 0,
                   cv::INTER_AREA);
        layer = smaller;
    }
}
