#pragma once
// Which of ZBar's symbologies are linear, and so cross-checked before a read is believed.

#include "decode/SymbolHit.h"

#include <optional>
#include <string_view>

// True for ZBar's names of one-dimensional symbologies (EAN-13, CODE-128, Codabar...), whose
// checks let a misread through far more often than a QR code's error correction does; false
// for its two-dimensional ones ("QR-Code", "PDF417", "SQ-Code").
bool IsLinear(std::string_view typeName);

// True for EAN's two- and five-digit add-ons: separate symbols printed beside an EAN-13 or
// UPC (a book's price), which ZBar reports on their own and no path takes.
bool IsAddOn(std::string_view typeName);

// Names thirteen EAN digits as ZBar does by their prefix: a book number ("ISBN-13", 978 and
// 979), a UPC-A in EAN-13's form ("UPC-A", its twelve digits without the leading 0), or
// "EAN-13".
void NameEan13(SymbolHit& symbol);

// The main symbol of ZBar's "COMPOSITE", which is how it reports an EAN-13 or a UPC-A with a
// price add-on: the main symbol's digits with the add-on's two or five glued on, and no place.
// Named and worded as ZBar gives that symbol alone; nullopt for any other composite.
std::optional<SymbolHit> MainSymbolOf(const SymbolHit& composite);
