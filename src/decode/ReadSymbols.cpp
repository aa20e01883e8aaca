#include "decode/ReadSymbols.h"

#include "decode/AcceptLists.h"
#include "decode/BothEngines.h"
#include "decode/CloserLook.h"
#include "decode/CrossCheck.h"
#include "decode/EanBars.h"
#include "decode/QuietZones.h"
#include "decode/SymbolPlace.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace {

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

// What zxing-cpp reads beside the path's own symbologies: what a misread of them comes out
// as. One EAN-13 may be read as UPC-A by one engine and as EAN-13 by the other.
constexpr std::string_view kEanFamily[] = {"EAN-13", "ISBN-13", "UPC-A"};

using SymbolKey = std::pair<std::string, std::string>;  // type name and data: one symbol

// What a reading has found: every symbol seen, accepted or not; those reported; and the
// outlines of those seen by the last look.
struct Findings {
    std::vector<SymbolKey> seen;
    std::vector<SymbolHit> reported;
    std::vector<std::vector<cv::Point>> outlines;
};

bool Reported(const Findings& findings, const SymbolKey& key)
{
    return std::any_of(findings.reported.begin(), findings.reported.end(),
                       [&](const SymbolHit& symbol) { return symbol.typeName == key.first && symbol.data == key.second; });
}

std::vector<cv::Point> OutlineOf(const SymbolHit& symbol)
{
    std::vector<cv::Point> outline;
    for (const auto& [x, y] : symbol.points)
        outline.emplace_back(x, y);
    return outline;
}

std::vector<std::string_view> ZxingNames(std::span<const std::string_view> accepted)
{
    std::vector<std::string_view> names(accepted.begin(), accepted.end());
    const bool ean = std::any_of(std::begin(kEanFamily), std::end(kEanFamily),
                                 [&](std::string_view name) { return IsAccepted(name, accepted); });
    for (const std::string_view name : kEanFamily)
        if (ean && !IsAccepted(name, names))
            names.push_back(name);
    return names;
}

struct LookKind {
    Engines engines;
    int enlargement;     // the look's pixels per picture pixel: its points are divided by it
    bool first = false;  // every symbol ZBar reports counts, even two alike
};
constexpr LookKind kFirstLook{Engines::Both, 1, true};

void Relocate(SymbolHit& symbol, cv::Point2d offset, double scale)
{
    for (auto& [x, y] : symbol.points) {
        x = static_cast<int>(offset.x + x / scale);
        y = static_cast<int>(offset.y + y / scale);
    }
}

// One look at a copy of the picture (or the picture itself): reports each accepted symbol
// that passes the cross-check and, after the first look, was not reported before. Bars are
// measured in sharp, the look's copy or one of the same size with edges unblurred.
void Look(const cv::Mat& lookPicture, const cv::Mat& sharp, std::span<const std::string_view> accepted, LookKind kind,
          Findings& findings)
{
    const std::vector<std::string_view> zxingNames = ZxingNames(accepted);
    EngineReads reads = ReadWithBoth(lookPicture, kind.engines, zxingNames);
    for (SymbolHit& symbol : reads.zbar)
        Relocate(symbol, {}, kind.enlargement);
    for (ZxingSymbol& found : reads.zxing)
        Relocate(found.symbol, {}, kind.enlargement);

    const auto see = [&](const SymbolHit& symbol) {
        findings.outlines.push_back(OutlineOf(symbol));
        const SymbolKey key(symbol.typeName, symbol.data);
        if (std::find(findings.seen.begin(), findings.seen.end(), key) == findings.seen.end())
            findings.seen.push_back(key);
    };
    for (const SymbolHit& symbol : reads.zbar)
        see(symbol);
    for (const ZxingSymbol& found : reads.zxing)
        see(found.symbol);

    const auto inLook = [&](const cv::Rect& place) {
        return cv::Rect(place.x * kind.enlargement, place.y * kind.enlargement, place.width * kind.enlargement,
                        place.height * kind.enlargement);
    };
    const LookAgain again{
        [&](const cv::Rect& place, int way) { return LookCloser(lookPicture, kind.enlargement, place, way, zxingNames); },
        [&](const cv::Rect& place, std::string_view digits13) { return CheckEanBars(sharp, inLook(place), digits13); },
        [&](const cv::Rect& place, std::size_t characters) {
            return BarsGoOnPastRead(sharp, inLook(place), characters);
        }};
    for (SymbolHit& symbol : CrossCheck(reads, accepted, again)) {
        if (!kind.first && Reported(findings, {symbol.typeName, symbol.data}))
            continue;
        findings.reported.push_back(std::move(symbol));
    }
}

// The picture as OpenCV sees it, or an empty one when it has no pixels OpenCV can address.
// OpenCV only reads through it.
cv::Mat PictureOf(std::uint32_t width, std::uint32_t height, const void* pixels)
{
    if (pixels == nullptr || width == 0 || height == 0 || width > INT_MAX || height > INT_MAX)
        return {};
    return {static_cast<int>(height), static_cast<int>(width), CV_8UC1, const_cast<void*>(pixels)};
}

bool OfOneShade(const cv::Mat& picture)
{
    double darkest = 0;
    double lightest = 0;
    cv::minMaxLoc(picture, &darkest, &lightest);
    return darkest == lightest;
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
        return {copy, {Engines::Both, 1}};
    case FurtherLook::Smoothed:
        cv::GaussianBlur(picture, copy, cv::Size(), kSmoothingSigma);
        return {copy, {Engines::Both, 1}};
    case FurtherLook::Enlarged:
        if (static_cast<double>(picture.total()) <= kMostPixelsToEnlarge)
            cv::resize(picture, copy, cv::Size(), kEnlargement, kEnlargement, cv::INTER_CUBIC);
        return {copy, {Engines::ZxingOnly, kEnlargement}};
    }
    return {copy, {}};
}

// ...and, where the caller takes enlarged looks, last at twice the size.
void LookForMore(const cv::Mat& picture, std::span<const std::string_view> accepted, bool enlarge, Findings& findings)
{
    cv::Mat paintedOver = picture.clone();
    for (int look = 0; look < kMostLooksForMore; ++look) {
        // Outlines are in the picture's pixels, which is what is painted over.
        PaintOver(paintedOver, findings.outlines);
        findings.outlines.clear();
        const std::size_t before = findings.reported.size();
        Look(paintedOver, paintedOver, accepted, {Engines::ZxingOnly, 1}, findings);
        if (findings.reported.size() != before)
            continue;
        // The last of them may be the smallest: once more at twice the size.
        const auto [enlarged, enlargedKind] =
            enlarge ? FurtherLookAt(paintedOver, FurtherLook::Enlarged) : std::pair<cv::Mat, LookKind>();
        if (enlarged.empty())
            return;
        findings.outlines.clear();
        Look(enlarged, enlarged, accepted, enlargedKind, findings);
        return;
    }
}

}  // namespace

std::vector<SymbolHit> ReadSymbols(std::uint32_t width, std::uint32_t height, const void* pixels,
                                   std::span<const std::string_view> accepted,
                                   std::span<const FurtherLook> furtherLooks)
{
    const cv::Mat picture = PictureOf(width, height, pixels);
    if (picture.empty())
        return {};  // neither engine reads a picture without pixels
    Findings findings;
    const bool enlarge =
        std::find(furtherLooks.begin(), furtherLooks.end(), FurtherLook::Enlarged) != furtherLooks.end();
    Look(picture, picture, accepted, kFirstLook, findings);
    const bool mayHoldMore = findings.reported.size() >= kSymbolsThatSuggestMore;
    const bool lookFurther = findings.seen.empty() && !furtherLooks.empty();
    if ((!mayHoldMore && !lookFurther) || OfOneShade(picture))
        return std::move(findings.reported);
    if (mayHoldMore) {
        LookForMore(picture, accepted, enlarge, findings);
        return std::move(findings.reported);
    }
    for (const FurtherLook look : furtherLooks) {
        const auto [copy, kind] = FurtherLookAt(picture, look);
        if (copy.empty())
            continue;
        // Smoothing brings out a code under grain, but blurs the widths of its bars.
        Look(copy, look == FurtherLook::Smoothed ? picture : copy, accepted, kind, findings);
        if (findings.reported.size() >= kSymbolsThatSuggestMore) {
            LookForMore(kind.enlargement == 1 ? copy : picture, accepted, enlarge, findings);
            break;
        }
        if (!findings.seen.empty())
            break;
    }
    return std::move(findings.reported);
}
