#pragma once
// Inflating a gzip stream (an SVGZ) within a limit: a small file may inflate to gigabytes.

#include "dropfiles/RegularFile.h"

#include <QByteArrayView>

// The data of the gzip stream held in gzip: OverLimits as soon as it passes maxBytes, Broken
// when the stream is damaged or cut short.
Contents Gunzip(QByteArrayView gzip, qint64 maxBytes);
