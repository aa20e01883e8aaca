#pragma once
// Loading one dropped file for the scan.

#include <opencv2/core/mat.hpp>

#include <cstddef>
#include <string>
#include <string_view>

// The file named by narrowPath as one 8-bit gray channel, rows without gaps, whatever its
// own colour layout; a GIF that OpenCV cannot decode is read by Qt, first frame only. An
// empty picture when there is none to be had: the file is missing or unreadable, neither
// library can decode it, it is no picture that OpenCV may be given (below), or it is no
// regular file at all (symbolic links are followed). Such files are never opened, since
// reading a named pipe or a device could block the caller for ever. Never throws for
// anything found in the file.
cv::Mat LoadDroppedPicture(const std::string& narrowPath);

// How many of a file's first bytes SafeToDecode looks at.
inline constexpr std::size_t kPictureHeadSize = 132;

// False for a file whose first bytes (head; shorter when the file is) would send it to
// OpenCV's DICOM reader: "DICM" at byte 128, and no signature of a decoder that OpenCV
// tries first. That reader (GDCM) aborts the whole process on many damaged files, and no
// accepted extension names a DICOM file.
bool SafeToDecode(std::string_view head);
