#include "decode/ReadSymbols.h"

#include "decode/AcceptLists.h"
#include "decode/CrossCheck.h"
#include "decode/ScanGrayImage.h"
#include "decode/SymbolPlace.h"
#include "decode/ZxingRead.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <climits>
#include <cmath>
#include <future>
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

// A closer look takes the place with room for the quiet zones and a second row of reads: a
// third of the symbol's width on either side, and half its height (at least a fifth of its
// width, for a place one scan line high) above and below.
constexpr double kCloserMarginAcross = 1.0 / 3;
constexpr double kCloserMarginAlong = 0.5;
constexpr double kCloserLeastMarginAlong = 0.2;
// ...at a scale that makes it about as long as a camera frame is wide: a small one larger, its
// thin bars widened into more pixels; a large one smaller, its print flaws shrunk below what
// the engines take for a bar. Never more than twice or less than half its size.
constexpr double kCloserLength = 640;
constexpr double kMostCloserScale = 2.0;
constexpr double kLeastCloserScale = 0.5;
// ...turned so that its bars stand upright, which both engines' line scans cross best; and
// in the second way smoothed (noise, grain), in the third with its light evened out over a
// tenth of its length (a shadow or a glare band over part of it).
enum class CloserWay { Upright, UprightSmoothed, UprightEvenLight, Count };
constexpr double kCloserSmoothingSigma = 1.0;
constexpr int kEvenLightShare = 10;
constexpr double kLeastContrast = 10;  // gray levels: flatter than this, no bars to even out
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

// Which engines take a look. Both take the first, and those further looks that are no
// larger than the picture (ZBar's own test of inverted pictures is such a look); zxing-cpp
// alone takes the costly ones, in which it finds nearly all that both would.
enum class Engines { Both, ZxingOnly };

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

// Points through a 2x3 affine transform.
void Relocate(SymbolHit& symbol, const cv::Matx23d& transform)
{
    for (auto& [x, y] : symbol.points) {
        const double fromX = x;
        const double fromY = y;
        x = static_cast<int>(std::lround(transform(0, 0) * fromX + transform(0, 1) * fromY + transform(0, 2)));
        y = static_cast<int>(std::lround(transform(1, 0) * fromX + transform(1, 1) * fromY + transform(1, 2)));
    }
}

// The engines read at once, zxing-cpp on a thread of its own: a camera pass, or a drop of
// one picture, has a second core for it.
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

// The angle (degrees, counter-clockwise) that turns the bars of a symbol in picture upright:
// the picture's dominant gradient then runs along its rows.
double UprightAngle(const cv::Mat& picture)
{
    cv::Mat dx;
    cv::Mat dy;
    cv::Sobel(picture, dx, CV_32F, 1, 0);
    cv::Sobel(picture, dy, CV_32F, 0, 1);
    const double xx = dx.dot(dx);
    const double yy = dy.dot(dy);
    const double xy = dx.dot(dy);
    return 0.5 * std::atan2(2 * xy, xx - yy) * 180 / CV_PI;
}

// Light evened out: each pixel between the darkest and the lightest around it.
cv::Mat EvenLight(const cv::Mat& picture, int reach)
{
    const cv::Mat kernel = cv::getStructuringElement(cv::MORPH_RECT, cv::Size(reach, reach));
    cv::Mat darkest;
    cv::Mat lightest;
    cv::erode(picture, darkest, kernel);
    cv::dilate(picture, lightest, kernel);
    cv::Mat low;
    cv::Mat high;
    cv::blur(darkest, low, cv::Size(reach, reach));
    cv::blur(lightest, high, cv::Size(reach, reach));
    cv::Mat range;
    cv::subtract(high, low, range, cv::noArray(), CV_32F);
    cv::max(range, kLeastContrast, range);
    cv::Mat lifted;
    cv::subtract(picture, low, lifted, cv::noArray(), CV_32F);
    cv::Mat even;
    cv::divide(lifted, range, even, 255.0, CV_8U);
    return even;
}

// Both engines' reads of the neighbourhood of place (in the picture's pixels) in a look's copy,
// in one of the closer ways; nullopt past the last way.
std::optional<EngineReads> LookCloser(const cv::Mat& lookPicture, int enlargement, cv::Rect place, int way,
                                      std::span<const std::string_view> zxingNames)
{
    if (way >= static_cast<int>(CloserWay::Count))
        return std::nullopt;
    place = cv::Rect(place.x * enlargement, place.y * enlargement, place.width * enlargement,
                     place.height * enlargement);
    const bool across = place.width >= place.height;  // bars stand across the longer side
    const int length = std::max(place.width, place.height);
    const int thickness = std::min(place.width, place.height);
    const int marginAcross = static_cast<int>(length * kCloserMarginAcross);
    const int marginAlong = static_cast<int>(
        std::max(thickness * kCloserMarginAlong, length * kCloserLeastMarginAlong));
    const int marginX = across ? marginAcross : marginAlong;
    const int marginY = across ? marginAlong : marginAcross;
    const cv::Rect region = cv::Rect(place.x - marginX, place.y - marginY, place.width + 2 * marginX,
                                     place.height + 2 * marginY) &
                            cv::Rect(0, 0, lookPicture.cols, lookPicture.rows);
    const double scale = std::clamp(kCloserLength / std::max(length, 1), kLeastCloserScale, kMostCloserScale);
    if (region.width * scale < 1 || region.height * scale < 1)
        return EngineReads{};  // nothing of the place is in the picture
    const cv::Mat crop = lookPicture(region);

    // Turned upright and scaled in one step, onto a canvas that holds all of it.
    const cv::Point2f middle(static_cast<float>(crop.cols) / 2, static_cast<float>(crop.rows) / 2);
    const double angle = UprightAngle(crop);
    cv::Mat turn = cv::getRotationMatrix2D(middle, angle, scale);
    const cv::Rect2f bounds =
        cv::RotatedRect(middle, cv::Size2f(crop.size()) * static_cast<float>(scale), static_cast<float>(angle))
            .boundingRect2f();
    turn.at<double>(0, 2) += bounds.width / 2 - middle.x;
    turn.at<double>(1, 2) += bounds.height / 2 - middle.y;
    cv::Mat closer;
    cv::warpAffine(crop, closer, turn, cv::Size(static_cast<int>(bounds.width), static_cast<int>(bounds.height)),
                   scale > 1 ? cv::INTER_CUBIC : cv::INTER_AREA, cv::BORDER_REPLICATE);
    switch (static_cast<CloserWay>(way)) {
    case CloserWay::Upright: break;
    case CloserWay::UprightSmoothed: cv::GaussianBlur(closer, closer, cv::Size(), kCloserSmoothingSigma); break;
    case CloserWay::UprightEvenLight:
        closer = EvenLight(closer, std::max(3, static_cast<int>(length * scale) / kEvenLightShare));
        break;
    case CloserWay::Count: break;
    }
    EngineReads reads = ReadWithBoth(closer, Engines::Both, zxingNames);

    // From the closer look's pixels back to the picture's.
    cv::Mat back;
    cv::invertAffineTransform(turn, back);
    cv::Matx23d toPicture(back);
    for (int row = 0; row < 2; ++row) {
        toPicture(row, 2) += row == 0 ? region.x : region.y;
        for (int column = 0; column < 3; ++column)
            toPicture(row, column) /= enlargement;
    }
    for (SymbolHit& symbol : reads.zbar)
        Relocate(symbol, toPicture);
    for (ZxingSymbol& found : reads.zxing)
        Relocate(found.symbol, toPicture);
    return reads;
}

// One look at a copy of the picture (or the picture itself): reports each accepted symbol
// that passes the cross-check and, after the first look, was not reported before.
void Look(const cv::Mat& lookPicture, std::span<const std::string_view> accepted, LookKind kind, Findings& findings)
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

    const LookAgain again{
        [&](const cv::Rect& place, int way) { return LookCloser(lookPicture, kind.enlargement, place, way, zxingNames); },
        [&](const cv::Rect& place, std::string_view digits13) {
            const cv::Rect inLook(place.x * kind.enlargement, place.y * kind.enlargement, place.width * kind.enlargement,
                                  place.height * kind.enlargement);
            return CheckEanBars(lookPicture, inLook, digits13);
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

void LookForMore(const cv::Mat& picture, std::span<const std::string_view> accepted, Findings& findings)
{
    cv::Mat paintedOver = picture.clone();
    for (int look = 0; look < kMostLooksForMore; ++look) {
        // Outlines are in the picture's pixels, which is what is painted over.
        PaintOver(paintedOver, findings.outlines);
        findings.outlines.clear();
        const std::size_t before = findings.reported.size();
        Look(paintedOver, accepted, {Engines::ZxingOnly, 1}, findings);
        if (findings.reported.size() != before)
            continue;
        // The last of them may be the smallest: once more at twice the size.
        const auto [enlarged, enlargedKind] = FurtherLookAt(paintedOver, FurtherLook::Enlarged);
        if (enlarged.empty())
            return;
        findings.outlines.clear();
        Look(enlarged, accepted, enlargedKind, findings);
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
    Look(picture, accepted, kFirstLook, findings);
    const bool mayHoldMore = findings.reported.size() >= kSymbolsThatSuggestMore;
    const bool lookFurther = findings.seen.empty() && !furtherLooks.empty();
    if ((!mayHoldMore && !lookFurther) || OfOneShade(picture))
        return std::move(findings.reported);
    if (mayHoldMore) {
        LookForMore(picture, accepted, findings);
        return std::move(findings.reported);
    }
    for (const FurtherLook look : furtherLooks) {
        const auto [copy, kind] = FurtherLookAt(picture, look);
        if (copy.empty())
            continue;
        Look(copy, accepted, kind, findings);
        if (findings.reported.size() >= kSymbolsThatSuggestMore) {
            LookForMore(kind.enlargement == 1 ? copy : picture, accepted, findings);
            break;
        }
        if (!findings.seen.empty())
            break;
    }
    return std::move(findings.reported);
}
