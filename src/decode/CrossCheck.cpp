#include "decode/CrossCheck.h"

#include "decode/AcceptLists.h"
#include "decode/SymbolPlace.h"
#include "decode/Symbologies.h"
#include "platform/Charset.h"

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <tuple>
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

// The characters a Codabar or Code 39 read spans, start and stop included (zxing-cpp gives
// Codabar's, and leaves out Code 39's asterisks); nullopt for symbologies with a check
// character, which a read ended early would fail.
std::optional<std::size_t> CharactersSpanned(const SymbolHit& symbol)
{
    if (symbol.typeName == "Codabar")
        return symbol.data.size();
    if (symbol.typeName == "CODE-39")
        return symbol.data.size() + 2;
    return std::nullopt;
}

// The linear reads that count as evidence, both engines'. ZBar's read of an EAN-13 or UPC-A
// with a price add-on counts as its read of that symbol. A zxing-cpp read ended early, its
// bars going on past it, is left out.
std::vector<Read> LinearReads(const EngineReads& reads, const LookAgain& again)
{
    std::vector<Read> linear;
    for (const SymbolHit& symbol : reads.zbar) {
        if (std::optional<SymbolHit> main = MainSymbolOf(symbol))
            linear.push_back({Engine::Zbar, std::move(*main)});
        else if (IsLinear(symbol.typeName) && !IsAddOn(symbol.typeName))
            linear.push_back({Engine::Zbar, symbol});
    }
    for (const ZxingSymbol& found : reads.zxing) {
        if (!IsLinear(found.symbol.typeName) || IsAddOn(found.symbol.typeName))
            continue;
        const std::optional<std::size_t> characters = CharactersSpanned(found.symbol);
        if (characters && again.barsGoOn && again.barsGoOn(PlaceOf(found.symbol), *characters))
            continue;
        linear.push_back({Engine::Zxing, found.symbol});
    }
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

// Whether a reading other than key lies where key was read. Two readings that both engines
// made are two symbols side by side, as on a shipping label, unless one lies within the other:
// one symbol, read right along most of its bars and wrong along a few.
bool Contradicted(const std::vector<Read>& reads, const Key& key)
{
    for (const Read& other : reads) {
        if (KeyOf(other.symbol) == key)
            continue;
        const bool agreed = ReadByBoth(reads, KeyOf(other.symbol));
        for (const Read& read : reads)
            if (KeyOf(read.symbol) == key && (agreed ? OneWithinOther(read.symbol, other.symbol)
                                                     : MayBeAtPlaceOf(read.symbol, other.symbol)))
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

// Whether one engine, reading a text again in another closer look, may be believed alone for
// the symbology: zxing-cpp for every one; ZBar for Codabar and Code 39 only, since its
// misreads of EAN and UPC bars grown by ink spread come back in every look, and its Code 128
// drops Latin-1 characters (FNC4) every time.
bool TrustedAlone(Engine engine, std::string_view typeName)
{
    return engine == Engine::Zxing || typeName == "Codabar" || typeName == "CODE-39";
}
constexpr int kLooksAlone = 2;

bool OfEanFamily(std::string_view typeName)
{
    return typeName == "EAN-13" || typeName == "ISBN-13" || typeName == "UPC-A";
}

// The thirteen digits an EAN-family read stands for: a UPC-A is an EAN-13 with a leading 0.
std::string Ean13Digits(const Key& key)
{
    return key.first == "UPC-A" ? "0" + key.second : key.second;
}

// zxing-cpp's text, among evidence at the place of ZBar's Code 128 read (anywhere, for a read
// without points), that differs from ZBar's only by the Latin-1 characters ZBar cannot read.
std::optional<std::string> ZxingsLatin1For(const SymbolHit& zbarRead, const std::vector<Read>& evidence)
{
    if (zbarRead.typeName != "CODE-128")
        return std::nullopt;
    for (const Read& other : evidence)
        if (other.engine == Engine::Zxing && other.symbol.typeName == zbarRead.typeName &&
            ZbarLostLatin1(zbarRead.data, other.symbol.data) && MayBeAtPlaceOf(zbarRead, other.symbol))
            return other.symbol.data;
    return std::nullopt;
}

// ZBar's Code 128 reads that differ from a zxing-cpp read at their place only by the Latin-1
// characters ZBar cannot read take zxing-cpp's text: the two are one reading of the symbol.
void TakeZxingsLatin1(std::vector<Read>& reads, const std::vector<Read>& evidence)
{
    for (Read& read : reads)
        if (read.engine == Engine::Zbar)
            if (std::optional<std::string> text = ZxingsLatin1For(read.symbol, evidence))
                read.symbol.data = std::move(*text);
}

std::vector<Read> ReadsOf(const std::vector<Read>& reads, const Key& key)
{
    std::vector<Read> of;
    for (const Read& read : reads)
        if (KeyOf(read.symbol) == key)
            of.push_back(read);
    return of;
}

// Believes or doubts each accepted linear reading of a look, looking closer where it must.
class Belief {
public:
    Belief(std::vector<Read> reads, const LookAgain& again) : reads_(std::move(reads)), again_(again) {}

    // The text to report for the reading key, or nullopt when it is not believed: key's own, or
    // for ZBar's Code 128 text zxing-cpp's with the Latin-1 characters ZBar lost, once a closer
    // look reads that where ZBar's is.
    std::optional<std::string> Believes(Key key)
    {
        const std::vector<Read> own = ReadsOf(reads_, key);
        // Measured once: the measure costs more than the rest of the judgement.
        const BarsSay bars = OfEanFamily(key.first) ? Bars(own, key) : BarsSay::Unknown;
        if (bars == BarsSay::Misfits)
            return std::nullopt;
        if (Agreed(reads_, key))
            return key.second;
        const std::vector<Read> site = AtPlaceOf(own, reads_);
        // Its bars measured: a third reading, which needs no engine.
        if (bars == BarsSay::Fits && !Contradicted(site, key))
            return key.second;
        std::vector<Read> evidence = site;
        std::vector<Engine> alone;  // an engine's reads of key in the closer looks, one per look
        for (int way = 0;; ++way) {
            const std::optional<std::vector<Read>> closer = Closer(Around(site), way);
            if (!closer)
                return std::nullopt;
            std::vector<Read> there = AtPlaceOf(site, *closer);
            evidence.insert(evidence.end(), there.begin(), there.end());
            TakeZxingsLatin1(there, evidence);
            TakeZxingsLatin1(evidence, evidence);
            if (std::optional<std::string> text = ZxingsLatin1For({key.first, key.second, {}}, evidence))
                key.second = std::move(*text);
            if (Agreed(there, key) || Agreed(evidence, key))
                return key.second;
            for (const Engine engine : {Engine::Zbar, Engine::Zxing})
                if (TrustedAlone(engine, key.first) && std::any_of(there.begin(), there.end(), [&](const Read& read) {
                        return read.engine == engine && KeyOf(read.symbol) == key;
                    }))
                    alone.push_back(engine);
            const bool seenAlone = std::count(alone.begin(), alone.end(), Engine::Zbar) >= kLooksAlone ||
                                   std::count(alone.begin(), alone.end(), Engine::Zxing) >= kLooksAlone;
            if (seenAlone && !Contradicted(evidence, key))
                return key.second;
        }
    }

private:
    BarsSay Bars(const std::vector<Read>& own, const Key& key) const
    {
        const cv::Rect place = Around(own);
        if (place.area() == 0 || !again_.eanBars)
            return BarsSay::Unknown;
        return again_.eanBars(place, Ean13Digits(key));
    }

    // A closer look's linear reads, each look of a place once.
    std::optional<std::vector<Read>> Closer(const cv::Rect& place, int way)
    {
        const auto id = std::make_tuple(place.x, place.y, place.width, place.height, way);
        if (const auto seen = looked_.find(id); seen != looked_.end())
            return seen->second;
        std::optional<std::vector<Read>> found;
        if (place.area() > 0 && again_.closer)
            if (const std::optional<EngineReads> reads = again_.closer(place, way))
                found = LinearReads(*reads, again_);
        looked_.emplace(id, found);
        return found;
    }

    std::vector<Read> reads_;
    const LookAgain& again_;
    std::map<std::tuple<int, int, int, int, int>, std::optional<std::vector<Read>>> looked_;
};

// A zxing-cpp QR read at the place of ZBar's.
const ZxingSymbol* ZxingQrAt(const SymbolHit& zbarQr, const std::vector<ZxingSymbol>& zxing)
{
    const auto found = std::find_if(zxing.begin(), zxing.end(), [&](const ZxingSymbol& one) {
        return one.symbol.typeName == zbarQr.typeName && SamePlace(one.symbol, zbarQr);
    });
    return found != zxing.end() ? &*found : nullptr;
}

// The text of a QR code ZBar read, from its bytes. Bytes that are UTF-8 are its text, unless
// zxing-cpp, reading it too, follows an encoding the code names (ZBar lacks Hanzi mode, and
// hands some ECIs on raw). Other bytes leave the encoding open, and only zxing-cpp tells
// whether the code names one: the code takes the text zxing-cpp reads at its place, looking
// closer if need be; nullopt when it reads none there.
std::optional<std::string> QrText(const SymbolHit& zbarQr, const std::vector<ZxingSymbol>& zxing, const LookAgain& again)
{
    const bool utf8 = IsValidUtf8(zbarQr.data);
    if (const ZxingSymbol* const found = ZxingQrAt(zbarQr, zxing))
        return found->namesItsEncoding || !utf8 ? found->symbol.data : zbarQr.data;
    if (utf8)
        return zbarQr.data;
    for (int way = 0; again.closer; ++way) {
        const std::optional<EngineReads> closer = again.closer(PlaceOf(zbarQr), way);
        if (!closer)
            break;
        if (const ZxingSymbol* const found = ZxingQrAt(zbarQr, closer->zxing))
            return found->symbol.data;
    }
    return std::nullopt;
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
                                  const LookAgain& again)
{
    // ZBar's text of a symbol whose standard it does not wholly follow gives way to zxing-cpp's.
    EngineReads taken = reads;
    for (SymbolHit& symbol : taken.zbar) {
        for (const ZxingSymbol& found : taken.zxing) {
            const bool lostLatin1 = symbol.typeName == "CODE-128" && found.symbol.typeName == symbol.typeName &&
                                    ZbarLostLatin1(symbol.data, found.symbol.data);
            if (lostLatin1 && SamePlace(symbol, found.symbol)) {
                symbol.data = found.symbol.data;
                break;
            }
        }
    }
    std::erase_if(taken.zbar, [&](SymbolHit& symbol) {
        if (symbol.typeName != "QR-Code")
            return false;
        std::optional<std::string> text = QrText(symbol, taken.zxing, again);
        if (!text)
            return true;
        symbol.data = std::move(*text);
        return false;
    });

    Belief belief(LinearReads(taken, again), again);
    std::map<Key, std::optional<std::string>> judged;
    // The text to report for a symbol, nullopt for none.
    const auto believed = [&](const SymbolHit& symbol) -> std::optional<std::string> {
        if (!IsAccepted(symbol.typeName, accepted))
            return std::nullopt;
        if (!IsLinear(symbol.typeName))
            return symbol.data;
        const Key key = KeyOf(symbol);
        const auto [verdict, first] = judged.try_emplace(key);
        if (first)
            verdict->second = belief.Believes(key);
        return verdict->second;
    };
    std::vector<SymbolHit> reported;
    const auto report = [&](SymbolHit symbol, const std::string& text) {
        symbol.data = text;
        reported.push_back(std::move(symbol));
    };
    // Every symbol ZBar reports counts, two alike in one picture too (two copies of a leaflet);
    // a product code with a price add-on as its main symbol, which the user looks for.
    for (const SymbolHit& read : taken.zbar) {
        const std::optional<SymbolHit> main = MainSymbolOf(read);
        const SymbolHit& symbol = main ? *main : read;
        if (const std::optional<std::string> text = believed(symbol))
            report(symbol, *text);
    }
    for (const ZxingSymbol& found : taken.zxing) {
        const bool known = std::any_of(reported.begin(), reported.end(),
                                       [&](const SymbolHit& symbol) { return KeyOf(symbol) == KeyOf(found.symbol); });
        if (known)
            continue;
        if (const std::optional<std::string> text = believed(found.symbol))
            report(found.symbol, *text);
    }
    return reported;
}
