#include "res/Strings.h"

#include <initializer_list>
#include <map>

#include "res/resource.h"

namespace res {
namespace {

const std::map<unsigned, std::string>& Table()
{
    static const std::map<unsigned, std::string> table = {
        {1, "変更を保存してダイアログボックスを閉じます。"},
        {2, "変更を保存せずにダイアログボックスを閉じます。"},
        {8, "アプリケーションを終了します。"},
        {IDS_ABOUTBOX, "バージョン情報 Hanavo(&A)..."},
        {IDS_STATUS_COMMAND, "秒後に %1 を起動します。"},
        {IDS_STATUS_NOCOMMAND, "コマンドが設定されていません。"},
        {IDS_FILE_FILTER, "実行ファイル(*.exe,*.bat,*vbs,*.js)|*.exe; *.bat; *.vbs; *.js|"
                          "すべてのファイル(*.*)|*.*||"},
        {IDS_EXEC_FAILED, "ファイルの実行に失敗しました。エラー: %d。"},
        {IDS_STATUS_MESSAGE, "秒後にメッセージを表示します。"},
        {IDS_FOLDER_MISSING, "指定されたフォルダがありません。"},
        {IDS_TITLE_STOPPED, "Hanavo(停止中)"},
        {IDS_TITLE_COUNTING, "Hanavo(秒読中)"},
        {IDS_FOLDER_EMPTY, "実行するファイルの保管場所を指定してください。"},
        {IDS_RENAME_FAILED, "次のファイルの名前を変更できませんでした。"},
        {IDS_TRASH_CONFIRM, "%1 をごみ箱に移動しますか？"},
        {IDS_TRASH_FAILED, "ごみ箱に移動できませんでした。"},
        {IDS_LOGIN_START_FAILED, "自動起動の設定を変更できませんでした。"},
        {IDS_TIP_RUN_COMMAND, "設定したコマンドを起動するかどうかを選びます。"},
        {1001, "設定ダイアログボックスを表示します。"},
        {1004, "実行までの秒数(10-300)を入力します。"},
        {1006, "msg と入力すると、メッセージを表示します。"},
        {1007, "ファイルを検索します。"},
        {1008, "タイマーを開始します。"},
        {1009, "タイマーを停止します。"},
        {1010, "残り秒数を設定値に戻します。"},
        {1011, "メッセージを表示させる場合は、ここに入力します。"},
        {1014, "直ちにコマンド及びファイルを実行してアプリケーションを終了します。"},
        {1016, "指定したフォルダ内にあるファイルを実行します。"},
        {1017, "実行するファイルの保存場所。"},
        {1018, "フォルダ選択ダイアログボックスを表示します。"},
        {1019, "実行可能なファイルの一覧。"},
        {1020, "選択したファイルの順番をひとつ上げます。"},
        {1021, "選択したファイルの順番をひとつ下げます。"},
        {1022, "ファイルの実行順序や有効無効を設定します。"},
        {1023, "すべてのファイルを有効にします。"},
        {1024, "すべてのファイルを無効にします。"},
        {1029, "選択したファイルを削除します。"},
        {IDC_LOGIN_START, "ログインしたときに Hanavo を自動モードで起動します。"},
        {ID_HELP, "Hanavoの使い方を表示します。"},
    };
    return table;
}

// Fills %1, %2, ... in one pass, so that a placeholder inside an argument stays as it is.
std::string Fill(const std::string& text, std::initializer_list<std::string> args)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        // Wraps around to a large number for any byte below '1'.
        const unsigned n = i + 1 < text.size() ? unsigned(text[i + 1]) - '1' : ~0u;
        if (text[i] == '%' && n < args.size()) {
            out += args.begin()[n];
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace

std::string LoadText(unsigned id)
{
    auto it = Table().find(id);
    return it == Table().end() ? std::string() : it->second;
}

std::vector<unsigned> StringIds()
{
    std::vector<unsigned> ids;
    for (const auto& entry : Table())
        ids.push_back(entry.first);
    return ids;
}

std::string FormatString1(unsigned id, const std::string& arg)
{
    return Fill(LoadText(id), {arg});
}

std::string FormatNumber(unsigned id, int value)
{
    std::string text = LoadText(id);
    std::size_t pos = text.find("%d");
    if (pos != std::string::npos)
        text.replace(pos, 2, std::to_string(value));
    return text;
}

} // namespace res
