// Templates become the right widgets at the right places, and the controls behave as the
// system's dialogs expect them to.
#include <QCheckBox>
#include <QFontInfo>
#include <QGlyphRun>
#include <QHelpEvent>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRawFont>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionViewItem>
#include <QTextLayout>
#include <QToolButton>
#include <QToolTip>
#include <cmath>
#include <gtest/gtest.h>
#include <optional>
#include <tuple>

#include "GuiTestSupport.h"
#include "app/LaunchSettings.h"
#include "dialogs/COrderDialog.h"
#include "dialogs/CSettingDialog.h"
#include "platform/qt/QtUpDown.h"
#include "res/Strings.h"
#include "res/Templates.h"
#include "res/ToolTip.h"
#include "res/resource.h"
#include "support/TempDir.h"
#include "timer/CLaunchTimerDlg.h"

using namespace guitest;
using platform::ControlKind;

namespace {

QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

QString ShownText(QWidget* w)
{
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return button->text();
    return static_cast<QLabel*>(w)->text();
}

// The text fits the room the control's style leaves it, both ways; text drawn from the top of a
// static needs its ink to end above the bottom.
void ExpectFits(QWidget* w, const QString& text)
{
    SCOPED_TRACE(text.toStdString());
    QFontMetrics fm(w->font());
    QString shown = QString(text).remove(u'&');
    int advance = fm.horizontalAdvance(shown);
    QRect room = w->contentsRect();
    QSize need(advance, fm.height());
    if (qobject_cast<QAbstractButton*>(w)) {
        QStyleOptionButton opt;
        opt.initFrom(w);
        opt.text = text;
        bool push = qobject_cast<QPushButton*>(w);
        room = w->style()->subElementRect(
            push ? QStyle::SE_PushButtonContents : QStyle::SE_CheckBoxContents, &opt, w);
        if (push)
            need.rwidth() += w->style()->pixelMetric(QStyle::PM_ButtonMargin, &opt, w);
    } else {
        QRect ink = fm.tightBoundingRect(shown);
        need = QSize(std::max(advance, ink.right() + 1), fm.ascent() + ink.bottom() + 1);
    }
    EXPECT_LE(need.width(), room.width());
    EXPECT_LE(need.height(), room.height());
}

// The tip the pointer resting on the target leaves: a stale tip, one that would stay for a
// minute, must be replaced or hidden.
QString ToolTipOf(QWidget* target, std::optional<QPoint> where = std::nullopt)
{
    QPoint at = where.value_or(target->rect().center());
    QToolTip::showText(target->mapToGlobal(at), QStringLiteral("stale"), target, QRect(), 60000);
    QHelpEvent help(QEvent::ToolTip, at, target->mapToGlobal(at));
    QApplication::sendEvent(target, &help);
    WaitUntil([] { return !QToolTip::isVisible() || QToolTip::text() != QStringLiteral("stale"); },
              2000);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

// The family of the font that draws the first character of text in this font.
QString DrawnBy(const QFont& font, const QString& text)
{
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    return runs.isEmpty() ? QString() : runs.first().rawFont().familyName();
}

// The contrast ratio of two colours as WCAG defines it: 1 for none, 21 for black on white.
double Contrast(QColor a, QColor b)
{
    auto luminance = [](QColor c) {
        auto linear = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace

TEST(QtWindow, EveryTemplateBecomesItsWidgetsWithUnclippedTexts)
{
    for (int id : res::TemplateIds()) {
        SCOPED_TRACE(id);
        const platform::DialogTemplate& t = res::GetTemplate(id);
        Shown<TestDialog> b(t);
        QtWindow& w = b.Open();
        EXPECT_EQ(QFontInfo(w.font()).family(), QStringLiteral("IPAPGothic"));
        EXPECT_TRUE(QFontMetrics(w.font()).inFont(QChar(u'設'))); // glyphs, not boxes
        EXPECT_EQ(w.windowTitle(), Q(t.caption));
        // Dialog units from the font as Windows computes them, rounded as MulDiv rounds.
        QFontMetrics fm(w.font());
        const QString letters =
            QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
        int bx = (fm.horizontalAdvance(letters) / 26 + 1) / 2;
        int by = fm.ascent() + fm.descent();
        auto px = [&](int x, int y, int cx, int cy) {
            return QRect((x * bx + 2) / 4, (y * by + 4) / 8, (cx * bx + 2) / 4, (cy * by + 4) / 8);
        };
        EXPECT_EQ(w.size(), px(0, 0, t.cx, t.cy).size());

        ASSERT_EQ(w.Controls().size(), t.controls.size());
        for (size_t i = 0; i < t.controls.size(); ++i) {
            const platform::ControlTemplate& c = t.controls[i];
            SCOPED_TRACE(c.id);
            QWidget* widget = w.Controls()[i].widget;
            if (id == IDD_LAUNCHTIMER_DIALOG) {
                EXPECT_EQ(widget->geometry(), px(c.x, c.y, c.cx, c.cy));
            }
            // By kind: Static, Icon, Edit, PushButton, CheckBox, UpDown, CheckList.
            static const char* const classes[] = {"QLabel",      "QLabel",    "QLineEdit",
                                                  "QPushButton", "QCheckBox", "platform::QtUpDown",
                                                  "QListWidget"};
            ASSERT_TRUE(widget->inherits(classes[static_cast<int>(c.kind)]));
            if (c.kind == ControlKind::Icon) {
                EXPECT_FALSE(static_cast<QLabel*>(widget)->pixmap().isNull());
            }
            if (auto* button = qobject_cast<QPushButton*>(widget)) {
                EXPECT_EQ(button->isDefault(), (c.style & platform::CS_DEFAULT) != 0);
            }
            if (c.kind == ControlKind::Edit) {
                // The dialog face draws a backslash as a yen sign: typed paths and arguments
                // show it as what it is, and Japanese still in the dialog face.
                EXPECT_NE(DrawnBy(widget->font(), QStringLiteral("\\")),
                          QStringLiteral("IPAPGothic"));
                EXPECT_FALSE(DrawnBy(widget->font(), QStringLiteral("\\")).isEmpty());
                EXPECT_EQ(DrawnBy(widget->font(), QStringLiteral("あ")),
                          QStringLiteral("IPAPGothic"));
            }
            if (c.kind == ControlKind::Static || qobject_cast<QAbstractButton*>(widget)) {
                EXPECT_EQ(ShownText(widget), Q(c.text));
                if (!c.text.empty())
                    ExpectFits(widget, Q(c.text));
            }
        }
    }
}

TEST(QtWindow, TimerWindowShowsItsCountAndStatusWholeInTheirFonts)
{
    LaunchSettings settings;
    settings.m_nSeconds = 300;
    settings.m_strCommand = "/usr/local/bin/backup.sh";
    Shown<CLaunchTimerDlg> t;
    t.dialog.SetSettings(&settings);
    QtWindow& w = t.Open();
    EXPECT_EQ(ShownText(w.Control(IDC_COUNTER)), QStringLiteral("300"));

    QWidget* counter = w.Control(IDC_COUNTER);
    EXPECT_EQ(QFontInfo(counter->font()).family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(QFontInfo(counter->font()).pointSize(), 64);
    ExpectFits(counter, QStringLiteral("300"));
    // A stored count too long for the large digits shows every digit, smaller; a short one
    // gets the full size back.
    w.SetText(IDC_COUNTER, "99999");
    ExpectFits(counter, QStringLiteral("99999"));
    EXPECT_GE(QFontInfo(counter->font()).pointSize(), 30);
    w.SetText(IDC_COUNTER, "300");
    EXPECT_EQ(QFontInfo(counter->font()).pointSize(), 64);
    for (unsigned s : {IDS_STATUS_NOCOMMAND, IDS_STATUS_MESSAGE})
        ExpectFits(w.Control(IDC_STATUS), Q(res::LoadText(s)));
}

TEST(QtWindow, EnterEscAndTheCloseBoxAskTheDialogWithTheirCommand)
{
    constexpr int kEditOnly = 9000, kNothing = 0, kCloseBox = 0, kClick = -1;
    platform::DialogTemplate editOnly = res::GetTemplate(IDD_ABOUTBOX);
    editOnly.controls = {{500, ControlKind::Edit, "", 5, 5, 80, 14, platform::CS_TABSTOP}};
    // Template, focused control, input (a key, the close box or a click), a control disabled
    // first, and the command the dialog is asked with.
    using Case = std::tuple<int, int, int, int, int>;
    const Case cases[] = {
        // To the default button, or the focused push button.
        {IDD_SETTING_DIALOG, IDC_COMMAND, Qt::Key_Return, 0, platform::IdOk},
        {IDD_SETTING_DIALOG, IDC_COMMAND, Qt::Key_Enter, 0, platform::IdOk},
        {IDD_SETTING_DIALOG, platform::IdCancel, Qt::Key_Return, 0, platform::IdCancel},
        {IDD_SETTING_DIALOG, IDC_BROWSE_COMMAND, Qt::Key_Return, 0, IDC_BROWSE_COMMAND},
        {IDD_LAUNCHTIMER_DIALOG, IDC_RUN_COMMAND, Qt::Key_Return, 0, IDC_RUN_NOW},
        {IDD_LAUNCHTIMER_DIALOG, IDC_RUN_COMMAND, Qt::Key_Return, IDC_RUN_NOW, kNothing},
        // A focused button that gets disabled (Start, once pressed) leaves Enter to the
        // default button, not to whichever control Qt would focus next.
        {IDD_LAUNCHTIMER_DIALOG, IDC_START, Qt::Key_Return, IDC_START, IDC_RUN_NOW},
        {kEditOnly, 500, Qt::Key_Return, 0, platform::IdOk}, // no default button
        {IDD_ORDER_DIALOG, IDC_FILE_LIST, Qt::Key_Escape, 0, platform::IdCancel},
        {IDD_ORDER_DIALOG, IDC_FILE_LIST, kCloseBox, 0, platform::IdCancel},
        {IDD_LAUNCHTIMER_DIALOG, IDC_RUN_FILES, kClick, 0, IDC_RUN_FILES},
    };
    for (const auto& [tmpl, id, input, disabled, expected] : cases) {
        SCOPED_TRACE(testing::Message() << tmpl << " " << id << " input " << input);
        Shown<TestDialog> b(tmpl == kEditOnly ? editOnly : res::GetTemplate(tmpl));
        QtWindow& w = b.Open();
        QWidget* control = w.Control(id);
        control->setFocus();
        if (disabled)
            w.Enable(disabled, false);
        QWidget* focused = w.focusWidget() ? w.focusWidget() : &w;
        int check = w.GetCheck(id);
        if (input > 0)
            KeyClick(focused, input);
        else if (input == kCloseBox)
            EXPECT_FALSE(w.close());
        else
            Click(control, QPoint(5, control->height() / 2));
        EXPECT_EQ(b.dialog.commands, expected ? std::vector<int>{expected} : std::vector<int>{});
        if (qobject_cast<QCheckBox*>(control) && input == kClick) {
            EXPECT_NE(w.GetCheck(id), check);
        }
        // Only the dialog ends its run.
        EXPECT_TRUE(w.isVisible());
        EXPECT_FALSE(w.IsModalEnded());
    }
}

TEST(QtWindow, TabFromAButtonThatDisabledItselfGoesOnFromItsPlace)
{
    // Start disables itself when pressed from the keyboard; the next Tab or Shift+Tab goes on
    // from its place in the tab order, skipping disabled controls.
    using Case = std::tuple<int, std::vector<int>, int>; // key, also disabled, focus after
    const Case cases[] = {
        {Qt::Key_Backtab, {}, IDC_SETTINGS},
        {Qt::Key_Tab, {}, IDC_STOP},
        {Qt::Key_Tab, {IDC_STOP}, IDC_RESET},
        {Qt::Key_Backtab, {IDC_SETTINGS}, IDC_RUN_NOW},
    };
    for (const auto& [key, alsoDisabled, expected] : cases) {
        SCOPED_TRACE(testing::Message() << "key " << key << " then " << expected);
        Shown<TestDialog> b(res::GetTemplate(IDD_LAUNCHTIMER_DIALOG));
        QtWindow& w = b.Open();
        w.SetFocus(IDC_START);
        for (int id : alsoDisabled)
            w.Enable(id, false);
        w.Enable(IDC_START, false);
        KeyClick(w.focusWidget() ? w.focusWidget() : &w, key);
        EXPECT_EQ(w.GetFocus(), expected);
    }
}

TEST(QtWindow, SettingsFieldsStepTakeDigitsOnlyAndLimitTheFolderTo260Characters)
{
    Shown<CSettingDialog> s;
    const std::string latin1Path = "/srv/caf\xe9/\xff";
    s.dialog.m_strTopDir = latin1Path;
    QtWindow& w = s.Open();

    auto* upDown = static_cast<platform::QtUpDown*>(w.Control(IDC_SECONDS_SPIN));
    QWidget* seconds = w.Control(IDC_SECONDS);
    // The number, up or down, by key or by arrow click, and the number after.
    using Step = std::tuple<const char*, bool, bool, const char*>;
    for (auto [start, up, byKey, expected] : {
             Step{"298", true, false, "300"},
             Step{"12", false, false, "10"},
             Step{"60", true, false, "65"},
             Step{"65", false, true, "60"},
             Step{"298", true, true, "300"},
             Step{"300", true, false, "300"},
             Step{"10", false, true, "10"},
             Step{"5", true, false, "10"},
             Step{"400", false, true, "300"},
         }) {
        SCOPED_TRACE(std::string(start) + (up ? " up" : " down") + (byKey ? " key" : ""));
        w.SetText(IDC_SECONDS, start);
        if (byKey) {
            seconds->setFocus();
            KeyClick(seconds, up ? Qt::Key_Up : Qt::Key_Down);
        } else {
            QToolButton* arrow = up ? upDown->UpButton() : upDown->DownButton();
            Click(arrow, arrow->rect().center());
        }
        EXPECT_EQ(w.GetText(IDC_SECONDS), expected);
    }
    // Docked inside the field's right edge; the field gave up that width.
    EXPECT_EQ(upDown->geometry().right(), w.Units().X(35) + w.Units().X(34) - 1);
    EXPECT_EQ(seconds->geometry().right() + 1, upDown->geometry().left());
    EXPECT_EQ(upDown->height(), seconds->height());

    w.SetText(IDC_SECONDS, "");
    seconds->setFocus();
    TypeText(seconds, QStringLiteral("1a2-3 x"));
    EXPECT_EQ(w.GetText(IDC_SECONDS), "123");

    // A path that is not UTF-8 keeps its bytes until the user edits it.
    auto* folder = static_cast<QLineEdit*>(w.Control(IDC_TOPDIR));
    EXPECT_EQ(w.GetText(IDC_TOPDIR), latin1Path);
    folder->setFocus();
    folder->end(false);
    TypeText(folder, QStringLiteral("x"));
    EXPECT_NE(w.GetText(IDC_TOPDIR), latin1Path);
    EXPECT_EQ(w.GetText(IDC_TOPDIR).back(), 'x');

    // The limit counts UTF-16 code units and stops insertions only; text the program sets is
    // not cut, deleting from it always works, and a paste is cut to fit, never inside a
    // character.
    const std::string a258(258, 'a');
    w.SetText(IDC_TOPDIR, a258);
    folder->end(false);
    TypeText(folder, QStringLiteral("あ"));
    EXPECT_EQ(w.GetText(IDC_TOPDIR), a258 + "あ");
    TypeText(folder, QString::fromUtf8("\U0001F600")); // two units: 261
    EXPECT_EQ(w.GetText(IDC_TOPDIR), a258 + "あ");
    TypeText(folder, QStringLiteral("z"));
    EXPECT_EQ(w.GetText(IDC_TOPDIR), a258 + "あz");
    TypeText(folder, QStringLiteral("y"));
    EXPECT_EQ(w.GetText(IDC_TOPDIR), a258 + "あz");
    w.SetText(IDC_TOPDIR, std::string(300, 'b'));
    EXPECT_EQ(w.GetText(IDC_TOPDIR), std::string(300, 'b'));
    folder->end(false);
    KeyClick(folder, Qt::Key_Backspace);
    EXPECT_EQ(w.GetText(IDC_TOPDIR), std::string(299, 'b'));
    TypeText(folder, QStringLiteral("c"));
    EXPECT_EQ(w.GetText(IDC_TOPDIR), std::string(299, 'b'));
    const std::string a251(251, 'a');
    w.SetText(IDC_TOPDIR, a251);
    folder->home(false);
    folder->insert(QString::fromUtf8("ふぉるだふぉるだ\U0001F600ふ")); // as a paste: 13 units
    EXPECT_EQ(w.GetText(IDC_TOPDIR), "ふぉるだふぉるだ" + a251);
    EXPECT_EQ(folder->cursorPosition(), 8);
    const std::string a250(250, 'a');
    w.SetText(IDC_TOPDIR, a250 + "12345678");
    folder->end(false);
    QInputMethodEvent event; // an input method's commit, cut alike
    event.setCommitString(QString::fromUtf8("ふぉるだ"));
    QApplication::sendEvent(folder, &event);
    EXPECT_EQ(w.GetText(IDC_TOPDIR), a250 + "12345678ふぉ");
}

TEST(QtWindow, CheckListShowsTheChecksAndTogglesThemByMouseAndSpace)
{
    testing_support::TempDir dir;
    dir.Write("01e_a\xff.sh", "");
    dir.Write("02d_b.sh", "");
    testing_support::CwdGuard cwd; // the scan enters the folder
    Shown<COrderDialog> o;
    o.dialog.SetFolder(dir.Path());
    QtWindow& w = o.Open();
    auto* view = static_cast<QListWidget*>(w.Control(IDC_FILE_LIST));
    ASSERT_EQ(view->count(), 2);
    EXPECT_EQ(view->item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(view->item(1)->checkState(), Qt::Unchecked);

    view->setFocus(); // the first item is current
    KeyClick(view, Qt::Key_Space, QStringLiteral(" "));
    EXPECT_EQ(w.ListGetCheck(IDC_FILE_LIST, 0), 0);
    KeyClick(view, Qt::Key_Space, QStringLiteral(" "));
    EXPECT_EQ(w.ListGetCheck(IDC_FILE_LIST, 0), 1);

    QStyleOptionViewItem opt;
    opt.initFrom(view);
    opt.rect = view->visualItemRect(view->item(1));
    opt.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    opt.text = view->item(1)->text();
    QRect box = view->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opt, view);
    ASSERT_TRUE(box.isValid());
    Click(view->viewport(), box.center());
    EXPECT_EQ(view->item(1)->checkState(), Qt::Checked);

    // Moving an item up takes its bytes, data and check along.
    w.ListSetCheck(IDC_FILE_LIST, 0, 0);
    w.ListSetCurSel(IDC_FILE_LIST, 1);
    Click(w.Control(IDC_MOVE_UP), QPoint(5, 5));
    EXPECT_EQ(w.ListGetCurSel(IDC_FILE_LIST), 0);
    EXPECT_EQ(w.ListGetText(IDC_FILE_LIST, 1), "a\xff.sh");
    EXPECT_EQ(w.ListGetItemData(IDC_FILE_LIST, 1), 0);
    EXPECT_EQ(w.ListGetCheck(IDC_FILE_LIST, 1), 0);
    EXPECT_EQ(w.ListGetItemData(IDC_FILE_LIST, 0), 1);
    EXPECT_EQ(view->item(0)->checkState(), Qt::Checked);
}

TEST(QtWindow, CheckListBoxesReadInDarkAndLightPalettesAndCutNamesShowWhole)
{
    Shown<TestDialog> b(res::GetTemplate(IDD_ORDER_DIALOG));
    QtWindow& w = b.Open();
    w.EnableToolTips(res::ToolTipsOf(IDD_ORDER_DIALOG));
    const std::string longName = "とても長い名前の起動ファイル_" + std::string(80, 'x') + ".sh";
    w.ListAddString(IDC_FILE_LIST, longName);
    w.ListAddString(IDC_FILE_LIST, "a.sh");
    w.ListSetCheck(IDC_FILE_LIST, 0, 1);
    auto* view = static_cast<QListWidget*>(w.Control(IDC_FILE_LIST));
    view->clearSelection();
    view->doItemsLayout();
    // The start of a row, as wide as the row is high: its check box and nothing else.
    auto indicator = [view](int row) {
        const QRect item = view->visualItemRect(view->item(row));
        return QRect(item.topLeft(), QSize(item.height(), item.height()));
    };

    for (bool dark : {true, false}) {
        SCOPED_TRACE(dark ? "dark" : "light");
        QPalette palette = view->palette();
        palette.setColor(QPalette::Base, dark ? QColor(0x1e, 0x1e, 0x1e) : Qt::white);
        palette.setColor(QPalette::Text, dark ? QColor(0xe6, 0xe6, 0xe6) : Qt::black);
        palette.setColor(QPalette::Window,
                         dark ? QColor(0x2d, 0x2d, 0x2d) : QColor(0xef, 0xef, 0xef));
        view->setPalette(palette);
        const QImage shot = view->viewport()->grab().toImage();
        const QRect ticked = indicator(0), unticked = indicator(1);
        ASSERT_EQ(ticked.size(), unticked.size());
        ASSERT_TRUE(ticked.isValid());
        // The mark stands out from an unticked box, and an unticked box from the list.
        int mark = 0, edge = 0;
        for (int y = 0; y < ticked.height(); ++y) {
            for (int x = 0; x < ticked.width(); ++x) {
                const QColor on = shot.pixelColor(ticked.topLeft() + QPoint(x, y));
                const QColor off = shot.pixelColor(unticked.topLeft() + QPoint(x, y));
                mark += Contrast(on, off) >= 3;
                edge += Contrast(off, palette.color(QPalette::Base)) >= 3;
            }
        }
        EXPECT_GE(mark, 10);
        EXPECT_GE(edge, 2 * ticked.width());
    }

    // A name cut with "…" shows whole as its tip; a name shown whole keeps the list's own tip.
    const QRect cut = view->visualItemRect(view->item(0));
    const QRect whole = view->visualItemRect(view->item(1));
    EXPECT_EQ(ToolTipOf(view->viewport(), cut.center()), Q(longName));
    EXPECT_EQ(ToolTipOf(view->viewport(), whole.center()), Q(res::LoadText(IDC_FILE_LIST)));
}

TEST(QtWindow, ToolTipsOfTheThreeDialogsAreTheStringsOfTheControlNumbers)
{
    LaunchSettings settings;
    Shown<CLaunchTimerDlg> timer;
    timer.dialog.SetSettings(&settings);
    Shown<CSettingDialog> setting;
    Shown<COrderDialog> order;
    for (QtWindow* w : {&timer.Open(), &setting.Open(), &order.Open()}) {
        for (const auto& c : w->Controls()) {
            SCOPED_TRACE(testing::Message() << w->GetDialog().Template().id << " " << c.id);
            bool none = c.id == platform::kNoId || c.id == IDC_COUNTER || c.id == IDC_STATUS ||
                        c.id == IDC_SECONDS_SPIN;
            // The run-command check box has a text of its own, though its number is 1018.
            const bool own = w == timer.window.get() && c.id == IDC_RUN_COMMAND;
            QString expected =
                none ? QString() : Q(res::LoadText(own ? IDS_TIP_RUN_COMMAND : c.id));
            EXPECT_EQ(expected.isEmpty(), none);
            // What the pointer rests on: the list's viewport, an arrow of the up-down control.
            QWidget* target = c.widget->childAt(c.widget->rect().center());
            EXPECT_EQ(ToolTipOf(target ? target : c.widget), expected);
        }
    }
}

TEST(QtWindow, ATimerKilledInsideItsTickStopsThoughTheTickRunsANestedLoop)
{
    Shown<TestDialog> b(res::GetTemplate(IDD_ABOUTBOX));
    QtWindow& w = b.Open();
    // As the launch at zero does: kill the timer, then show a message box.
    b.dialog.onTimer = [&](std::uintptr_t id) {
        if (b.dialog.ticks.size() != 3)
            return;
        EXPECT_TRUE(w.KillTimer(id));
        QEventLoop box;
        QTimer::singleShot(100, &box, &QEventLoop::quit); // ten intervals
        box.exec();
    };
    EXPECT_EQ(w.SetTimer(7, 10), 7u);
    ASSERT_TRUE(WaitUntil([&] { return b.dialog.ticks.size() >= 3; }));
    QApplication::processEvents();
    EXPECT_EQ(b.dialog.ticks, (std::vector<std::uintptr_t>{7, 7, 7}));
    EXPECT_FALSE(w.KillTimer(7));
}
