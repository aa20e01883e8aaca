// Apart from BenchKit.cpp: ZXing's Error.h defines macros that break ZBar's C++ headers.
#define ZX_USE_UTF8
#include "BenchKit.h"

#include <ZXing/ReadBarcode.h>

#include <opencv2/imgproc.hpp>

#include <algorithm>

std::size_t BareZxingRead(const cv::Mat& gray, BenchPath path)
{
    using ZXing::BarcodeFormat;
    // zxing-cpp's own pyramid of copies (a third smaller while over 500 pixels), made here:
    // Debian's build aborts on a barcode that its own downscaling finds at two scales, and
    // on two linear symbols of one text found in one read, so linear symbols are read one a
    // read (Lumora reads on, painting each over; the floor stops at the first).
    constexpr int kDownscaleAbove = 500;
    constexpr int kDownscaleFactor = 3;
    const ZXing::BarcodeFormats linear = path == BenchPath::Drop
                                             ? ZXing::BarcodeFormats(BarcodeFormat::Codabar)
                                             : BarcodeFormat::Codabar | BarcodeFormat::Code39 |
                                                   BarcodeFormat::Code128 | BarcodeFormat::EAN13;
    const auto hintsFor = [](ZXing::BarcodeFormats formats, int most) {
        return ZXing::DecodeHints()
            .setFormats(formats)
            .setReturnCodabarStartEnd(true)
            .setTryDownscale(false)
            .setMaxNumberOfSymbols(most);
    };
    const ZXing::DecodeHints reads[] = {hintsFor(BarcodeFormat::QRCode, 0xFF), hintsFor(linear, 1)};
    std::size_t bytes = 0;
    for (cv::Mat layer = gray; !layer.empty();) {
        const ZXing::ImageView view(layer.data, layer.cols, layer.rows, ZXing::ImageFormat::Lum);
        for (const ZXing::DecodeHints& hints : reads)
            for (const ZXing::Result& result : ZXing::ReadBarcodes(view, hints))
                bytes += result.bytes().size();
        cv::Mat smaller;
        if (std::max(layer.cols, layer.rows) > kDownscaleAbove)
            cv::resize(layer, smaller, cv::Size(layer.cols / kDownscaleFactor, layer.rows / kDownscaleFactor), 0, 0,
                       cv::INTER_AREA);
        layer = smaller;
    }
    return bytes;
}
