// Small shared vocabulary of the platform layer: dialog results, icons, cursors.
#pragma once

namespace platform {

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

// Command number of the Help buttons of every dialog; routed to the application.
constexpr int ID_HELP = 57670;

enum class MessageIcon
{
    Information,
    Exclamation
};

enum class Cursor
{
    Arrow,
    Wait
};

} // namespace platform
