// When two engines' reads of a look are believed: one table of made-up reads, each with what
// a closer look at the place would find.

#include "decode/AcceptLists.h"
#include "decode/CrossCheck.h"

#include <gtest/gtest.h>

namespace {

// A read over the rectangle x..x+200, y..y+40, as either engine traces a barcode.
SymbolHit At(int x, int y, const char* type, const char* data)
{
    return {type, data, {{x, y}, {x + 200, y}, {x + 200, y + 40}, {x, y + 40}}};
}
ZxingSymbol Zx(SymbolHit symbol, bool namesItsEncoding = false)
{
    return {std::move(symbol), namesItsEncoding};
}

std::vector<std::string> Texts(const std::vector<SymbolHit>& symbols)
{
    std::vector<std::string> texts;
    for (const SymbolHit& symbol : symbols)
        texts.push_back(symbol.typeName + ":" + symbol.data);
    return texts;
}

}  // namespace

TEST(CrossCheck, ReportsALinearReadOnlyWhenNothingContradictsIt)
{
    const SymbolHit ean = At(10, 10, "EAN-13", "4901234567894");
    const SymbolHit misread = At(12, 30, "EAN-13", "4901234561234");
    const SymbolHit upc = At(8, 20, "UPC-A", "036000291452");
    const SymbolHit codabar = At(10, 100, "Codabar", "A212839.76886B");
    const SymbolHit code128 = At(10, 100, "CODE-128", "LOT-42");
    // Read wrong along a few scan lines inside that EAN.
    const SymbolHit alongAFewLines{"EAN-13", "4901234561234", {{12, 20}, {208, 20}, {208, 22}, {12, 22}}};
    // Ended early at a character misread as a stop: its bars go on past it.
    const SymbolHit endedEarly = At(10, 100, "Codabar", "A212B");
    const EngineReads none;
    const BarsSay unknown = BarsSay::Unknown;
    const struct {
        const char* what;
        EngineReads reads;
        std::vector<EngineReads> closer;  // what the closer looks at the place find, way by way
        BarsSay bars;                     // what an EAN's bars say of its digits
        std::vector<std::string> reported;
        int closerLooks;
    } rows[] = {
        {"both alike: at once", {{ean}, {Zx(ean)}}, {}, unknown, {"EAN-13:4901234567894"}, 0},
        {"each its own text: held back", {{misread}, {Zx(ean)}}, {none}, unknown, {}, 1},
        {"an EAN-13 against a UPC-A: held back", {{ean}, {Zx(upc)}}, {{{ean}, {Zx(upc)}}, none}, unknown, {}, 2},
        {"settled by both in a closer look", {{misread}, {Zx(ean)}}, {none, {{ean}, {Zx(ean)}}}, unknown,
         {"EAN-13:4901234567894"}, 2},
        {"one engine, confirmed by the other closer", {{}, {Zx(codabar)}}, {{{codabar}, {}}}, unknown,
         {"Codabar:A212839.76886B"}, 1},
        {"zxing-cpp alone, in two closer looks", {{}, {Zx(code128)}}, {{{}, {Zx(code128)}}, {{}, {Zx(code128)}}},
         unknown, {"CODE-128:LOT-42"}, 2},
        {"ZBar alone on a Code 128, however often: it drops Latin-1", {{code128}, {}},
         {{{code128}, {}}, {{code128}, {}}, {{code128}, {}}}, unknown, {}, 3},
        {"a text read inside a symbol both read is no second symbol, even once both read it",
         {{ean, alongAFewLines}, {Zx(ean)}},
         {{{ean, alongAFewLines}, {Zx(ean), Zx(alongAFewLines)}}, {{ean}, {Zx(ean)}}}, unknown,
         {"EAN-13:4901234567894"}, 2},
        {"zxing-cpp's Codabar ended early is no evidence against ZBar's whole one", {{codabar}, {Zx(endedEarly)}},
         {{{codabar}, {Zx(endedEarly)}}, {{codabar}, {}}}, unknown, {"Codabar:A212839.76886B"}, 2},
        {"...nor shown, however often", {{}, {Zx(endedEarly)}}, {{{}, {Zx(endedEarly)}}, {{}, {Zx(endedEarly)}}},
         unknown, {}, 0},
        {"ZBar alone on an EAN whose bars are its digits", {{ean}, {}}, {}, BarsSay::Fits, {"EAN-13:4901234567894"}, 0},
        {"both alike on an EAN whose bars are other digits", {{ean}, {Zx(ean)}}, {}, BarsSay::Misfits, {}, 0},
        {"ZBar's FNC4 loss is the same symbol, in zxing-cpp's text",
         {{At(0, 0, "CODE-128", "Seqor Ls")}, {Zx(At(0, 5, "CODE-128", "Señor Ló"))}}, {}, unknown,
         {"CODE-128:Señor Ló"}, 0},
        {"...found in a closer look, ZBar alone on it at first",
         {{At(0, 0, "CODE-128", "Seqor Ls")}, {}},
         {{{At(0, 0, "CODE-128", "Seqor Ls")}, {Zx(At(0, 5, "CODE-128", "Señor Ló"))}}}, unknown,
         {"CODE-128:Señor Ló"}, 1},
        {"two symbols side by side, each read by both", {{ean, At(10, 60, "CODE-128", "LOT-42")},
         {Zx(At(10, 60, "CODE-128", "LOT-42")), Zx(ean)}}, {}, unknown, {"EAN-13:4901234567894", "CODE-128:LOT-42"}, 0},
        {"a book's price add-on contradicts nothing",
         {{At(10, 10, "ISBN-13", "9784873115658"), At(215, 10, "EAN-5", "51299")},
          {Zx(At(10, 10, "ISBN-13", "9784873115658"))}}, {}, unknown, {"ISBN-13:9784873115658"}, 0},
        {"ZBar's book number with its add-on glued on, without a place, is its read of the book number",
         {{SymbolHit{"COMPOSITE", "978487311565851299", {}}}, {Zx(At(10, 10, "ISBN-13", "9784873115658"))}}, {},
         unknown, {"ISBN-13:9784873115658"}, 0},
        {"...reported as the book number where it is placed and its bars fit",
         {{SymbolHit{"COMPOSITE", "978487311565851299", At(10, 10, "", "").points}}, {}}, {}, BarsSay::Fits,
         {"ISBN-13:9784873115658"}, 0},
        {"...and one that says otherwise contradicts it wherever it is",
         {{SymbolHit{"COMPOSITE", "978487311111151299", {}}}, {Zx(At(10, 10, "ISBN-13", "9784873115658"))}}, {none},
         unknown, {}, 1},
        {"ZBar's two alike both count", {{ean, At(10, 300, "EAN-13", "4901234567894")}, {Zx(ean)}}, {}, unknown,
         {"EAN-13:4901234567894", "EAN-13:4901234567894"}, 0},
        {"QR codes as read; ZBar's takes the text zxing-cpp reads as the code names it",
         {{At(0, 0, "QR-Code", "ﾖﾐﾎﾄ"), At(0, 300, "QR-Code", "zbar only")},
          {Zx(At(2, 2, "QR-Code", "中文"), true), Zx(At(300, 0, "QR-Code", "zxing only"))}},
         {}, unknown, {"QR-Code:中文", "QR-Code:zbar only", "QR-Code:zxing only"}, 0},
    };
    for (const auto& row : rows) {
        int closerLooks = 0;
        const LookAgain again{[&](const cv::Rect&, int way) -> std::optional<EngineReads> {
                                  if (static_cast<std::size_t>(way) >= row.closer.size())
                                      return std::nullopt;
                                  ++closerLooks;
                                  return row.closer[static_cast<std::size_t>(way)];
                              },
                              [&](const cv::Rect&, std::string_view) { return row.bars; },
                              [&](const cv::Rect&, std::size_t characters) {
                                  return characters == endedEarly.data.size();
                              }};
        EXPECT_EQ(Texts(CrossCheck(row.reads, CAMERA_TYPES, again)), row.reported) << row.what;
        EXPECT_EQ(closerLooks, row.closerLooks) << row.what;
    }
}
