#include "res/Templates.h"

#include <map>
#include <stdexcept>

#include "res/resource.h"

namespace res {
namespace {

using namespace platform;

const std::map<int, DialogTemplate>& Templates()
{
    static const std::map<int, DialogTemplate> templates = {
        {IDD_ABOUTBOX,
         {IDD_ABOUTBOX,
          "バージョン情報 Hanavo",
          235,
          55,
          "MS UI Gothic",
          9,
          DS_SYSMENU,
          {
              {kNoId, ControlKind::Icon, "128", 11, 17, 20, 20, 0},
              {IDC_VERSION, ControlKind::Static, "Hanavo Version 1.20", 40, 10, 119, 8,
               CS_NOPREFIX},
              {kNoId, ControlKind::Static, "起動を秒読みで見守るランチャー", 40, 25, 149, 8, 0},
              {1, ControlKind::PushButton, "OK", 178, 7, 50, 16, CS_DEFAULT | CS_TABSTOP},
          }}},
        {IDD_LAUNCHTIMER_DIALOG,
         {IDD_LAUNCHTIMER_DIALOG,
          "",
          215,
          139,
          "MS UI Gothic",
          9,
          DS_SYSMENU | DS_MINIMIZEBOX | DS_APPWINDOW,
          {
              {IDC_RUN_COMMAND, ControlKind::CheckBox, "コマンドを実行する", 7, 84, 66, 10,
               CS_TABSTOP},
              {IDC_RUN_FILES, ControlKind::CheckBox, "ファイルを実行する", 7, 99, 65, 10,
               CS_TABSTOP},
              {IDC_RUN_NOW, ControlKind::PushButton, "直ちに実行する", 7, 116, 150, 16,
               CS_DEFAULT | CS_TABSTOP},
              {IDC_SETTINGS, ControlKind::PushButton, "設定", 158, 7, 50, 14, CS_TABSTOP},
              {IDC_START, ControlKind::PushButton, "開始", 158, 22, 50, 14, CS_TABSTOP},
              {IDC_STOP, ControlKind::PushButton, "停止", 158, 37, 50, 14, CS_TABSTOP},
              {IDC_RESET, ControlKind::PushButton, "リセット", 158, 52, 50, 14, CS_TABSTOP},
              {ID_HELP, ControlKind::PushButton, "ヘルプ", 158, 98, 50, 15, CS_TABSTOP},
              {IDC_CLOSE, ControlKind::PushButton, "閉じる", 158, 116, 50, 16, CS_TABSTOP},
              {IDC_COUNTER, ControlKind::Static, "", 7, 7, 84, 58, 0},
              {IDC_STATUS, ControlKind::Static, "", 7, 70, 201, 9, 0},
          }}},
        {IDD_SETTING_DIALOG,
         {IDD_SETTING_DIALOG,
          "設定",
          272,
          158,
          "MS Shell Dlg",
          8,
          0,
          {
              {kNoId, ControlKind::Static, "コマンド:", 14, 7, 27, 8, 0},
              {IDC_COMMAND, ControlKind::Edit, "", 14, 17, 201, 14,
               CS_BORDER | CS_TABSTOP | CS_AUTOHSCROLL},
              {IDC_BROWSE_COMMAND, ControlKind::PushButton, "参照...", 215, 17, 39, 14, CS_TABSTOP},
              {kNoId, ControlKind::Static, "引数:", 14, 36, 20, 8, 0},
              {IDC_OPTIONS, ControlKind::Edit, "", 14, 46, 201, 14,
               CS_BORDER | CS_TABSTOP | CS_AUTOHSCROLL},
              {kNoId, ControlKind::Static, "実行するファイルの保管場所:", 14, 67, 94, 8, 0},
              {IDC_TOPDIR, ControlKind::Edit, "", 14, 78, 201, 14,
               CS_BORDER | CS_TABSTOP | CS_AUTOHSCROLL},
              {IDC_BROWSE_FOLDER, ControlKind::PushButton, "参照...", 215, 78, 39, 14, CS_TABSTOP},
              {kNoId, ControlKind::Static, "秒数:", 14, 119, 20, 8, 0},
              {IDC_SECONDS, ControlKind::Edit, "", 35, 116, 34, 14,
               CS_BORDER | CS_TABSTOP | CS_AUTOHSCROLL | CS_NUMBER | CS_RIGHT},
              {IDC_SECONDS_SPIN, ControlKind::UpDown, "", 69, 116, 11, 14,
               CS_UD_SETBUDDYINT | CS_UD_ALIGNRIGHT | CS_UD_AUTOBUDDY | CS_UD_ARROWKEYS},
              {1, ControlKind::PushButton, "OK", 152, 136, 50, 14, CS_DEFAULT | CS_TABSTOP},
              {2, ControlKind::PushButton, "キャンセル", 204, 136, 50, 14, CS_TABSTOP},
              {IDC_FILE_SETTINGS, ControlKind::PushButton, "ファイルの設定", 14, 96, 128, 14,
               CS_TABSTOP},
              {ID_HELP, ControlKind::PushButton, "ヘルプ", 100, 136, 50, 14, CS_TABSTOP},
              {IDC_LOGIN_START, ControlKind::CheckBox, "ログイン時に自動で起動する", 100, 118, 154,
               10, CS_TABSTOP},
          }}},
        {IDD_ORDER_DIALOG,
         {IDD_ORDER_DIALOG,
          "ファイルの設定",
          207,
          182,
          "MS Shell Dlg",
          8,
          DS_SYSMENU,
          {
              {1, ControlKind::PushButton, "OK", 150, 145, 50, 14, CS_DEFAULT | CS_TABSTOP},
              {2, ControlKind::PushButton, "キャンセル", 150, 161, 50, 14, CS_TABSTOP},
              {IDC_FILE_LIST, ControlKind::CheckList, "", 7, 7, 136, 168,
               CS_BORDER | CS_VSCROLL | CS_TABSTOP},
              {IDC_MOVE_UP, ControlKind::PushButton, "▲", 150, 7, 50, 14, CS_TABSTOP},
              {IDC_MOVE_DOWN, ControlKind::PushButton, "▼", 150, 23, 50, 14, CS_TABSTOP},
              {IDC_ENABLE_ALL, ControlKind::PushButton, "すべて有効", 150, 44, 50, 14, CS_TABSTOP},
              {IDC_DISABLE_ALL, ControlKind::PushButton, "すべて無効", 150, 60, 50, 14, CS_TABSTOP},
              {IDC_DELETE_FILE, ControlKind::PushButton, "削除", 150, 76, 50, 14, CS_TABSTOP},
              {ID_HELP, ControlKind::PushButton, "ヘルプ", 150, 129, 50, 14, CS_TABSTOP},
          }}},
    };
    return templates;
}

} // namespace

const DialogTemplate& GetTemplate(int id)
{
    auto it = Templates().find(id);
    if (it == Templates().end())
        throw std::out_of_range("no dialog template " + std::to_string(id));
    return it->second;
}

std::vector<int> TemplateIds()
{
    std::vector<int> ids;
    for (const auto& entry : Templates())
        ids.push_back(entry.first);
    return ids;
}

} // namespace res
