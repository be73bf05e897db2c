// Dialog templates as data: what a backend needs to build a dialog window. Sizes and positions
// are in dialog units, computed from the dialog font as Windows does.
#pragma once

#include <string>
#include <vector>

namespace platform {

enum class ControlKind
{
    Static,     // text label; the counter and the status line are statics too
    Icon,       // static picture showing an icon resource (text holds the icon id)
    Edit,       // single-line edit field
    PushButton, // plain or default push button
    CheckBox,   // automatic check box
    UpDown,     // spin arrows attached to the edit field before it
    CheckList,  // list box drawing a check box in front of each item
};

// Control styles beyond "child, visible".
enum ControlStyle : unsigned
{
    CS_TABSTOP = 1u << 0,
    CS_DEFAULT = 1u << 1, // default push button: Enter presses it
    CS_BORDER = 1u << 2,
    CS_AUTOHSCROLL = 1u << 3,
    CS_NUMBER = 1u << 4,   // edit takes digits only
    CS_RIGHT = 1u << 5,    // right-aligned text
    CS_NOPREFIX = 1u << 6, // '&' is shown, not taken for an access key
    CS_VSCROLL = 1u << 7,
    CS_UD_AUTOBUDDY = 1u << 8,
    CS_UD_ALIGNRIGHT = 1u << 9,
    CS_UD_SETBUDDYINT = 1u << 10,
    CS_UD_ARROWKEYS = 1u << 11,
};

enum DialogStyle : unsigned
{
    DS_SYSMENU = 1u << 0, // caption carries a system menu, and with it a close box
    DS_MINIMIZEBOX = 1u << 1,
    DS_APPWINDOW = 1u << 2, // own taskbar button
};

constexpr int kNoId = -1;

struct ControlTemplate
{
    int id;
    ControlKind kind;
    std::string text;
    int x, y, cx, cy;
    unsigned style;
};

struct DialogTemplate
{
    int id;
    std::string caption;
    int cx, cy;
    std::string fontFace; // Windows face name; the backend maps it to an installed font
    int pointSize;
    unsigned style;
    std::vector<ControlTemplate> controls; // template order is the tab order
};

} // namespace platform
