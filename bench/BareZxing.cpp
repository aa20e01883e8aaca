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
    // Debian's build aborts on a barcode that its own downscaling finds at two scales.
    constexpr int kDownscaleAbove = 500;
    constexpr int kDownscaleFactor = 3;
    const ZXing::BarcodeFormats drop = BarcodeFormat::QRCode | BarcodeFormat::Codabar;
    const ZXing::BarcodeFormats camera = drop | BarcodeFormat::Code39 | BarcodeFormat::Code128 | BarcodeFormat::EAN13;
    const auto hints = ZXing::DecodeHints()
                           .setFormats(path == BenchPath::Drop ? drop : camera)
                           .setReturnCodabarStartEnd(true)
                           .setTryDownscale(false);
    std::size_t bytes = 0;
    for (cv::Mat layer = gray; !layer.empty();) {
        const ZXing::ImageView view(layer.data, layer.cols, layer.rows, ZXing::ImageFormat::Lum);
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
