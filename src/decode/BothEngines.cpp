#include "decode/BothEngines.h"

#include "decode/ScanGrayImage.h"
#include "decode/ZxingRead.h"

#include <cstdint>
#include <future>
#include <vector>

EngineReads ReadWithBoth(const cv::Mat& picture, Engines engines, std::span<const std::string_view> zxingNames)
{
    EngineReads reads;
    const auto width = static_cast<std::uint32_t>(picture.cols);
    const auto height = static_cast<std::uint32_t>(picture.rows);
    const auto readWithZxing = [&] { return ReadWithZxing(width, height, picture.data, zxingNames); };
    if (engines == Engines::ZxingOnly) {
        reads.zxing = readWithZxing();
        return reads;
    }
    std::future<std::vector<ZxingSymbol>> zxing = std::async(std::launch::async, readWithZxing);
    ScanGrayImage(width, height, picture.data, [&](const SymbolHit& symbol) { reads.zbar.push_back(symbol); });
    reads.zxing = zxing.get();
    return reads;
}
