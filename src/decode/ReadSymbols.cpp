#include "decode/ReadSymbols.h"

#include "decode/AcceptLists.h"
#include "decode/ScanGrayImage.h"
#include "decode/ZxingRead.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <climits>
#include <string>
#include <utility>
#include <vector>

namespace {

using Reported = std::vector<std::pair<std::string, std::string>>;  // type name and data

bool WasReported(const Reported& reported, const SymbolHit& symbol)
{
    return std::find(reported.begin(), reported.end(), std::pair(symbol.typeName, symbol.data)) != reported.end();
}

// One reading of one picture by both engines; what it hands on joins reported. Returns
// whether either found any symbol, accepted or not.
bool ReadWithBothEngines(std::uint32_t width, std::uint32_t height, const void* pixels,
                         std::span<const std::string_view> accepted,
                         const std::function<void(const SymbolHit&)>& action, Reported& reported)
{
    bool found = false;
    ScanGrayImage(width, height, pixels, [&](const SymbolHit& symbol) {
        found = true;
        if (!IsAccepted(symbol.typeName, accepted))
            return;
        reported.emplace_back(symbol.typeName, symbol.data);
        action(symbol);
    });
    for (const SymbolHit& symbol : ReadWithZxing(width, height, pixels, accepted)) {
        found = true;
        if (WasReported(reported, symbol))
            continue;
        reported.emplace_back(symbol.typeName, symbol.data);
        action(symbol);
    }
    return found;
}

// Blurs noise and grain below what the engines take for a module edge; a module of a
// code a reader can still resolve is several times wider.
constexpr double kSmoothingSigma = 1.0;

// The picture as OpenCV sees it, or an empty one when it has no pixels OpenCV can address
// or is of one shade throughout. OpenCV's header only reads through the pointer here.
cv::Mat PictureToLookAgain(std::uint32_t width, std::uint32_t height, const void* pixels)
{
    if (pixels == nullptr || width == 0 || height == 0 || width > INT_MAX || height > INT_MAX)
        return {};
    const cv::Mat picture(static_cast<int>(height), static_cast<int>(width), CV_8UC1, const_cast<void*>(pixels));
    double darkest = 0;
    double lightest = 0;
    cv::minMaxLoc(picture, &darkest, &lightest);
    return darkest == lightest ? cv::Mat() : picture;
}

cv::Mat LookAt(const cv::Mat& picture, FurtherLook look)
{
    cv::Mat copy;
    switch (look) {
    case FurtherLook::Negative: cv::bitwise_not(picture, copy); break;
    case FurtherLook::Smoothed: cv::GaussianBlur(picture, copy, cv::Size(), kSmoothingSigma); break;
    }
    return copy;
}

}  // namespace

void ReadSymbols(std::uint32_t width, std::uint32_t height, const void* pixels,
                 std::span<const std::string_view> accepted, std::span<const FurtherLook> furtherLooks,
                 const std::function<void(const SymbolHit&)>& action)
{
    Reported reported;
    if (ReadWithBothEngines(width, height, pixels, accepted, action, reported) || furtherLooks.empty())
        return;
    const cv::Mat picture = PictureToLookAgain(width, height, pixels);
    if (picture.empty())
        return;
    for (const FurtherLook look : furtherLooks) {
        const cv::Mat copy = LookAt(picture, look);
        if (ReadWithBothEngines(width, height, copy.data, accepted, action, reported))
            return;
    }
}
