#pragma once
// One symbol as the decoder reports it.

#include <string>
#include <utility>
#include <vector>

struct SymbolHit {
    std::string typeName;                        // the decoder's name for the symbology, e.g. "QR-Code"
    std::string data;                            // the decoded bytes, zero bytes included
    std::vector<std::pair<int, int>> points;     // outline points (x, y) in picture pixels, decoder order
};
