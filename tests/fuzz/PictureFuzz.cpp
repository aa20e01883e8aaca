// Fuzz target: file bytes as the drop path treats a picture: kept from OpenCV when they would
// reach a reader that aborts, else decoded in grayscale (a throw is a file that did not
// load), then read by both engines, with every further look.

#include "FuzzCheck.h"

#include "decode/AcceptLists.h"
#include "decode/ReadSymbols.h"
#include "dropfiles/DroppedPicture.h"

#include <opencv2/core/utils/logger.hpp>
#include <opencv2/imgcodecs.hpp>

#include <cstdint>
#include <exception>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    cv::utils::logging::setLogLevel(cv::utils::logging::LOG_LEVEL_SILENT);  // a warning per damaged file
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (!SafeToDecode(std::string_view(reinterpret_cast<const char*>(data), std::min(size, kPictureHeadSize))))
        return 0;
    cv::Mat picture;
    try {
        picture = cv::imdecode(cv::Mat(1, static_cast<int>(size), CV_8UC1, const_cast<std::uint8_t*>(data)),
                               cv::IMREAD_GRAYSCALE);
    } catch (const std::exception&) {
        return 0;
    }
    FuzzCheck(picture.empty() || (picture.type() == CV_8UC1 && picture.isContinuous()), "one 8-bit channel, no gaps");
    for (const SymbolHit& symbol : ReadSymbols(picture.cols, picture.rows, picture.data, CAMERA_TYPES, kEveryFurtherLook))
        FuzzCheck(IsAccepted(symbol.typeName, CAMERA_TYPES), "every symbol is of an accepted type");
    return 0;
}
