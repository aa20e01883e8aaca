#pragma once
// The text a symbol is shown and copied as.

#include "decode/SymbolHit.h"

#include <QString>

#include <string>

// The symbol's data up to its first zero byte, through Utf8ToAnsi, read back from the
// character set; empty when the conversion gives nothing.
QString DisplayTextOf(const SymbolHit& symbol);
QString DisplayTextOf(const SymbolHit& symbol, const std::string& charset);
