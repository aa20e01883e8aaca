#pragma once
// Which dropped files are taken for pictures: decided by the end of the path alone.

#include <QString>

#include <array>
#include <string_view>

// The accepted extensions, dot included, in the order they are tried. Compared without regard
// to case, since cameras and screenshot tools write ".JPG" and ".PNG"; ".tif" and ".jpe" are
// still not among them.
inline constexpr std::array<std::u16string_view, 11> DROP_EXTENSIONS{
    u".png", u".bmp", u".jpeg", u".jpg", u".jp2", u".pbm", u".pgm", u".ppm", u".ras", u".tiff", u".gif"};

// True when the text from the last "." of the whole path to its end is one of DROP_EXTENSIONS,
// in any case.
// The dot may lie in a folder name (then nothing matches); a path with no dot, or whose last
// dot is its first character, has no extension at all.
bool AcceptedExtension(const QString& path);
