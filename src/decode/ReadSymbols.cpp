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

using Action = std::function<void(const SymbolHit&)>;

constexpr std::size_t kSymbolsThatSuggestMore = 2;
constexpr int kMostLooksForMore = 16;  // a bound for a picture that keeps giving misreads
// What is painted over: the outline grown by a quarter about its middle, which also covers
// the quiet zone and the finder patterns' outer edges.
constexpr float kPaintOverGrowth = 1.25F;
const cv::Scalar kPaper(255);

// Blurs noise and grain below what the engines take for a module edge; a module of a code
// a reader can still resolve is several times wider.
constexpr double kSmoothingSigma = 1.0;
constexpr int kEnlargement = 2;
// Larger pictures are not enlarged: a photo of a few megapixels shows its codes with modules
// large enough, and reading it four times over would hold the dialog for seconds.
constexpr double kMostPixelsToEnlarge = 4e6;

using SymbolKey = std::pair<std::string, std::string>;  // type name and data: one symbol

// What a reading has found: every symbol seen, accepted or not; those handed on; and the
// outlines of those seen by the last look.
struct Findings {
    std::vector<SymbolKey> seen;
    std::vector<SymbolKey> reported;
    std::vector<std::vector<cv::Point>> outlines;
};

bool Holds(const std::vector<SymbolKey>& keys, const SymbolKey& key)
{
    return std::find(keys.begin(), keys.end(), key) != keys.end();
}

std::vector<cv::Point> OutlineOf(const SymbolHit& symbol)
{
    std::vector<cv::Point> outline;
    for (const auto& [x, y] : symbol.points)
        outline.emplace_back(x, y);
    return outline;
}

// Which engines take a look. Both take the first, and those further looks that are no
// larger than the picture (ZBar's own test of inverted pictures is such a look); zxing-cpp
// alone takes the costly ones, in which it finds nearly all that both would.
enum class Engines { Both, ZxingOnly };

struct LookKind {
    Engines engines;
    int enlargement;  // the look's pixels per picture pixel: its points are divided by it
    bool first;       // ZBar's symbols handed on just as ZBar gives them
};
constexpr LookKind kFirstLook{Engines::Both, 1, true};

// One look: hands on each accepted symbol not reported before, except that on the first
// look ZBar's symbols are handed on just as ZBar gives them.
void Look(std::uint32_t width, std::uint32_t height, const void* pixels, std::span<const std::string_view> accepted,
          LookKind kind, const Action& action, Findings& findings)
{
    const auto take = [&](const SymbolHit& symbol, bool evenIfReported) {
        SymbolKey key(symbol.typeName, symbol.data);
        findings.outlines.push_back(OutlineOf(symbol));
        if (!Holds(findings.seen, key))
            findings.seen.push_back(key);
        if (!IsAccepted(symbol.typeName, accepted) || (!evenIfReported && Holds(findings.reported, key)))
            return;
        findings.reported.push_back(std::move(key));
        if (kind.enlargement == 1)
            return action(symbol);
        SymbolHit onPicture = symbol;
        for (auto& [x, y] : onPicture.points) {
            x /= kind.enlargement;
            y /= kind.enlargement;
        }
        action(onPicture);
    };
    if (kind.engines == Engines::Both)
        ScanGrayImage(width, height, pixels, [&](const SymbolHit& symbol) { take(symbol, kind.first); });
    for (const SymbolHit& symbol : ReadWithZxing(width, height, pixels, accepted))
        take(symbol, false);
}

void Look(const cv::Mat& picture, std::span<const std::string_view> accepted, LookKind kind, const Action& action,
          Findings& findings)
{
    Look(static_cast<std::uint32_t>(picture.cols), static_cast<std::uint32_t>(picture.rows), picture.data, accepted,
         kind, action, findings);
}

// The picture as OpenCV sees it, or an empty one when it has no pixels OpenCV can address
// or is of one shade throughout, which can hold no code. OpenCV only reads through it.
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

void PaintOver(cv::Mat& picture, const std::vector<std::vector<cv::Point>>& outlines)
{
    for (const std::vector<cv::Point>& outline : outlines) {
        if (outline.size() < 3)
            continue;  // a point or a line covers nothing
        std::vector<cv::Point> hull;
        cv::convexHull(outline, hull);
        const cv::Moments moments = cv::moments(hull);
        if (moments.m00 <= 0)
            continue;
        const cv::Point2f middle(static_cast<float>(moments.m10 / moments.m00),
                                 static_cast<float>(moments.m01 / moments.m00));
        for (cv::Point& corner : hull)
            corner = middle + (cv::Point2f(corner) - middle) * kPaintOverGrowth;
        cv::fillConvexPoly(picture, hull, kPaper);
    }
}

// The copy a further look reads, and how: empty when there is none to take.
std::pair<cv::Mat, LookKind> FurtherLookAt(const cv::Mat& picture, FurtherLook look)
{
    cv::Mat copy;
    switch (look) {
    case FurtherLook::Negative:
        cv::bitwise_not(picture, copy);
        return {copy, {Engines::Both, 1, false}};
    case FurtherLook::Smoothed:
        cv::GaussianBlur(picture, copy, cv::Size(), kSmoothingSigma);
        return {copy, {Engines::Both, 1, false}};
    case FurtherLook::Enlarged:
        if (static_cast<double>(picture.total()) <= kMostPixelsToEnlarge)
            cv::resize(picture, copy, cv::Size(), kEnlargement, kEnlargement, cv::INTER_CUBIC);
        return {copy, {Engines::ZxingOnly, kEnlargement, false}};
    }
    return {copy, {}};
}

void LookForMore(const cv::Mat& picture, std::span<const std::string_view> accepted, LookKind kind,
                 const Action& action, Findings& findings)
{
    cv::Mat paintedOver = picture.clone();
    for (int look = 0; look < kMostLooksForMore; ++look) {
        PaintOver(paintedOver, findings.outlines);
        findings.outlines.clear();
        const std::size_t before = findings.reported.size();
        Look(paintedOver, accepted, {Engines::ZxingOnly, kind.enlargement, false}, action, findings);
        if (findings.reported.size() != before)
            continue;
        // The last of them may be the smallest: once more at twice the size.
        const auto [enlarged, enlargedKind] = FurtherLookAt(paintedOver, FurtherLook::Enlarged);
        if (enlarged.empty() || kind.enlargement != 1)
            return;
        findings.outlines.clear();
        Look(enlarged, accepted, enlargedKind, action, findings);
        return;
    }
}

}  // namespace

void ReadSymbols(std::uint32_t width, std::uint32_t height, const void* pixels,
                 std::span<const std::string_view> accepted, std::span<const FurtherLook> furtherLooks,
                 const std::function<void(const SymbolHit&)>& action)
{
    Findings findings;
    Look(width, height, pixels, accepted, kFirstLook, action, findings);
    const bool mayHoldMore = findings.reported.size() >= kSymbolsThatSuggestMore;
    const bool lookFurther = findings.seen.empty() && !furtherLooks.empty();
    if (!mayHoldMore && !lookFurther)
        return;
    const cv::Mat picture = PictureToLookAgain(width, height, pixels);
    if (picture.empty())
        return;
    if (mayHoldMore)
        return LookForMore(picture, accepted, kFirstLook, action, findings);
    for (const FurtherLook look : furtherLooks) {
        const auto [copy, kind] = FurtherLookAt(picture, look);
        if (copy.empty())
            continue;
        Look(copy, accepted, kind, action, findings);
        if (findings.reported.size() >= kSymbolsThatSuggestMore)
            return LookForMore(copy, accepted, kind, action, findings);
        if (!findings.seen.empty())
            return;
    }
}
