#include "decode/ScanGrayImage.h"

#include "decode/BarsFromMarks.h"
#include "decode/SymbolPlace.h"
#include "decode/Symbologies.h"
#include "decode/ZbarHandles.h"

#include <opencv2/core/mat.hpp>

#include <climits>
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// ZBar's format codes pack up to four characters, the first in the lowest byte.
constexpr unsigned long FourCharCode(std::string_view text)
{
    unsigned long code = 0;
    for (std::size_t i = 0; i < text.size() && i < 4 && text[i] != '\0'; ++i)
        code |= static_cast<unsigned long>(static_cast<unsigned char>(text[i])) << (8 * i);
    return code;
}

constexpr unsigned long kGray8 = FourCharCode("Y800");
static_assert(kGray8 == 0x30303859);

void KeepPixels(zbar::zbar_image_t*) {}  // the caller owns the pixels

std::vector<std::pair<int, int>> PointsOf(const zbar::zbar_symbol_t* symbol)
{
    std::vector<std::pair<int, int>> points;
    const unsigned count = zbar::zbar_symbol_get_loc_size(symbol);
    points.reserve(count);
    for (unsigned i = 0; i < count; ++i)
        points.emplace_back(zbar::zbar_symbol_get_loc_x(symbol, i), zbar::zbar_symbol_get_loc_y(symbol, i));
    return points;
}

// ZBar places a product code with a price add-on (COMPOSITE) nowhere itself, but its parts
// are placed: the main symbol's points say where the composite is.
std::vector<std::pair<int, int>> MainPartsPoints(const zbar::zbar_symbol_t* composite)
{
    const zbar::zbar_symbol_set_t* const parts = zbar::zbar_symbol_get_components(composite);
    if (parts == nullptr)
        return {};
    for (const zbar::zbar_symbol_t* part = zbar::zbar_symbol_set_first_symbol(parts); part != nullptr;
         part = zbar::zbar_symbol_next(part)) {
        const zbar::zbar_symbol_type_t type = zbar::zbar_symbol_get_type(part);
        if (type != zbar::ZBAR_EAN2 && type != zbar::ZBAR_EAN5)
            return PointsOf(part);
    }
    return {};
}

// Whether ZBar read the symbol along rows (its bars upright or upside down) or along columns;
// nullopt when it cannot tell.
std::optional<bool> ReadAlongRows(const zbar::zbar_symbol_t* symbol)
{
    switch (zbar::zbar_symbol_get_orientation(symbol)) {
    case zbar::ZBAR_ORIENT_UP:
    case zbar::ZBAR_ORIENT_DOWN: return true;
    case zbar::ZBAR_ORIENT_RIGHT:
    case zbar::ZBAR_ORIENT_LEFT: return false;
    case zbar::ZBAR_ORIENT_UNKNOWN: break;
    }
    return std::nullopt;
}

SymbolHit HitOf(const zbar::zbar_symbol_t* symbol, const cv::Mat& picture)
{
    SymbolHit hit;
    const zbar::zbar_symbol_type_t type = zbar::zbar_symbol_get_type(symbol);
    hit.typeName = zbar::zbar_get_symbol_name(type);
    hit.data.assign(zbar::zbar_symbol_get_data(symbol), zbar::zbar_symbol_get_data_length(symbol));
    hit.points = PointsOf(symbol);
    if (hit.points.empty() && type == zbar::ZBAR_COMPOSITE)
        hit.points = MainPartsPoints(symbol);
    // A linear symbol marked only at one end is placed where its bars are.
    const std::optional<bool> alongRows = ReadAlongRows(symbol);
    const cv::Rect marked = PlaceOf(hit);
    if (IsLinear(hit.typeName) && alongRows && MarksOnlyAnEnd(marked, *alongRows))
        if (const cv::Rect bars = BarsFromMarks(picture, marked, *alongRows); bars.area() > 0)
            hit.points = {{bars.x, bars.y}, {bars.br().x, bars.y}, {bars.br().x, bars.br().y}, {bars.x, bars.br().y}};
    return hit;
}

}  // namespace

void ScanGrayImage(std::uint32_t width, std::uint32_t height, const void* pixels,
                   const std::function<void(const SymbolHit&)>& action)
{
    const ZbarImage image(zbar::zbar_image_create());
    if (!image)
        return;  // out of memory: a scan that finds nothing
    if (width != 0 && height != 0)
        zbar::zbar_image_set_size(image.get(), width, height);
    zbar::zbar_image_set_format(image.get(), kGray8);
    // A product past 32 bits would hand ZBar a length shorter than the picture it reads.
    const std::uint64_t pixelCount = std::uint64_t{width} * height;
    const bool hasPixels = pixels != nullptr && pixelCount != 0 && pixelCount <= UINT32_MAX;
    if (hasPixels)
        zbar::zbar_image_set_data(image.get(), pixels, static_cast<unsigned long>(pixelCount), KeepPixels);

    const ZbarScanner scanner(zbar::zbar_image_scanner_create());
    if (!scanner)
        return;
    // Neither setting can fail for these symbologies; the results say nothing more.
    zbar::zbar_image_scanner_set_config(scanner.get(), zbar::ZBAR_NONE, zbar::ZBAR_CFG_ENABLE, 1);
    // QR data raw: ZBar's guess of its text encoding is often wrong; the caller chooses.
    zbar::zbar_image_scanner_set_config(scanner.get(), zbar::ZBAR_QRCODE, zbar::ZBAR_CFG_BINARY, 1);

    // ZBar reads a sized image without pixels from address zero: such a picture holds nothing.
    if (!hasPixels || zbar::zbar_scan_image(scanner.get(), image.get()) <= 0)
        return;

    // OpenCV only reads through it; a line too long for it places no bars.
    const bool addressable = width <= INT_MAX && height <= INT_MAX;
    const cv::Mat picture = addressable ? cv::Mat(static_cast<int>(height), static_cast<int>(width), CV_8UC1,
                                                  const_cast<void*>(pixels))
                                        : cv::Mat();
    const zbar::zbar_symbol_set_t* const symbols = zbar::zbar_image_get_symbols(image.get());
    if (symbols == nullptr)
        return;
    zbar::zbar_symbol_set_ref(symbols, 1);
    const ZbarSymbolSetRef held(symbols);
    for (const zbar::zbar_symbol_t* symbol = zbar::zbar_symbol_set_first_symbol(symbols); symbol != nullptr;
         symbol = zbar::zbar_symbol_next(symbol))
        action(HitOf(symbol, picture));
}
