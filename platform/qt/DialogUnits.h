// Dialog units as Windows computes them from a dialog's font: a horizontal unit is a quarter of
// the average character width, a vertical unit an eighth of the character height.
#pragma once

#include <QFont>
#include <QRect>

namespace platform {

class DialogUnits
{
public:
    DialogUnits(int baseX, int baseY) : m_cx(baseX), m_cy(baseY) {}
    // cx = (width of "A-Za-z" / 26 + 1) / 2, cy = ascent + descent of the font.
    static DialogUnits FromFont(const QFont& font);

    int BaseX() const { return m_cx; }
    int BaseY() const { return m_cy; }
    // Pixels for dialog units, rounded as MulDiv rounds (half away from zero).
    int X(int dlu) const { return MulDiv(dlu, m_cx, 4); }
    int Y(int dlu) const { return MulDiv(dlu, m_cy, 8); }
    // Each of x, y, width and height converted on its own, as dialog creation does.
    QRect Map(int x, int y, int cx, int cy) const { return QRect(X(x), Y(y), X(cx), Y(cy)); }

    static int MulDiv(int number, int numerator, int denominator);

private:
    int m_cx;
    int m_cy;
};

} // namespace platform
