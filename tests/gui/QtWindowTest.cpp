// Templates become the right widgets at the right places, and the controls behave as the system's
// dialogs expect them to.
#include <QtWidgets>
#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "app/LaunchSettings.h"
#include "dialogs/COrderDialog.h"
#include "dialogs/CSettingDialog.h"
#include "platform/qt/QtUpDown.h"
#include "res/Strings.h"
#include "res/Templates.h"
#include "res/resource.h"
#include "support/TempDir.h"
#include "timer/CLaunchTimerDlg.h"

using namespace guitest;
using namespace platform;

namespace {

QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

// The text fits the room the control's style leaves it, both ways; text drawn from the top of a
// static needs its ink to end above the bottom.
void ExpectFits(QWidget* w, QString text)
{
    QFontMetrics fm(w->font());
    QStyleOptionButton opt;
    opt.initFrom(w);
    opt.text = text;
    const QRect ink = fm.tightBoundingRect(text.remove(u'&'));
    const int advance = fm.horizontalAdvance(text);
    QSize need(std::max(advance, ink.right() + 1), fm.ascent() + ink.bottom() + 1);
    QRect room = w->contentsRect();
    if (qobject_cast<QAbstractButton*>(w)) {
        const bool push = qobject_cast<QPushButton*>(w);
        room = w->style()->subElementRect(
            push ? QStyle::SE_PushButtonContents : QStyle::SE_CheckBoxContents, &opt, w);
        need = {advance + (push ? w->style()->pixelMetric(QStyle::PM_ButtonMargin, &opt, w) : 0),
                fm.height()};
    }
    EXPECT_TRUE(need.width() <= room.width() && need.height() <= room.height())
        << text.toStdString();
}

// The tip the pointer resting on the target (at its centre) leaves: a stale tip, one that would
// stay for a minute, must be replaced or hidden.
QString ToolTipOf(QWidget* target, QPoint at = {-1, -1})
{
    at = at.x() < 0 ? target->rect().center() : at;
    QToolTip::showText(target->mapToGlobal(at), QStringLiteral("stale"), target, QRect(), 60000);
    QHelpEvent help(QEvent::ToolTip, at, target->mapToGlobal(at));
    QApplication::sendEvent(target, &help);
    WaitUntil([] { return !QToolTip::isVisible() || QToolTip::text() != "stale"; }, 2000);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

// The family of the font that draws the first character of text in this font.
QString DrawnBy(const QFont& font, const QString& text)
{
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    return layout.glyphRuns().value(0).rawFont().familyName();
}

} // namespace

TEST(QtWindow, EveryTemplateBecomesItsWidgetsWithUnclippedTexts)
{
    // Pixels for dialog units as MulDiv gives them: rounded half away from zero; -1 for none.
    // clang-format off
    for (auto [n, num, den, px] :
         {std::array{3, 5, 2, 8}, {-3, 5, 2, -8}, {3, 5, -2, -8}, {7, 1, 4, 2}, {5, 3, 0, -1}})
        // clang-format on
        EXPECT_EQ(DialogUnits::MulDiv(n, num, den), px) << n << " " << num << " " << den;
    for (int id : res::TemplateIds()) {
        SCOPED_TRACE(id);
        const DialogTemplate& t = res::GetTemplate(id);
        Shown<TestDialog> b(t);
        QtWindow& w = b.Open();
        EXPECT_EQ(QFontInfo(w.font()).family(), "IPAPGothic");
        EXPECT_EQ(w.font().pointSize(), t.pointSize);
        EXPECT_TRUE(QFontMetrics(w.font()).inFont(QChar(u'設'))); // glyphs, not boxes
        // Each of x, y, width and height in dialog units, converted on its own.
        EXPECT_EQ(w.size(), w.Units().Map(0, 0, t.cx, t.cy).size());
        ASSERT_EQ(w.Controls().size(), t.controls.size());
        for (size_t i = 0; i < t.controls.size(); ++i) {
            const ControlTemplate& c = t.controls[i];
            SCOPED_TRACE(c.id);
            QWidget* widget = w.Controls()[i].widget;
            // Each id names its own control (a number given twice would hide one of them).
            EXPECT_TRUE(c.id == kNoId || w.Control(c.id) == widget);
            // An icon takes the icon's size; the up-down control docks at its field (below).
            const QRect at = w.Units().Map(c.x, c.y, c.cx, c.cy);
            if (c.kind == ControlKind::Icon || id == IDD_LAUNCHTIMER_DIALOG) {
                EXPECT_EQ(widget->geometry(),
                          c.kind == ControlKind::Icon ? QRect(at.topLeft(), QSize(32, 32)) : at);
            }
            // The dialog face draws a backslash as a yen sign: typed paths and arguments show it as
            // what it is, and Japanese still in the dialog face.
            if (c.kind == ControlKind::Edit) {
                EXPECT_EQ(DrawnBy(widget->font(), "\\") + DrawnBy(widget->font(), "あ"),
                          "Liberation SansIPAPGothic");
            }
            if (c.kind == ControlKind::Static || qobject_cast<QAbstractButton*>(widget)) {
                EXPECT_EQ(widget->property("text").toString(), Q(c.text));
                ExpectFits(widget, Q(c.text));
            }
        }
    }
}

TEST(QtWindow, TimerWindowShowsItsCountWholeAndTheTipsOfItsControls)
{
    LaunchSettings settings;
    settings.m_nSeconds = 300;
    Shown<CLaunchTimerDlg> t;
    t.dialog.SetSettings(&settings);
    QtWindow& w = t.Open();
    QWidget* counter = w.Control(IDC_COUNTER);
    EXPECT_EQ(counter->font().family(), "Liberation Sans"); // not left to an alias for Arial
    for (unsigned s : {IDS_STATUS_NOCOMMAND, IDS_STATUS_MESSAGE})
        ExpectFits(w.Control(IDC_STATUS), Q(res::LoadText(s)));
    // The tips: the control's number's string, the run-command box's own (its number is the
    // settings dialog's Browse button's too), or none.
    EXPECT_EQ(ToolTipOf(w.Control(IDC_START)), Q(res::LoadText(IDC_START)));
    EXPECT_EQ(ToolTipOf(w.Control(IDC_RUN_COMMAND)), Q(res::LoadText(IDS_TIP_RUN_COMMAND)));
    EXPECT_EQ(ToolTipOf(counter), "");
    // The window menu: what the dialog appended, each item with its command.
    std::unique_ptr<QMenu> menu(w.CreateWindowMenu(nullptr));
    QStringList items;
    for (QAction* a : menu->actions())
        items << (a->isSeparator() ? "-" : a->text() + u' ' + a->data().toString());
    EXPECT_EQ(items.mid(items.size() - 2),
              (QStringList{"-", Q(res::LoadText(IDS_ABOUTBOX)) + " 16"}));
    // A count too long for the large digits shows every digit, smaller; a short one gets the full
    // size back. The ink decides, to the pixel.
    w.SetText(IDC_COUNTER, "99999");
    ExpectFits(counter, "99999");
    EXPECT_GE(counter->font().pointSize(), 30);
    QFontMetrics fm(QFont(counter->font().family(), 64));
    const int inkHeight = fm.ascent() + fm.tightBoundingRect("300").bottom() + 1;
    for (int height : {inkHeight, inkHeight - 1}) {
        counter->resize(counter->width(), height);
        w.SetText(IDC_COUNTER, "300");
        EXPECT_EQ(counter->font().pointSize() == 64, height == inkHeight) << height;
    }
}

TEST(QtWindow, KeysAndClicksAskTheDialogWithTheirCommandOrMoveTheFocus)
{
    const int kSet = IDD_SETTING_DIALOG, kTimer = IDD_LAUNCHTIMER_DIALOG, kOrder = IDD_ORDER_DIALOG,
              kEditOnly = 9000;
    const int kClose = 0, kClick = -1, kTab = Qt::Key_Tab, kBack = Qt::Key_Backtab,
              kEnter = Qt::Key_Return;
    DialogTemplate editOnly = res::GetTemplate(IDD_ABOUTBOX);
    editOnly.controls = {{501, ControlKind::Static, "&Name", 5, 5, 30, 10, 0},
                         {500, ControlKind::Edit, "", 40, 5, 80, 14, CS_TABSTOP}};
    // The template, its control focused, controls then disabled, the input, and the command the
    // dialog is asked with (0: none), or for Tab the control focused after.
    // clang-format off
    struct { int tmpl, focused; std::vector<int> disabled; int input, expected; } const cases[] = {
        // To the default button, or the focused push button (also when another control is
        // disabled meanwhile); with none, IdOk.
        {kSet, IDC_COMMAND, {}, kEnter, IdOk}, {kSet, IDC_COMMAND, {}, Qt::Key_Enter, IdOk},
        {kSet, IdCancel, {}, kEnter, IdCancel},
        {kSet, IDC_BROWSE_COMMAND, {IDC_TOPDIR}, kEnter, IDC_BROWSE_COMMAND},
        {kTimer, IDC_RUN_COMMAND, {}, kEnter, IDC_RUN_NOW},
        {kTimer, IDC_RUN_COMMAND, {IDC_RUN_NOW}, kEnter, 0},
        {kEditOnly, 500, {}, kEnter, IdOk},
        {kOrder, IDC_FILE_LIST, {}, Qt::Key_Escape, IdCancel},
        {kOrder, IDC_FILE_LIST, {}, kClose, IdCancel},
        {kTimer, IDC_RUN_FILES, {}, kClick, IDC_RUN_FILES},
        // A focused button that disables itself (Start, once pressed) leaves Enter to the default
        // button, and Tab and Shift+Tab go on from its place in the tab order.
        {kTimer, IDC_START, {IDC_START}, kEnter, IDC_RUN_NOW},
        {kTimer, IDC_START, {IDC_START}, kBack, IDC_SETTINGS},
        {kTimer, IDC_START, {IDC_START}, kTab, IDC_STOP},
        {kTimer, IDC_START, {IDC_STOP, IDC_START}, kTab, IDC_RESET},
        {kTimer, IDC_START, {IDC_SETTINGS, IDC_START}, kBack, IDC_RUN_NOW}};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.tmpl << " " << c.focused << " input " << c.input);
        Shown<TestDialog> b(c.tmpl == kEditOnly ? editOnly : res::GetTemplate(c.tmpl));
        QtWindow& w = b.Open();
        QWidget* control = w.Control(c.focused);
        control->setFocus();
        for (int id : c.disabled)
            w.Enable(id, false);
        const int check = w.GetCheck(c.focused);
        if (c.input > 0)
            KeyClick(w.focusWidget() ? w.focusWidget() : &w, c.input);
        else if (c.input == kClose)
            EXPECT_FALSE(w.close());
        else
            Click(control, QPoint(5, control->height() / 2));
        const bool tab = c.input == kTab || c.input == kBack;
        EXPECT_EQ(b.dialog.commands,
                  c.expected && !tab ? std::vector<int>{c.expected} : std::vector<int>{});
        EXPECT_EQ(tab ? w.GetFocus() : w.GetCheck(c.focused), tab                 ? c.expected
                                                              : c.input == kClick ? 1 - check
                                                                                  : check);
        // A static's access key leads to the next tab stop.
        if (auto* label = qobject_cast<QLabel*>(w.Control(501))) {
            EXPECT_EQ(label->buddy(), w.Control(500));
        }
        // Only the dialog ends its run.
        EXPECT_TRUE(w.isVisible() && !w.IsModalEnded());
    }
}

TEST(QtWindow, SettingsFieldsStepTakeDigitsOnlyAndLimitTheFolderTo260Characters)
{
    Shown<CSettingDialog> s;
    s.dialog.m_strTopDir = "/srv/caf\xe9/\xff";
    QtWindow& w = s.Open();
    auto* upDown = static_cast<QtUpDown*>(w.Control(IDC_SECONDS_SPIN));
    auto* seconds = static_cast<QLineEdit*>(w.Control(IDC_SECONDS));
    // The number, a step by arrow click (+1, -1) or key, and the number after.
    // clang-format off
    for (auto [from, step, to] : {std::tuple{"298", 1, "300"}, {"12", -1, "10"}, {"60", 1, "65"},
         {"5", 1, "10"}, {"65", +Qt::Key_Down, "60"}, {"300", +Qt::Key_Up, "300"},
         {"400", +Qt::Key_Down, "300"}}) {
        // clang-format on
        w.SetText(IDC_SECONDS, from);
        QToolButton* arrow = step > 0 ? upDown->UpButton() : upDown->DownButton();
        std::abs(step) == 1 ? Click(arrow, arrow->rect().center()) : KeyClick(seconds, step);
        EXPECT_EQ(w.GetText(IDC_SECONDS), to) << from << " " << step;
    }
    // Docked inside the field's right edge; the field gave up that width.
    EXPECT_EQ(upDown->geometry().right(), w.Units().X(35) + w.Units().X(34) - 1);
    EXPECT_EQ(seconds->geometry().right() + 1, upDown->geometry().left());
    EXPECT_EQ(upDown->height(), seconds->height());
    w.SetText(IDC_SECONDS, "");
    for (QChar c : QStringLiteral("1a2-3 x"))
        KeyClick(seconds, 0, c);
    EXPECT_EQ(w.GetText(IDC_SECONDS), "123");
    w.SetCheck(IDC_LOGIN_START, 2); // the third state
    EXPECT_EQ(w.GetCheck(IDC_LOGIN_START), 2);
    // A path that is not UTF-8 keeps its bytes until the user edits it.
    auto* folder = static_cast<QLineEdit*>(w.Control(IDC_TOPDIR));
    EXPECT_EQ(w.GetText(IDC_TOPDIR), "/srv/caf\xe9/\xff");
    folder->end(false);
    KeyClick(folder, Qt::Key_X, "x");
    EXPECT_EQ(w.GetText(IDC_TOPDIR), "/srv/caf\uFFFD/\uFFFDx");
    // The limit counts UTF-16 code units and stops insertions only, typed or pasted, cut to fit but
    // never inside a character; text the program sets is not cut, and deleting from it always
    // works.
    // The text before, whether the insertion goes at its start, the text inserted and after.
    const std::string a(258, 'a'), b(300, 'b');
    // clang-format off
    using Insert = std::tuple<std::string, bool, const char*, std::string>;
    for (auto [before, home, inserted, after] : std::initializer_list<Insert>{
             {a, false, "あ", a + "あ"}, {a + "あ", false, "\U0001F600", a + "あ"},
             {a + "あ", false, "z", a + "あz"}, {a + "あz", false, "y", a + "あz"}, {b, false, "c", b},
             {a.substr(7), true, "ふぉるだふぉるだ\U0001F600ふ", "ふぉるだふぉるだ" + a.substr(7)}}) {
        // clang-format on
        w.SetText(IDC_TOPDIR, before);
        home ? folder->home(false) : folder->end(false);
        folder->insert(QString::fromUtf8(inserted));
        EXPECT_EQ(w.GetText(IDC_TOPDIR), after) << inserted;
    }
    EXPECT_EQ(folder->cursorPosition(), 8);
    w.SetText(IDC_TOPDIR, b);
    KeyClick(folder, Qt::Key_Backspace);
    EXPECT_EQ(w.GetText(IDC_TOPDIR), b.substr(1));
}

TEST(QtWindow, CheckListTogglesByMouseAndSpaceReadsOnDarkAndShowsCutNamesWhole)
{
    testing_support::TempDir dir;
    const std::string longName = "とても長い名前の起動ファイル_" + std::string(80, 'x') + "\xff.sh";
    dir.Write("01e_" + longName, "");
    dir.Write("02d_b.sh", "");
    testing_support::CwdGuard cwd; // the scan enters the folder
    Shown<COrderDialog> o;
    o.dialog.SetFolder(dir.Path());
    QtWindow& w = o.Open();
    auto* view = static_cast<QListWidget*>(w.Control(IDC_FILE_LIST));
    ASSERT_EQ(view->count(), 2);
    // The start of a row, as wide as the row is high: its check box and nothing else.
    auto box = [view](int row) {
        const QRect item = view->visualItemRect(view->item(row));
        return QRect(item.topLeft(), QSize(item.height(), item.height()));
    };
    // A name cut with "…" shows whole as its tip; a name shown whole keeps the list's own tip.
    EXPECT_EQ(ToolTipOf(view->viewport(), box(0).center()), view->item(0)->text());
    EXPECT_EQ(ToolTipOf(view->viewport(), box(1).center()), Q(res::LoadText(IDC_FILE_LIST)));
    view->setFocus(); // the first item is current
    KeyClick(view, Qt::Key_Space, " ");
    EXPECT_EQ(w.ListGetCheck(IDC_FILE_LIST, 0), 0);
    KeyClick(view, Qt::Key_Space, " ");
    Click(view->viewport(), box(1).center());
    EXPECT_EQ(w.ListGetCheck(IDC_FILE_LIST, 0) * 10 + w.ListGetCheck(IDC_FILE_LIST, 1), 11);
    // Moving an item up takes its bytes, data and check along.
    w.ListSetCheck(IDC_FILE_LIST, 0, 0);
    w.ListSetCurSel(IDC_FILE_LIST, 1);
    Click(w.Control(IDC_MOVE_UP), QPoint(5, 5));
    EXPECT_EQ(w.ListGetCurSel(IDC_FILE_LIST), 0);
    EXPECT_EQ(w.ListGetText(IDC_FILE_LIST, 1), longName);
    EXPECT_EQ(w.ListGetItemData(IDC_FILE_LIST, 0) * 10 + w.ListGetItemData(IDC_FILE_LIST, 1), 10);
    EXPECT_EQ(w.ListGetCheck(IDC_FILE_LIST, 0) * 10 + w.ListGetCheck(IDC_FILE_LIST, 1), 10);
    // On a dark palette a ticked box still stands out from an unticked one: the mark is drawn
    // in the text colour (some styles draw it black on dark).
    view->setCurrentRow(-1);
    QPalette dark = view->palette();
    dark.setColor(QPalette::Base, Qt::black), dark.setColor(QPalette::Text, Qt::white);
    view->setPalette(dark);
    const QImage on = view->viewport()->grab(box(0)).toImage();
    const QImage off = view->viewport()->grab(box(1)).toImage();
    int differ = 0;
    for (int y = 0; y < on.height(); ++y)
        for (int x = 0; x < on.width(); ++x)
            differ += qGray(on.pixel(x, y)) - qGray(off.pixel(x, y)) > 96;
    EXPECT_GE(differ, 10);
}

TEST(QtWindow, ATimerKilledInsideItsTickStopsAndTheWindowLeavesTheFrontOnceNoLongerPushed)
{
    Shown<TestDialog> b(res::GetTemplate(IDD_ABOUTBOX));
    QtWindow& w = b.Open();
    // As the launch at zero does: kill the timer, then show a message box.
    std::vector<std::uintptr_t> ticks;
    b.dialog.onTimer = [&](std::uintptr_t id) {
        ticks.push_back(id);
        if (ticks.size() == 3) {
            EXPECT_TRUE(w.KillTimer(id));
            QEventLoop box;
            QTimer::singleShot(100, &box, &QEventLoop::quit); // ten intervals
            box.exec();
        }
    };
    EXPECT_EQ(w.SetTimer(7, 10), 7u);
    ASSERT_TRUE(WaitUntil([&] { return ticks.size() >= 3; }));
    QApplication::processEvents();
    EXPECT_EQ(ticks, (std::vector<std::uintptr_t>{7, 7, 7}));
    EXPECT_FALSE(w.KillTimer(7));
    // Brought forward each second while it counts; in front no longer once the count stops.
    EXPECT_TRUE(w.ForceForeground() && (w.windowFlags() & Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(WaitUntil([&] { return !(w.windowFlags() & Qt::WindowStaysOnTopHint); }));
}
