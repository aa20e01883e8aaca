#include "decode/CrossCheck.h"

#include "decode/AcceptLists.h"
#include "decode/SymbolPlace.h"
#include "decode/Symbologies.h"

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <utility>

namespace {

enum class Engine { Zbar, Zxing };
struct Read {
    Engine engine;
    SymbolHit symbol;
};
using Key = std::pair<std::string, std::string>;  // type name and text: one reading of a symbol

Key KeyOf(const SymbolHit& symbol)
{
    return {symbol.typeName, symbol.data};
}

// The linear reads that count as evidence, both engines'. ZBar's read of an EAN-13 or UPC-A
// with a price add-on counts as its read of that symbol.
std::vector<Read> LinearReads(const EngineReads& reads)
{
    std::vector<Read> linear;
    for (const SymbolHit& symbol : reads.zbar) {
        if (std::optional<SymbolHit> main = MainSymbolOf(symbol))
            linear.push_back({Engine::Zbar, std::move(*main)});
        else if (IsLinear(symbol.typeName) && !IsAddOn(symbol.typeName))
            linear.push_back({Engine::Zbar, symbol});
    }
    for (const ZxingSymbol& found : reads.zxing)
        if (IsLinear(found.symbol.typeName) && !IsAddOn(found.symbol.typeName))
            linear.push_back({Engine::Zxing, found.symbol});
    return linear;
}

bool ReadByBoth(const std::vector<Read>& reads, const Key& key)
{
    const auto by = [&](Engine engine) {
        return std::any_of(reads.begin(), reads.end(),
                           [&](const Read& read) { return read.engine == engine && KeyOf(read.symbol) == key; });
    };
    return by(Engine::Zbar) && by(Engine::Zxing);
}

// A read without a place (ZBar gives none for an EAN with its add-on) may stand anywhere.
bool MayBeAtPlaceOf(const SymbolHit& one, const SymbolHit& other)
{
    return one.points.empty() || other.points.empty() || SamePlace(one, other);
}

// Whether a reading other than key lies where key was read, that only one engine made. Two
// readings that both engines made are two symbols side by side, as on a shipping label.
bool Contradicted(const std::vector<Read>& reads, const Key& key)
{
    for (const Read& other : reads) {
        if (KeyOf(other.symbol) == key || ReadByBoth(reads, KeyOf(other.symbol)))
            continue;
        for (const Read& read : reads)
            if (KeyOf(read.symbol) == key && MayBeAtPlaceOf(read.symbol, other.symbol))
                return true;
    }
    return false;
}

bool Agreed(const std::vector<Read>& reads, const Key& key)
{
    return ReadByBoth(reads, key) && !Contradicted(reads, key);
}

// The reads of evidence at the place of any of site's reads.
std::vector<Read> AtPlaceOf(const std::vector<Read>& site, const std::vector<Read>& evidence)
{
    std::vector<Read> there;
    for (const Read& read : evidence)
        if (std::any_of(site.begin(), site.end(), [&](const Read& one) { return MayBeAtPlaceOf(one.symbol, read.symbol); }))
            there.push_back(read);
    return there;
}

cv::Rect Around(const std::vector<Read>& reads)
{
    cv::Rect around;
    for (const Read& read : reads) {
        const cv::Rect place = PlaceOf(read.symbol);
        if (place.area() > 0)
            around = around.area() > 0 ? (around | place) : place;
    }
    return around;
}

// The accepted readings believed: those both engines agree on at once, then those a closer
// look at their place settles or confirms, one closer look per place.
std::vector<Key> Believed(const std::vector<Read>& reads, std::span<const std::string_view> accepted,
                          const CloserLook& lookCloser)
{
    std::vector<Key> believed;
    std::vector<Key> doubted;
    for (const Read& read : reads) {
        const Key key = KeyOf(read.symbol);
        if (!IsAccepted(key.first, accepted) || std::find(believed.begin(), believed.end(), key) != believed.end() ||
            std::find(doubted.begin(), doubted.end(), key) != doubted.end())
            continue;
        (Agreed(reads, key) ? believed : doubted).push_back(key);
    }
    std::vector<Key> settled;
    for (std::size_t i = 0; i < doubted.size(); ++i) {
        if (std::find(settled.begin(), settled.end(), doubted[i]) != settled.end())
            continue;
        // The doubted reading's place, with whatever was read there.
        std::vector<Read> site;
        for (const Read& read : reads)
            if (KeyOf(read.symbol) == doubted[i])
                site.push_back(read);
        site = AtPlaceOf(site, reads);
        const std::vector<Read> closer = AtPlaceOf(site, LinearReads(lookCloser(Around(site))));
        std::vector<Read> all = site;
        all.insert(all.end(), closer.begin(), closer.end());
        for (const Read& read : site) {
            const Key key = KeyOf(read.symbol);
            if (std::find(settled.begin(), settled.end(), key) != settled.end() ||
                std::find(doubted.begin(), doubted.end(), key) == doubted.end())
                continue;
            settled.push_back(key);
            if (Agreed(closer, key) || Agreed(all, key))
                believed.push_back(key);
        }
    }
    return believed;
}

// Code points of UTF-8 text; nullopt for anything but well-formed sequences of up to two bytes,
// which is all Latin-1 needs.
std::optional<std::u32string> Latin1CodePoints(const std::string& text)
{
    std::u32string points;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            points += byte;
            continue;
        }
        if ((byte & 0xE0) != 0xC0 || i + 1 >= text.size())
            return std::nullopt;
        const auto next = static_cast<unsigned char>(text[++i]);
        if ((next & 0xC0) != 0x80)
            return std::nullopt;
        points += static_cast<char32_t>(((byte & 0x1FU) << 6) | (next & 0x3FU));
    }
    return points;
}

}  // namespace

bool ZbarLostLatin1(const std::string& zbarText, const std::string& zxingText)
{
    constexpr char32_t kHighHalf = 0x80;
    const std::optional<std::u32string> points = Latin1CodePoints(zxingText);
    if (!points || points->size() != zbarText.size() ||
        std::none_of(points->begin(), points->end(), [](char32_t point) { return point >= kHighHalf; }))
        return false;
    for (std::size_t i = 0; i < zbarText.size(); ++i)
        if (static_cast<unsigned char>(zbarText[i]) != ((*points)[i] >= kHighHalf ? (*points)[i] - kHighHalf : (*points)[i]))
            return false;
    return true;
}

std::vector<SymbolHit> CrossCheck(const EngineReads& reads, std::span<const std::string_view> accepted,
                                  const CloserLook& lookCloser)
{
    // ZBar's text of a symbol whose standard it does not wholly follow gives way to zxing-cpp's.
    EngineReads taken = reads;
    for (SymbolHit& symbol : taken.zbar) {
        for (const ZxingSymbol& found : taken.zxing) {
            const bool lostLatin1 = symbol.typeName == "CODE-128" && found.symbol.typeName == symbol.typeName &&
                                    ZbarLostLatin1(symbol.data, found.symbol.data);
            const bool lostEncoding = symbol.typeName == "QR-Code" && found.symbol.typeName == symbol.typeName &&
                                      found.namesItsEncoding;
            if ((lostLatin1 || lostEncoding) && SamePlace(symbol, found.symbol)) {
                symbol.data = found.symbol.data;
                break;
            }
        }
    }

    const std::vector<Key> believed = Believed(LinearReads(taken), accepted, lookCloser);
    const auto isBelieved = [&](const SymbolHit& symbol) {
        return IsAccepted(symbol.typeName, accepted) &&
               (!IsLinear(symbol.typeName) ||
                std::find(believed.begin(), believed.end(), KeyOf(symbol)) != believed.end());
    };
    std::vector<SymbolHit> reported;
    // Every symbol ZBar reports counts, two alike in one picture too (two copies of a leaflet).
    for (const SymbolHit& symbol : taken.zbar)
        if (isBelieved(symbol))
            reported.push_back(symbol);
    for (const ZxingSymbol& found : taken.zxing) {
        const bool known = std::any_of(reported.begin(), reported.end(),
                                       [&](const SymbolHit& symbol) { return KeyOf(symbol) == KeyOf(found.symbol); });
        if (!known && isBelieved(found.symbol))
            reported.push_back(found.symbol);
    }
    return reported;
}
