#include "platform/qt/QtFonts.h"

#include <QStringList>

namespace platform {

QString MapFaceName(const std::string& face)
{
    if (face == "MS UI Gothic" || face == "MS Shell Dlg" || face == "MS Shell Dlg 2")
        return QStringLiteral("IPAPGothic");
    if (face == "Arial")
        return QStringLiteral("Liberation Sans");
    return QString::fromUtf8(face.data(), static_cast<qsizetype>(face.size()));
}

QFont MakePointFont(const std::string& face, int tenthsOfPoint)
{
    QFont font(MapFaceName(face));
    font.setPointSizeF(tenthsOfPoint / 10.0);
    // Named explicitly: a missing face should fall back by fontconfig's rules, not Qt's
    // guess at a "similar" style.
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QFont EditFont(const QFont& dialogFont)
{
    QFont font = dialogFont;
    QStringList families = dialogFont.families();
    if (families.isEmpty())
        families.append(dialogFont.family());
    // Characters the Latin face lacks (all the Japanese ones) still come from the dialog face.
    families.prepend(QStringLiteral("Liberation Sans"));
    font.setFamilies(families);
    return font;
}

} // namespace platform
