// A dialog window built from its template: the controls in template order at their places in
// dialog units, keyboard handling as in a Windows dialog (Enter, Esc, tab order), and the
// Window operations the system's dialogs use by control id.
#pragma once

#include <QDialog>
#include <QFont>
#include <QPointer>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/DialogTemplate.h"
#include "platform/Os.h"
#include "platform/Window.h"
#include "platform/qt/DialogUnits.h"

class QEventLoop;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QTimer;

namespace platform {

class Dialog;
class EditValidator;
class PreciseTimer;
class QtUpDown;

class QtWindow final : public QDialog, public Window
{
    Q_OBJECT
public:
    // owner: the window this one stays on top of and is modal to; null for none.
    QtWindow(Dialog& dialog, QWidget* owner);
    ~QtWindow() override;

    Dialog& GetDialog() const { return m_dialog; }
    const DialogUnits& Units() const { return m_units; }
    const QFont& DialogFont() const { return m_font; }

    struct ControlEntry
    {
        int id;
        ControlKind kind;
        unsigned style;
        QWidget* widget;
        std::string text; // as the program set it, bytes kept
        QString shown;    // what the widget was given for it
        QFont ownFont;    // the font the program set on it, if it did
        bool hasOwnFont;
    };
    // The controls in template order.
    const std::vector<ControlEntry>& Controls() const { return m_controls; }
    // The widget of the first control with this id, or null.
    QWidget* Control(int id) const;

    // Focus to the first enabled tab stop in template order; an edit gets its text selected.
    void FocusFirstTabStop();
    // Shows the window and runs a nested loop until EndModal; returns the EndModal result.
    // Returns at once, without showing, when EndModal came before.
    int RunModalLoop();
    bool IsModalEnded() const { return m_ended; }
    // What Enter does: the focused push button's command, else the default button's
    // (nothing when it is disabled), else IdOk.
    void PressEnter();
    // The window menu with the appended items, or null when there are none; caller owns it.
    // Each action's data() is its command.
    QMenu* CreateWindowMenu(QWidget* parent);

    // Window
    void SetTitle(const std::string& title) override;
    std::string GetTitle() const override { return m_title; }
    void SetIcon(int iconId, bool big) override;
    void AppendSystemMenu(unsigned command, const std::string& text) override;
    void EnableToolTips(ToolTipLookup lookup) override;
    void SetTopmost() override;
    bool ForceForeground() override;
    void EndModal(int result) override;
    std::uintptr_t SetTimer(unsigned id, unsigned milliseconds) override;
    bool KillTimer(std::uintptr_t id) override;
    bool HasControl(int id) const override { return Find(id) != nullptr; }
    void SetText(int id, const std::string& text) override;
    std::string GetText(int id) const override;
    void Enable(int id, bool enable) override;
    bool IsEnabled(int id) const override;
    void SetCheck(int id, int state) override;
    int GetCheck(int id) const override;
    bool SetFont(int id, const Font& font) override;
    void SetFocus(int id) override;
    int GetFocus() const override;
    void SelectAllText(int id) override;
    void SetLimitText(int id, int maxChars) override;
    void SetUpDownRange(int id, int lower, int upper) override;
    void SetUpDownStep(int id, int step) override;
    int ListAddString(int id, const std::string& text) override;
    int ListInsertString(int id, int pos, const std::string& text) override;
    void ListDeleteString(int id, int pos) override;
    void ListSetItemData(int id, int pos, std::intptr_t data) override;
    std::intptr_t ListGetItemData(int id, int pos) const override;
    int ListGetCount(int id) const override;
    int ListGetCurSel(int id) const override;
    void ListSetCurSel(int id, int pos) override;
    std::string ListGetText(int id, int pos) const override;
    void ListSetCheck(int id, int pos, int state) override;
    int ListGetCheck(int id, int pos) const override;

public slots:
    // Qt's own ways of cancelling a dialog become the Cancel command; only EndModal closes.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void Command(int id);
    const ControlEntry* Find(int id) const;
    ControlEntry* Find(int id);
    const ControlEntry* EntryOf(const QObject* object) const;
    void ApplyText(ControlEntry& entry, const std::string& text);
    void FitStaticText(ControlEntry& entry);
    void SetStaysOnTop(bool on);
    QListWidget* List(int id) const;
    QListWidgetItem* Item(int id, int pos) const;
    QtUpDown* UpDown(int id) const;
    QLineEdit* Edit(int id) const;
    EditValidator* ValidatorOf(int id) const;

    Dialog& m_dialog;
    QFont m_font;
    DialogUnits m_units;
    std::vector<ControlEntry> m_controls;
    std::map<const QObject*, int> m_controlIndex; // control widget -> index in m_controls
    std::map<QLabel*, QWidget*> m_labelBuddy;     // the tab stop a static's access key moves to
    std::string m_title;
    std::vector<std::pair<unsigned, std::string>> m_menuItems;
    ToolTipLookup m_toolTips;
    // The control that had the focus when it got disabled; the focus waits on the window.
    QPointer<QWidget> m_focusAnchor;
    QTimer* m_keepInFront;  // ends the stay in front once the program stops asking for it
    bool m_topmost = false; // for good, as SetTopmost puts it
    std::map<std::uintptr_t, QPointer<PreciseTimer>> m_timers;
    QEventLoop* m_loop = nullptr;
    bool m_ended = false;
    int m_result = 0;
};

} // namespace platform
