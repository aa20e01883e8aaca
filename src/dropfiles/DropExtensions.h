#pragma once
// Which dropped files are taken for pictures: decided by the end of the path alone.

#include <QString>

#include <array>
#include <cstddef>
#include <string_view>

// The accepted extensions, dot included: the eleven of the first release in their order, then
// ".tif" (a TIFF as ".tiff" is), then the newer kinds. Compared without regard to case, since
// cameras and screenshot tools write ".JPG" and ".PNG"; ".jpe" is still not among them.
inline constexpr std::array<std::u16string_view, 19> DROP_EXTENSIONS{
    u".png", u".bmp",  u".jpeg", u".jpg",  u".jp2",  u".pbm", u".pgm",  u".ppm", u".ras", u".tiff",
    u".gif", u".tif",  u".webp", u".avif", u".heic", u".heif", u".svg", u".svgz", u".pdf"};
// Where the newer kinds start in DROP_EXTENSIONS: a file named so that cannot be read gets a
// notice; one of the kinds before passes in silence, as it always did.
inline constexpr std::size_t kFirstNewerExtension = 12;

// True when the text from the last "." of the whole path to its end is one of DROP_EXTENSIONS,
// in any case.
// The dot may lie in a folder name (then nothing matches); a path with no dot, or whose last
// dot is its first character, has no extension at all.
bool AcceptedExtension(const QString& path);

// True when that extension is one of the newer kinds (from kFirstNewerExtension on).
bool NewerKindExtension(const QString& path);
