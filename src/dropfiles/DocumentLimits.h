#pragma once
// How much of a dropped file is read at most, so that a hostile or damaged file costs bounded
// memory and time. The older kinds (PNG, JPEG, ... the first page of a TIFF) keep OpenCV's own
// limits, as they always had.

#include <QtGlobal>

#include <chrono>

inline constexpr qint64 kMebibyte = 1024 * 1024;

// Pages of one PDF, frames of one animation, pages of one TIFF. A document longer than this is
// no sheet of codes; at about a second per A4 page rendered and read, it is already minutes of
// work, and the user is told the rest was left out.
inline constexpr int kMaxPages = 1000;

// Files read whole into memory before they are decoded. A PDF keeps its bytes while its pages
// are read, shared by every thread that renders one; 256 MiB holds a long scanned document.
inline constexpr qint64 kMaxPdfBytes = 256 * kMebibyte;
// A WebP, HEIF or AVIF photo of the largest picture taken below is a few tens of MiB.
inline constexpr qint64 kMaxPictureFileBytes = 128 * kMebibyte;
// An SVG, and an SVGZ once inflated: a drawing with photos embedded as data: URIs stays far
// below; XML past it is a bomb, not a drawing.
inline constexpr qint64 kMaxSvgBytes = 32 * kMebibyte;

// Pixels of one WebP, HEIF or AVIF picture, or of an animation's canvas, checked against what
// the header promises before anything is decoded: 100 Mpx holds every camera photo and a
// 600 dpi A3 scan (70 Mpx); decoding it takes about 400 MB (RGBA) and its gray copy 100 MB.
inline constexpr qint64 kMaxPicturePixels = 100'000'000;

// A PDF page is rendered at this resolution: a code printed with 0.5 mm modules, the smallest
// a label printer makes, gets about 4 pixels per module, enough for both engines; an A4 page
// is then 1654 x 2339 pixels.
inline constexpr double kPdfDotsPerInch = 200;
// A page larger than A3 at that resolution (7.7 Mpx) is rendered at a lower one, so that it
// has at most these many pixels (16 Mpx: 64 MB as Poppler's RGBA, 16 MB in gray) ...
inline constexpr qint64 kMaxPagePixels = 16'000'000;
// ... and no side longer than this, which QImage and Poppler's rasteriser both handle.
inline constexpr int kMaxPageSide = 32'000;
// A page whose drawing takes longer than this (a hostile pattern, millions of paths) is given up.
inline constexpr std::chrono::seconds kMaxPageRenderTime{20};

// An SVG is drawn with its longer side this long, whatever size it names for itself (a nominal
// size says nothing of print: 1e9 px or 10 px are both common): a code across a tenth of a
// drawing, 33 modules with its quiet zone, gets 7 pixels a module; one that fills a drawing
// (qrencode's output), even of 185 modules, gets 13. About an A4 page at kPdfDotsPerInch.
inline constexpr int kSvgLongerSide = 2400;

// Elements of an SVG, counted as drawn: each <use> counts the whole of what it repeats. A QR
// code drawn as one rectangle a module has at most 31 329; a million take Qt SVG a second or
// so. Past it the drawing is a bomb: Qt SVG draws every <use> in full, and 3000 of a group of
// 3000 rectangles, 190 KB of text, took it 7 s; ten times as many, a hundred times as long.
inline constexpr qint64 kMaxSvgElements = 1'000'000;
