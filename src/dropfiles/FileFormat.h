#pragma once
// What a dropped file holds, told by its first bytes: which reader decodes it.

#include <QByteArrayView>

// How many of a file's first bytes SniffFormat needs: a PDF's header may come anywhere in
// its first kilobyte.
inline constexpr qsizetype kSniffSize = 1024;

enum class FileFormat {
    OpenCvPicture,  // PNG, JPEG, BMP, PNM, Sun raster, JPEG 2000: OpenCV reads it, one page
    Tiff,           // OpenCV too, every page
    Gif,            // Qt, every frame
    WebP,           // OpenCV when still, Qt when animated
    Heif,           // HEIC, HEIF, AVIF: libheif
    Pdf,            // Poppler
    Svg,            // XML, for Qt SVG
    GzipSvg,        // gzip, an SVGZ once inflated
    Unknown,        // none of these: left to OpenCV for the older kinds, as always
};

// The format of the content that starts with head (the first kSniffSize bytes, fewer when the file
// is shorter).
FileFormat SniffFormat(QByteArrayView head);
