#pragma once
// Loading one dropped file for the scan.

#include <opencv2/core/mat.hpp>

#include <string>

// The file named by narrowPath as one 8-bit gray channel, rows without gaps, whatever its
// own colour layout. An empty picture when there is none to be had: the file is missing or
// unreadable, OpenCV cannot decode it, or it is no regular file at all (symbolic links are
// followed). Such files are never opened, since reading a named pipe or a device could
// block the caller for ever. Never throws for anything found in the file.
cv::Mat LoadDroppedPicture(const std::string& narrowPath);
