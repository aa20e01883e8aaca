#pragma once
// Pictures that Qt or OpenCV has read (the clipboard's, GIF and WebP files) in the form the
// scan takes.

#include <opencv2/core/mat.hpp>

class QImage;

// The picture as one 8-bit gray channel, rows without gaps. Transparent parts count as
// white, as a viewer shows them on a page: a code drawn on a transparent background would
// otherwise vanish into black. A null image gives an empty picture.
cv::Mat GrayPictureFromImage(const QImage& image);

// The same for a picture OpenCV has decoded as it is stored: 8-bit gray, BGR or BGRA (a
// transparent one laid on white likewise). Anything else gives an empty picture.
cv::Mat GrayPictureFromDecoded(const cv::Mat& decoded);
