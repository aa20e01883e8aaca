#pragma once
// Which of ZBar's symbologies are linear, and so cross-checked before a read is believed.

#include <string_view>

// True for ZBar's names of one-dimensional symbologies (EAN-13, CODE-128, Codabar...), whose
// checks let a misread through far more often than a QR code's error correction does; false
// for its two-dimensional ones ("QR-Code", "PDF417", "SQ-Code").
bool IsLinear(std::string_view typeName);

// True for EAN's two- and five-digit add-ons: separate symbols printed beside an EAN-13 or
// UPC (a book's price), which ZBar reports on their own and no path takes.
bool IsAddOn(std::string_view typeName);
