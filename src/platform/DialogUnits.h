#pragma once
// Dialog units: the font-relative coordinates that dialog templates are written in.

#include <QRect>

class QFont;

struct DialogBaseUnits {
    int x = 0;  // average character width: of "A..Za..z", halved over 26 and rounded up
    int y = 0;  // the font's line height
};

DialogBaseUnits BaseUnitsOf(const QFont& font);

// px_x = dlu_x * base.x / 4 and px_y = dlu_y * base.y / 8, rounded to the nearest pixel.
int DluToPixelsX(int dluX, DialogBaseUnits base);
int DluToPixelsY(int dluY, DialogBaseUnits base);
QRect DluToPixels(const QRect& dluRect, DialogBaseUnits base);
