// Templates become the right widgets at the right places, and the controls behave as the
// system's dialogs expect them to.
#include <QApplication>
#include <QCheckBox>
#include <QFontInfo>
#include <QHelpEvent>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionViewItem>
#include <QToolButton>
#include <QToolTip>
#include <gtest/gtest.h>
#include <memory>

#include "GuiTestSupport.h"
#include "platform/qt/DialogUnits.h"
#include "platform/qt/QtHost.h"
#include "platform/qt/QtUpDown.h"
#include "platform/qt/QtWindow.h"
#include "res/Strings.h"
#include "res/Templates.h"
#include "res/ToolTip.h"
#include "res/resource.h"

using namespace guitest;
using platform::ControlKind;
using platform::QtWindow;

namespace {

// A window built from a template, shown and active, with the dialog attached.
struct Built
{
    explicit Built(const platform::DialogTemplate& tmpl) : dialog(host, tmpl)
    {
        window = std::make_unique<QtWindow>(dialog, nullptr);
        dialog.Attach(window.get());
        ShowActive(window.get());
    }
    explicit Built(int templateId) : Built(res::GetTemplate(templateId)) {}
    ~Built() { dialog.Attach(nullptr); }

    platform::QtHost host;
    TestDialog dialog;
    std::unique_ptr<QtWindow> window;
};

bool KindMatches(ControlKind kind, QWidget* w)
{
    switch (kind) {
    case ControlKind::Static:
    case ControlKind::Icon:
        return qobject_cast<QLabel*>(w) != nullptr;
    case ControlKind::Edit:
        return qobject_cast<QLineEdit*>(w) != nullptr;
    case ControlKind::PushButton:
        return qobject_cast<QPushButton*>(w) != nullptr;
    case ControlKind::CheckBox:
        return qobject_cast<QCheckBox*>(w) != nullptr;
    case ControlKind::UpDown:
        return qobject_cast<platform::QtUpDown*>(w) != nullptr;
    case ControlKind::CheckList:
        return qobject_cast<QListWidget*>(w) != nullptr;
    }
    return false;
}

// The room a control's style leaves for its text, and the room the text needs; text drawn
// from the top of a static needs its ink to end above the bottom.
struct Fit
{
    int availableWidth;
    int neededWidth;
    int availableHeight;
    int neededHeight;
};

Fit TextFit(QWidget* w, const QString& text)
{
    QFontMetrics fm(w->font());
    QString shown = text;
    shown.remove(u'&');
    int advance = fm.horizontalAdvance(shown);
    if (auto* button = qobject_cast<QPushButton*>(w)) {
        QStyleOptionButton opt;
        opt.initFrom(button);
        opt.text = text;
        QRect r = w->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, w);
        int margin = w->style()->pixelMetric(QStyle::PM_ButtonMargin, &opt, w);
        return {r.width(), advance + margin, r.height(), fm.height()};
    }
    if (auto* box = qobject_cast<QCheckBox*>(w)) {
        QStyleOptionButton opt;
        opt.initFrom(box);
        opt.text = text;
        QRect r = w->style()->subElementRect(QStyle::SE_CheckBoxContents, &opt, w);
        return {r.width(), advance, r.height(), fm.height()};
    }
    QRect ink = fm.tightBoundingRect(shown);
    return {w->contentsRect().width(), std::max(advance, ink.right() + 1),
            w->contentsRect().height(), fm.ascent() + ink.bottom() + 1};
}

} // namespace

TEST(DialogUnits, RoundLikeMulDiv)
{
    using platform::DialogUnits;
    EXPECT_EQ(DialogUnits::MulDiv(66, 7, 4), 116); // 115.5 rounds up
    EXPECT_EQ(DialogUnits::MulDiv(58, 13, 8), 94); // 94.25 rounds down
    EXPECT_EQ(DialogUnits::MulDiv(-66, 7, 4), -116);
    EXPECT_EQ(DialogUnits::MulDiv(5, 1, 0), -1);
    DialogUnits u(7, 13);
    EXPECT_EQ(u.Map(7, 84, 66, 10), QRect(12, 137, 116, 16));
}

TEST(QtWindow, DialogFontsResolveAndGiveTheUnits)
{
    for (int id : res::TemplateIds()) {
        SCOPED_TRACE(id);
        Built b(id);
        QtWindow& w = *b.window;
        EXPECT_EQ(QFontInfo(w.font()).family(), QStringLiteral("IPAPGothic"));
        QFontMetrics fm(w.font());
        int alphabet = fm.horizontalAdvance(
            QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
        EXPECT_EQ(w.Units().BaseX(), (alphabet / 26 + 1) / 2);
        EXPECT_EQ(w.Units().BaseY(), fm.ascent() + fm.descent());
        const platform::DialogTemplate& t = res::GetTemplate(id);
        EXPECT_EQ(w.size(), QSize(w.Units().X(t.cx), w.Units().Y(t.cy)));
        ::testing::Test::RecordProperty("units_" + std::to_string(id),
                                        std::to_string(w.Units().BaseX()) + "x" +
                                            std::to_string(w.Units().BaseY()));
        // Japanese glyphs come from the font itself, not from boxes.
        EXPECT_TRUE(fm.inFont(QChar(u'設')));
        EXPECT_TRUE(fm.inFont(QChar(u'ン')));
    }
}

TEST(QtWindow, EveryTemplateBecomesItsWidgetsWithTheirTexts)
{
    for (int id : res::TemplateIds()) {
        SCOPED_TRACE(id);
        Built b(id);
        const auto& controls = b.window->Controls();
        const platform::DialogTemplate& t = res::GetTemplate(id);
        ASSERT_EQ(controls.size(), t.controls.size());
        for (size_t i = 0; i < controls.size(); ++i) {
            const platform::ControlTemplate& c = t.controls[i];
            SCOPED_TRACE(c.id);
            QWidget* w = controls[i].widget;
            EXPECT_TRUE(KindMatches(c.kind, w));
            EXPECT_EQ(w->parentWidget(), b.window.get());
            if (auto* button = qobject_cast<QAbstractButton*>(w)) {
                EXPECT_EQ(button->text(), FromUtf8(c.text));
            }
            if (auto* label = qobject_cast<QLabel*>(w); label && c.kind == ControlKind::Static) {
                EXPECT_EQ(label->text(), FromUtf8(c.text));
            }
            if (c.kind == ControlKind::Icon) {
                EXPECT_FALSE(qobject_cast<QLabel*>(w)->pixmap().isNull());
            }
            if (auto* button = qobject_cast<QPushButton*>(w)) {
                EXPECT_FALSE(button->autoDefault());
                EXPECT_EQ(button->isDefault(), (c.style & platform::CS_DEFAULT) != 0);
            }
        }
        EXPECT_EQ(b.window->windowTitle(), FromUtf8(t.caption));
    }
}

TEST(QtWindow, ControlsOfTheTimerWindowSitAtTheirDialogUnits)
{
    Built b(IDD_LAUNCHTIMER_DIALOG);
    const auto& u = b.window->Units();
    for (const platform::ControlTemplate& c : res::GetTemplate(IDD_LAUNCHTIMER_DIALOG).controls) {
        SCOPED_TRACE(c.id);
        QRect expected(u.X(c.x), u.Y(c.y), u.X(c.cx), u.Y(c.cy));
        EXPECT_EQ(b.window->Control(c.id)->geometry(), expected);
    }
    // The client area is the template's size.
    EXPECT_EQ(b.window->width(), u.X(215));
    EXPECT_EQ(b.window->height(), u.Y(139));
}

TEST(QtWindow, NoControlClipsItsText)
{
    for (int id : res::TemplateIds()) {
        SCOPED_TRACE(id);
        Built b(id);
        for (const auto& c : b.window->Controls()) {
            if (c.kind != ControlKind::Static && c.kind != ControlKind::PushButton &&
                c.kind != ControlKind::CheckBox)
                continue;
            if (c.text.empty())
                continue;
            SCOPED_TRACE(c.text);
            Fit fit = TextFit(c.widget, FromUtf8(c.text));
            EXPECT_LE(fit.neededWidth, fit.availableWidth);
            EXPECT_LE(fit.neededHeight, fit.availableHeight);
        }
    }
}

TEST(QtWindow, CounterAndStatusLineHoldTheirWidestTexts)
{
    Built b(IDD_LAUNCHTIMER_DIALOG);
    platform::Font counter;
    counter.CreatePointFont(640, "Arial");
    ASSERT_TRUE(b.window->SetFont(IDC_COUNTER, counter));
    b.window->SetText(IDC_COUNTER, "300");
    QWidget* label = b.window->Control(IDC_COUNTER);
    EXPECT_EQ(QFontInfo(label->font()).family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(QFontInfo(label->font()).pointSize(), 64);
    Fit fit = TextFit(label, QStringLiteral("300"));
    ::testing::Test::RecordProperty("counter_300", std::to_string(fit.neededWidth) + "x" +
                                                       std::to_string(fit.neededHeight) + " in " +
                                                       std::to_string(fit.availableWidth) + "x" +
                                                       std::to_string(fit.availableHeight));
    EXPECT_LE(fit.neededWidth, fit.availableWidth);
    EXPECT_LE(fit.neededHeight, fit.availableHeight);

    for (unsigned s : {IDS_STATUS_NOCOMMAND, IDS_STATUS_MESSAGE}) {
        QString text = FromUtf8(res::LoadString(s));
        Fit status = TextFit(b.window->Control(IDC_STATUS), text);
        EXPECT_LE(status.neededWidth, status.availableWidth) << text.toStdString();
        EXPECT_LE(status.neededHeight, status.availableHeight) << text.toStdString();
    }
}

TEST(QtWindow, TabOrderIsTemplateOrder)
{
    for (int id : res::TemplateIds()) {
        SCOPED_TRACE(id);
        Built b(id);
        std::vector<QWidget*> expected;
        for (const auto& c : b.window->Controls())
            if (c.style & platform::CS_TABSTOP)
                expected.push_back(c.widget);
        ASSERT_FALSE(expected.empty());
        std::vector<QWidget*> chain;
        QWidget* w = expected.front();
        do {
            if (w->focusPolicy() & Qt::TabFocus)
                chain.push_back(w);
            w = w->nextInFocusChain();
        } while (w != expected.front() && chain.size() < 100);
        EXPECT_EQ(chain, expected);
        // Statics and the up-down control never take the focus.
        for (const auto& c : b.window->Controls())
            if (c.kind == ControlKind::Static || c.kind == ControlKind::UpDown) {
                EXPECT_EQ(c.widget->focusPolicy(), Qt::NoFocus);
            }
    }
}

TEST(QtWindow, FocusGoesToTheFirstEnabledTabStopWithItsTextSelected)
{
    Built b(IDD_SETTING_DIALOG);
    b.window->SetText(IDC_COMMAND, "/usr/bin/true");
    b.window->FocusFirstTabStop();
    EXPECT_EQ(b.window->GetFocus(), IDC_COMMAND);
    EXPECT_EQ(static_cast<QLineEdit*>(b.window->Control(IDC_COMMAND))->selectedText(),
              QStringLiteral("/usr/bin/true"));

    Built t(IDD_LAUNCHTIMER_DIALOG);
    t.window->Enable(IDC_RUN_COMMAND, false);
    t.window->FocusFirstTabStop();
    EXPECT_EQ(t.window->GetFocus(), IDC_RUN_FILES);
}

TEST(QtWindow, EnterPressesTheFocusedButtonOrTheDefaultOne)
{
    Built b(IDD_SETTING_DIALOG);
    IgnoreCommands(b.dialog);
    QWidget* command = b.window->Control(IDC_COMMAND);
    command->setFocus();
    KeyClick(command, Qt::Key_Return);
    KeyClick(command, Qt::Key_Enter);
    QWidget* cancel = b.window->Control(2);
    cancel->setFocus();
    KeyClick(cancel, Qt::Key_Return);
    QWidget* browse = b.window->Control(IDC_BROWSE_COMMAND);
    browse->setFocus();
    KeyClick(browse, Qt::Key_Return);
    QWidget* ok = b.window->Control(1);
    ok->setFocus();
    KeyClick(ok, Qt::Key_Return);
    EXPECT_EQ(b.dialog.commands, (std::vector<int>{1, 1, 2, IDC_BROWSE_COMMAND, 1}));
}

TEST(QtWindow, EnterSendsNothingWhenTheDefaultButtonIsDisabledAndIdokWithoutOne)
{
    Built t(IDD_LAUNCHTIMER_DIALOG);
    IgnoreCommands(t.dialog);
    QWidget* box = t.window->Control(IDC_RUN_COMMAND);
    box->setFocus();
    KeyClick(box, Qt::Key_Return);
    t.window->Enable(IDC_RUN_NOW, false);
    KeyClick(box, Qt::Key_Return);
    EXPECT_EQ(t.dialog.commands, (std::vector<int>{IDC_RUN_NOW}));

    // A focused button that gets disabled (Start, once pressed) leaves Enter to the default
    // button, as on Windows, not to whichever control Qt would focus next.
    t.window->Enable(IDC_RUN_NOW, true);
    QWidget* start = t.window->Control(IDC_START);
    start->setFocus();
    t.window->Enable(IDC_START, false);
    EXPECT_EQ(t.window->GetFocus(), 0);
    KeyClick(t.window->focusWidget(), Qt::Key_Return);
    EXPECT_EQ(t.dialog.commands, (std::vector<int>{IDC_RUN_NOW, IDC_RUN_NOW}));

    Built e(MakeTemplate({{500, ControlKind::Edit, "", 5, 5, 80, 14, platform::CS_TABSTOP}}));
    IgnoreCommands(e.dialog);
    QWidget* edit = e.window->Control(500);
    edit->setFocus();
    KeyClick(edit, Qt::Key_Return);
    EXPECT_EQ(e.dialog.commands, (std::vector<int>{platform::IDOK}));
}

TEST(QtWindow, EscapeAndTheCloseBoxAskForCancelButDoNotClose)
{
    Built b(IDD_ORDER_DIALOG);
    IgnoreCommands(b.dialog);
    QWidget* list = b.window->Control(IDC_FILE_LIST);
    list->setFocus();
    KeyClick(list, Qt::Key_Escape);
    EXPECT_FALSE(b.window->close());
    EXPECT_TRUE(b.window->isVisible());
    EXPECT_EQ(b.dialog.commands, (std::vector<int>{2, 2}));
    EXPECT_FALSE(b.window->IsModalEnded());
}

TEST(QtWindow, WindowChromeFollowsTheTemplateStyle)
{
    Built settings(IDD_SETTING_DIALOG);
    Qt::WindowFlags f = settings.window->windowFlags();
    EXPECT_FALSE(f & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(f & Qt::CustomizeWindowHint);
    EXPECT_TRUE(f & Qt::WindowTitleHint);

    Built timer(IDD_LAUNCHTIMER_DIALOG);
    Qt::WindowFlags g = timer.window->windowFlags();
    EXPECT_TRUE(g & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(g & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(timer.window->windowType(), Qt::Window); // its own taskbar entry

    Built about(IDD_ABOUTBOX);
    EXPECT_TRUE(about.window->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(about.window->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(about.window->windowType(), Qt::Dialog);
}

TEST(QtWindow, ButtonsAndCheckBoxesSendTheirCommands)
{
    Built t(IDD_LAUNCHTIMER_DIALOG);
    IgnoreCommands(t.dialog);
    auto* box = static_cast<QCheckBox*>(t.window->Control(IDC_RUN_FILES));
    t.window->SetCheck(IDC_RUN_FILES, 1); // set by the program: no command
    EXPECT_EQ(t.window->GetCheck(IDC_RUN_FILES), 1);
    Click(box, QPoint(5, box->height() / 2));
    EXPECT_EQ(t.window->GetCheck(IDC_RUN_FILES), 0);
    box->setFocus();
    KeyClick(box, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    EXPECT_EQ(t.window->GetCheck(IDC_RUN_FILES), 1);
    auto* start = t.window->Control(IDC_START);
    Click(start, start->rect().center());
    t.window->Enable(IDC_STOP, false);
    EXPECT_FALSE(t.window->IsEnabled(IDC_STOP));
    Click(t.window->Control(IDC_STOP), QPoint(3, 3));
    EXPECT_EQ(t.dialog.commands, (std::vector<int>{IDC_RUN_FILES, IDC_RUN_FILES, IDC_START}));
}

TEST(QtWindow, UpDownStepsTheNumberAndStopsAtTheLimits)
{
    Built b(IDD_SETTING_DIALOG);
    b.window->SetUpDownRange(IDC_SECONDS_SPIN, 10, 300);
    b.window->SetUpDownStep(IDC_SECONDS_SPIN, 5);
    auto* upDown = static_cast<platform::QtUpDown*>(b.window->Control(IDC_SECONDS_SPIN));
    QWidget* field = b.window->Control(IDC_SECONDS);
    auto up = [&] { Click(upDown->UpButton(), upDown->UpButton()->rect().center()); };
    auto down = [&] { Click(upDown->DownButton(), upDown->DownButton()->rect().center()); };

    struct Case
    {
        const char* start;
        bool byKey;
        bool isUp;
        const char* expected;
    } cases[] = {
        {"298", false, true, "300"}, {"12", false, false, "10"}, {"60", false, true, "65"},
        {"65", true, false, "60"},   {"298", true, true, "300"}, {"300", false, true, "300"},
        {"10", true, false, "10"},   {"5", false, true, "10"},   {"400", true, false, "300"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.start) + (c.isUp ? " up" : " down"));
        b.window->SetText(IDC_SECONDS, c.start);
        if (c.byKey) {
            field->setFocus();
            KeyClick(field, c.isUp ? Qt::Key_Up : Qt::Key_Down);
        } else if (c.isUp) {
            up();
        } else {
            down();
        }
        EXPECT_EQ(b.window->GetText(IDC_SECONDS), c.expected);
    }
    // Docked inside the field's right edge; the field gave up that width.
    const auto& u = b.window->Units();
    EXPECT_EQ(upDown->geometry().right(), u.X(35) + u.X(34) - 1);
    EXPECT_EQ(field->geometry().right() + 1, upDown->geometry().left());
    EXPECT_EQ(upDown->height(), field->height());
    EXPECT_EQ(upDown->focusPolicy(), Qt::NoFocus);
}

TEST(QtWindow, NumberFieldTakesDigitsOnly)
{
    Built b(IDD_SETTING_DIALOG);
    QWidget* field = b.window->Control(IDC_SECONDS);
    field->setFocus();
    b.window->SetText(IDC_SECONDS, "");
    TypeText(field, QStringLiteral("1a2-3 x"));
    EXPECT_EQ(b.window->GetText(IDC_SECONDS), "123");
    EXPECT_EQ(static_cast<QLineEdit*>(field)->alignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignRight);
}

TEST(QtWindow, LimitCountsUtf8BytesOfTypedTextOnly)
{
    Built b(IDD_SETTING_DIALOG);
    auto* field = static_cast<QLineEdit*>(b.window->Control(IDC_TOPDIR));
    field->setFocus();
    b.window->SetLimitText(IDC_TOPDIR, 10);
    TypeText(field, QStringLiteral("abcdefgh"));
    TypeText(field, QStringLiteral("あ")); // three bytes: 11 > 10
    EXPECT_EQ(b.window->GetText(IDC_TOPDIR), "abcdefgh");
    TypeText(field, QStringLiteral("é")); // two bytes: exactly 10
    EXPECT_EQ(b.window->GetText(IDC_TOPDIR), "abcdefghé");
    TypeText(field, QStringLiteral("z"));
    EXPECT_EQ(b.window->GetText(IDC_TOPDIR), "abcdefghé");

    // Committed by an input method: the whole commit is refused when it does not fit.
    b.window->SetText(IDC_TOPDIR, "");
    field->setFocus();
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("ふぉるだ")); // 12 bytes
    QApplication::sendEvent(field, &commit);
    EXPECT_EQ(b.window->GetText(IDC_TOPDIR), "");
    QInputMethodEvent fits;
    fits.setCommitString(QStringLiteral("ふぉる")); // 9 bytes
    QApplication::sendEvent(field, &fits);
    EXPECT_EQ(b.window->GetText(IDC_TOPDIR), "ふぉる");

    // Text the program sets is not cut.
    b.window->SetText(IDC_TOPDIR, "/home/user/フォルダ");
    EXPECT_EQ(b.window->GetText(IDC_TOPDIR), "/home/user/フォルダ");
}

TEST(QtWindow, TextsKeepTheirBytesUntilTheUserEditsThem)
{
    Built b(IDD_SETTING_DIALOG);
    const std::string latin1Path = "/srv/caf\xe9/\xff";
    b.window->SetText(IDC_TOPDIR, latin1Path);
    EXPECT_EQ(b.window->GetText(IDC_TOPDIR), latin1Path);
    QWidget* field = b.window->Control(IDC_TOPDIR);
    field->setFocus();
    static_cast<QLineEdit*>(field)->end(false);
    TypeText(field, QStringLiteral("x"));
    std::string edited = b.window->GetText(IDC_TOPDIR);
    EXPECT_NE(edited, latin1Path);
    EXPECT_EQ(edited.back(), 'x');
}

TEST(QtWindow, StaticsShowAccessKeysLikeWindowsUnlessNoPrefix)
{
    Built b(MakeTemplate({
        {-1, ControlKind::Static, "名前(&N):", 5, 5, 60, 8, 0},
        {600, ControlKind::Edit, "", 5, 15, 80, 14, platform::CS_TABSTOP},
        {601, ControlKind::Static, "A&B", 5, 35, 60, 8, platform::CS_NOPREFIX},
        {602, ControlKind::Static, "Tom && Jerry &x", 5, 45, 60, 8, 0},
    }));
    auto* named = static_cast<QLabel*>(b.window->Controls()[0].widget);
    EXPECT_EQ(named->buddy(), b.window->Control(600));
    auto* literal = static_cast<QLabel*>(b.window->Control(601));
    EXPECT_EQ(literal->buddy(), nullptr);
    EXPECT_EQ(literal->text(), QStringLiteral("A&B"));
    // No tab stop after it to take the key: shown as Windows shows it.
    EXPECT_EQ(static_cast<QLabel*>(b.window->Control(602))->text(),
              QStringLiteral("Tom & Jerry x"));
    EXPECT_EQ(b.window->GetText(602), "Tom && Jerry &x");
    b.window->SetText(602, "plain");
    EXPECT_EQ(static_cast<QLabel*>(b.window->Control(602))->text(), QStringLiteral("plain"));
}

TEST(QtWindow, CheckListKeepsTextDataAndCheckPerItem)
{
    Built b(IDD_ORDER_DIALOG);
    QtWindow& w = *b.window;
    const int list = IDC_FILE_LIST;
    EXPECT_EQ(w.ListAddString(list, "b.sh"), 0);
    EXPECT_EQ(w.ListAddString(list, "\xe3\x81\x82.txt"), 1);
    EXPECT_EQ(w.ListInsertString(list, 0, "a\xff.bin"), 0);
    EXPECT_EQ(w.ListInsertString(list, -1, "z"), 3);
    EXPECT_EQ(w.ListInsertString(list, 9, "bad"), -1);
    ASSERT_EQ(w.ListGetCount(list), 4);
    EXPECT_EQ(w.ListGetText(list, 0), "a\xff.bin"); // bytes kept
    EXPECT_EQ(w.ListGetText(list, 2), "\xe3\x81\x82.txt");
    for (int i = 0; i < 4; ++i)
        w.ListSetItemData(list, i, 100 + i);
    w.ListSetCheck(list, 1, 1);
    EXPECT_EQ(w.ListGetCheck(list, 1), 1);
    EXPECT_EQ(w.ListGetCheck(list, 0), 0);
    EXPECT_EQ(w.ListGetItemData(list, 3), 103);
    EXPECT_EQ(w.ListGetItemData(list, 4), -1);

    EXPECT_EQ(w.ListGetCurSel(list), -1);
    w.ListSetCurSel(list, 2);
    EXPECT_EQ(w.ListGetCurSel(list), 2);
    // Deleting an item takes its data and check with it.
    w.ListDeleteString(list, 1);
    EXPECT_EQ(w.ListGetCount(list), 3);
    EXPECT_EQ(w.ListGetItemData(list, 1), 102);
    EXPECT_EQ(w.ListGetCheck(list, 1), 0);
    w.ListSetCurSel(list, -1);
    EXPECT_EQ(w.ListGetCurSel(list), -1);
}

TEST(QtWindow, CheckListTogglesByMouseAndSpace)
{
    Built b(IDD_ORDER_DIALOG);
    QtWindow& w = *b.window;
    const int list = IDC_FILE_LIST;
    w.ListAddString(list, "01e_a.sh");
    w.ListAddString(list, "b.sh");
    w.ListSetCheck(list, 0, 1);
    w.ListSetCurSel(list, 0);
    auto* view = static_cast<QListWidget*>(w.Control(list));
    view->setFocus();
    KeyClick(view, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    EXPECT_EQ(w.ListGetCheck(list, 0), 0);
    KeyClick(view, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    EXPECT_EQ(w.ListGetCheck(list, 0), 1);

    QStyleOptionViewItem opt;
    opt.initFrom(view);
    opt.rect = view->visualItemRect(view->item(1));
    opt.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    opt.text = view->item(1)->text();
    QRect check = view->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opt, view);
    ASSERT_TRUE(check.isValid());
    Click(view->viewport(), check.center());
    EXPECT_EQ(w.ListGetCheck(list, 1), 1);
    EXPECT_EQ(w.ListGetCheck(list, 0), 1);
}

TEST(QtWindow, ToolTipsComeFromTheLookupByControlId)
{
    Built b(IDD_SETTING_DIALOG);
    auto tipFor = [&](QWidget* target) -> QString {
        QToolTip::hideText();
        WaitUntil([] { return !QToolTip::isVisible(); });
        QPoint at = target->rect().center();
        QHelpEvent help(QEvent::ToolTip, at, target->mapToGlobal(at));
        QApplication::sendEvent(target, &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    // Nothing before tooltips are enabled.
    EXPECT_EQ(tipFor(b.window->Control(IDC_SECONDS)), QString());
    b.window->EnableToolTips(res::OnToolTipNotify);
    EXPECT_EQ(tipFor(b.window->Control(IDC_SECONDS)),
              QStringLiteral("実行までの秒数(10-300)を入力します。"));
    EXPECT_EQ(tipFor(b.window->Control(IDC_BROWSE_FOLDER)), FromUtf8(res::LoadString(1018)));
    EXPECT_EQ(tipFor(b.window->Control(ID_HELP)), FromUtf8(res::LoadString(ID_HELP)));
    // Labels (-1) and the up-down control (no string of its own) show nothing; the arrows are
    // part of the up-down control.
    EXPECT_EQ(tipFor(b.window->Controls()[0].widget), QString());
    auto* upDown = static_cast<platform::QtUpDown*>(b.window->Control(IDC_SECONDS_SPIN));
    EXPECT_EQ(tipFor(upDown->UpButton()), QString());
    QToolTip::hideText();

    Built order(IDD_ORDER_DIALOG);
    order.window->EnableToolTips(res::OnToolTipNotify);
    order.window->ListAddString(IDC_FILE_LIST, "a.sh");
    auto* view = static_cast<QListWidget*>(order.window->Control(IDC_FILE_LIST));
    EXPECT_EQ(tipFor(view->viewport()), FromUtf8(res::LoadString(IDC_FILE_LIST)));
    QToolTip::hideText();
}

TEST(QtWindow, WindowMenuHoldsTheAppendedItemsAndSendsTheirCommand)
{
    Built t(IDD_LAUNCHTIMER_DIALOG);
    EXPECT_EQ(t.window->CreateWindowMenu(nullptr), nullptr);
    t.window->AppendSystemMenu(0, "");
    t.window->AppendSystemMenu(IDM_ABOUTBOX, res::LoadString(IDS_ABOUTBOX));
    std::unique_ptr<QMenu> menu(t.window->CreateWindowMenu(nullptr));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions().size(), 2);
    EXPECT_TRUE(menu->actions()[0]->isSeparator());
    EXPECT_EQ(menu->actions()[1]->text(), QStringLiteral("バージョン情報 Hanavo(&A)..."));
    EXPECT_EQ(menu->actions()[1]->data().toUInt(), IDM_ABOUTBOX);

    // A right click opens it; the access key chooses the item.
    bool seen = false;
    Later([&] {
        WaitUntil([] { return QApplication::activePopupWidget() != nullptr; });
        QWidget* popup = QApplication::activePopupWidget();
        seen = qobject_cast<QMenu*>(popup) != nullptr;
        if (popup)
            KeyClick(popup, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    });
    QPoint at(20, 20);
    QContextMenuEvent right(QContextMenuEvent::Mouse, at, t.window->mapToGlobal(at));
    QApplication::sendEvent(t.window.get(), &right);
    EXPECT_TRUE(seen);
    EXPECT_EQ(t.dialog.sysCommands, (std::vector<unsigned>{IDM_ABOUTBOX}));
}

TEST(QtWindow, TitleIconAndTopmost)
{
    Built t(IDD_LAUNCHTIMER_DIALOG);
    t.window->SetTitle("Hanavo(停止中)");
    EXPECT_EQ(t.window->GetTitle(), "Hanavo(停止中)");
    EXPECT_EQ(t.window->windowTitle(), QStringLiteral("Hanavo(停止中)"));
    t.window->SetIcon(IDR_MAINFRAME, true);
    t.window->SetIcon(IDR_MAINFRAME, false);
    QIcon icon = t.window->windowIcon();
    for (int size : {16, 32, 48})
        EXPECT_EQ(icon.pixmap(QSize(size, size), 1.0).size(), QSize(size, size)) << size;
    QPoint before = t.window->pos();
    QSize size = t.window->size();
    t.window->SetTopmost();
    EXPECT_TRUE(t.window->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(t.window->isVisible());
    EXPECT_EQ(t.window->pos(), before);
    EXPECT_EQ(t.window->size(), size);
    ASSERT_TRUE(WaitUntil([&] { return t.window->isActiveWindow(); }));
    EXPECT_TRUE(t.window->ForceForeground());
    t.window->hide();
    EXPECT_FALSE(t.window->ForceForeground());
}

TEST(QtWindow, TimersReturnIdsAndKillOnlyRunningOnes)
{
    Built b(IDD_ABOUTBOX);
    QtWindow& w = *b.window;
    EXPECT_EQ(w.SetTimer(1, 1000), 1u);
    std::uintptr_t other = w.SetTimer(0, 1000);
    EXPECT_NE(other, 0u);
    EXPECT_NE(other, 1u);
    EXPECT_TRUE(w.KillTimer(1));
    EXPECT_FALSE(w.KillTimer(1));
    EXPECT_FALSE(w.KillTimer(77));
    EXPECT_TRUE(w.KillTimer(other));

    // Ticks carry their id; a timer killed inside its own tick stops.
    b.dialog.onTimer = [&](std::uintptr_t id) {
        if (b.dialog.ticks.size() == 3)
            w.KillTimer(id);
    };
    EXPECT_EQ(w.SetTimer(7, 10), 7u);
    ASSERT_TRUE(WaitUntil([&] { return b.dialog.ticks.size() >= 3; }));
    QApplication::processEvents();
    EXPECT_EQ(b.dialog.ticks, (std::vector<std::uintptr_t>{7, 7, 7}));
    EXPECT_FALSE(w.KillTimer(7));
}
