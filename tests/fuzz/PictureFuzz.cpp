// Fuzz target: file bytes as the drop path treats a picture: kept from OpenCV when they would
// reach a reader that aborts, else decoded in grayscale (OpenCV throws on some damaged
// headers; the drop path takes that as a file that did not load), then scanned.

#include "FuzzCheck.h"

#include "decode/ScanGrayImage.h"
#include "dropfiles/DroppedPicture.h"

#include <opencv2/core/utils/logger.hpp>
#include <opencv2/imgcodecs.hpp>

#include <algorithm>
#include <cstdint>
#include <exception>
#include <string_view>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Every damaged file would print a warning otherwise.
    cv::utils::logging::setLogLevel(cv::utils::logging::LOG_LEVEL_SILENT);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view head(reinterpret_cast<const char*>(data), std::min(size, kPictureHeadSize));
    if (!SafeToDecode(head))
        return 0;
    const cv::Mat bytes(1, static_cast<int>(size), CV_8UC1, const_cast<std::uint8_t*>(data));
    cv::Mat picture;
    try {
        picture = cv::imdecode(bytes, cv::IMREAD_GRAYSCALE);
    } catch (const std::exception&) {
        return 0;  // a file that did not load
    }
    if (picture.empty())
        return 0;
    FuzzCheck(picture.type() == CV_8UC1 && picture.isContinuous(), "a loaded picture is one 8-bit channel, no gaps");
    ScanGrayImage(static_cast<std::uint32_t>(picture.cols), static_cast<std::uint32_t>(picture.rows), picture.data,
                  [&](const SymbolHit& symbol) { FuzzCheck(!symbol.typeName.empty(), "every symbol has a type"); });
    return 0;
}
