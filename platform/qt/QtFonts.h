// Fonts named by the templates and the program (Windows face names) mapped to installed ones.
#pragma once

#include <QFont>
#include <QString>
#include <string>

namespace platform {

// The installed family standing in for a Windows face name: the Japanese dialog faces become
// IPAPGothic, Arial becomes the metric-compatible Liberation Sans; other names pass through.
QString MapFaceName(const std::string& face);

// A font of the mapped face at a size in tenths of a point, as CreatePointFont makes it.
QFont MakePointFont(const std::string& face, int tenthsOfPoint);

// The font of edit fields: the dialog's font with a Latin face in front of it. The Japanese
// dialog face draws the backslash as a yen sign, and in arguments and paths typed on Linux a
// backslash is a backslash (an escape, a character of a name) that the user must see as such.
QFont EditFont(const QFont& dialogFont);

} // namespace platform
