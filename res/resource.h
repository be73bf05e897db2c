// Resource numbers: dialog templates, icons, strings and control ids. Control numbers double as
// string numbers: a control's tooltip is the string with its number.
#pragma once

#include "platform/Types.h"

// Dialog templates
constexpr int IDD_ABOUTBOX = 100;
constexpr int IDD_LAUNCHTIMER_DIALOG = 102;
constexpr int IDD_SETTING_DIALOG = 129;
constexpr int IDD_ORDER_DIALOG = 132;

// Icons
constexpr int IDR_MAINFRAME = 128;

// Strings: messages, titles and the file filter
constexpr int IDS_ABOUTBOX = 101;
constexpr int IDS_STATUS_COMMAND = 102;
constexpr int IDS_STATUS_NOCOMMAND = 103;
constexpr int IDS_FILE_FILTER = 104;
constexpr int IDS_EXEC_FAILED = 105;
constexpr int IDS_STATUS_MESSAGE = 106;
constexpr int IDS_FOLDER_MISSING = 107;
constexpr int IDS_TITLE_STOPPED = 108;
constexpr int IDS_TITLE_COUNTING = 109;
constexpr int IDS_FOLDER_EMPTY = 110;
constexpr int IDS_RENAME_FAILED = 111;
constexpr int IDS_TRASH_CONFIRM = 112;
constexpr int IDS_TRASH_FAILED = 113;
constexpr int IDS_LOGIN_START_FAILED = 114;
constexpr int IDS_TIP_RUN_COMMAND = 115; // tooltip of the timer window's run-command check box

// Command of the About item in the window menu
constexpr unsigned IDM_ABOUTBOX = 0x0010;

// Controls
constexpr int IDC_CLOSE = 8;
constexpr int IDC_COUNTER = 1000;
constexpr int IDC_SETTINGS = 1001;
constexpr int IDC_STATUS = 1003;
constexpr int IDC_SECONDS = 1004;
constexpr int IDC_SECONDS_SPIN = 1005;
constexpr int IDC_COMMAND = 1006;
constexpr int IDC_BROWSE_COMMAND = 1007;
constexpr int IDC_START = 1008;
constexpr int IDC_STOP = 1009;
constexpr int IDC_RESET = 1010;
constexpr int IDC_OPTIONS = 1011;
constexpr int IDC_VERSION = 1013;
constexpr int IDC_RUN_NOW = 1014;
constexpr int IDC_RUN_FILES = 1016;
constexpr int IDC_TOPDIR = 1017;
constexpr int IDC_RUN_COMMAND = 1018;   // check box of the timer window
constexpr int IDC_BROWSE_FOLDER = 1018; // Browse button of the settings dialog, same number
constexpr int IDC_FILE_LIST = 1019;
constexpr int IDC_MOVE_UP = 1020;
constexpr int IDC_MOVE_DOWN = 1021;
constexpr int IDC_FILE_SETTINGS = 1022;
constexpr int IDC_ENABLE_ALL = 1023;
constexpr int IDC_DISABLE_ALL = 1024;
constexpr int IDC_DELETE_FILE = 1029;
constexpr int IDC_LOGIN_START = 1030; // check box of the settings dialog
using platform::ID_HELP;
