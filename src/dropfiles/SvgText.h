#pragma once
// An SVG's text made safe for Qt SVG, which loads from disk any file that an <image> names,
// and draws every <use> in full, as often as the file repeats it.

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

struct CleanSvg {
    // The same drawing without references to anything outside it: every href that is neither
    // a "#fragment" nor a "data:" URI is dropped, and with them the DTD, processing
    // instructions (a style sheet's link) and xml:base.
    QByteArray xml;
    // (An <image> of a picture outside the file is left out whole; one inside it named by SVG
    // 2's plain href is renamed xlink:href, the only name Qt SVG reads.)
    // Its elements as drawn, each <use> counting what it repeats; counting stops past
    // kMaxSvgElements.
    qint64 drawnElements = 0;
};

// nullopt when text is no well-formed XML.
std::optional<CleanSvg> CleanSvgText(const QByteArray& text);
