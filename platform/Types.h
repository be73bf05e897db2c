// Small shared vocabulary of the platform layer: dialog results, icons, cursors.
#pragma once

namespace platform {

// Dialog and message box results (IDOK and IDCANCEL on Windows).
constexpr int IdOk = 1;
constexpr int IdCancel = 2;

// Command number of the Help buttons of every dialog; routed to the application.
constexpr int ID_HELP = 57670;

enum class MessageIcon
{
    Information,
    Exclamation
};

enum class MessageButtons
{
    Ok,
    OkCancel
};

enum class Cursor
{
    Arrow,
    Wait
};

} // namespace platform
