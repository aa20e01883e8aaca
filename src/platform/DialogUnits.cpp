#include "platform/DialogUnits.h"

#include <QFont>
#include <QFontMetrics>

namespace {
const QString kAlphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");

// a * b / c rounded half away from zero, as the template conversion does it.
int MulDivRounded(int a, int b, int c)
{
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}
}  // namespace

DialogBaseUnits BaseUnitsOf(const QFont& font)
{
    const QFontMetrics metrics(font);
    const int alphabetWidth = metrics.horizontalAdvance(kAlphabet);
    return {(alphabetWidth / 26 + 1) / 2, metrics.height()};
}

int DluToPixelsX(int dluX, DialogBaseUnits base)
{
    return MulDivRounded(dluX, base.x, 4);
}

int DluToPixelsY(int dluY, DialogBaseUnits base)
{
    return MulDivRounded(dluY, base.y, 8);
}

QRect DluToPixels(const QRect& dluRect, DialogBaseUnits base)
{
    return {DluToPixelsX(dluRect.x(), base), DluToPixelsY(dluRect.y(), base),
            DluToPixelsX(dluRect.width(), base), DluToPixelsY(dluRect.height(), base)};
}
