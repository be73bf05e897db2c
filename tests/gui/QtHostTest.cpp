// Modal runs and their nesting, the window menu, message boxes, the file chooser and the end of
// the session.
#include <QAbstractItemView>
#include <QComboBox>
#include <QFileDialog>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTextBrowser>
#include <csignal>
#include <gtest/gtest.h>
#include <unistd.h>

#include "GuiTestSupport.h"
#include "app/LaunchSettings.h"
#include "platform/qt/HelpWindow.h"
#include "res/Strings.h"
#include "res/Templates.h"
#include "res/resource.h"
#include "support/TempDir.h"
#include "timer/CLaunchTimerDlg.h"

using namespace guitest;
using platform::IdCancel;
using platform::QtHost;

namespace {

template <typename T> T* FindVisible()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* t = qobject_cast<T*>(w); t && t->isVisible())
            return t;
    return nullptr;
}

// Answers the next chooser from inside its run; whatever fn leaves open is cancelled.
void OnChooser(std::function<void(QFileDialog&)> fn)
{
    Later([fn] {
        ASSERT_TRUE(WaitUntil([] { return FindVisible<QFileDialog>() != nullptr; }));
        QFileDialog* chooser = FindVisible<QFileDialog>();
        if (fn)
            fn(*chooser);
        if (chooser->isVisible())
            chooser->reject();
    });
}

// The names the chooser lists, once there are `count` of them.
QStringList Listed(QFileDialog& chooser, int count)
{
    auto* view = chooser.findChild<QAbstractItemView*>(QStringLiteral("listView"));
    QStringList names;
    WaitUntil([&] {
        names.clear();
        for (int r = 0; view && r < view->model()->rowCount(view->rootIndex()); ++r)
            names << view->model()->index(r, 0, view->rootIndex()).data().toString();
        return names.size() == count;
    });
    names.sort();
    return names;
}

} // namespace

TEST(QtHost, AboutBoxFromTheContextMenuOpensWhileTheCountGoesOn)
{
    QtHost host;
    LaunchSettings settings;
    settings.m_nSeconds = 300;
    settings.m_strCommand = "/usr/bin/true";
    CLaunchTimerDlg timer(host);
    timer.SetSettings(&settings);
    host.SetMainWindow(&timer);
    QStringList shown; // the menu's items: "-" for a separator, else text and command
    QString atOpen, later;
    QObject scope; // what is still waiting when the test ends
    Later([&] {
        QtWindow* w = host.OpenWindows().front();
        auto counter = [w] { return static_cast<QLabel*>(w->Control(IDC_COUNTER))->text(); };
        Click(w->Control(IDC_START), QPoint(5, 5));
        When([] { return QApplication::activePopupWidget() != nullptr; },
             [&] {
                 auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                 ASSERT_NE(menu, nullptr);
                 for (QAction* a : menu->actions())
                     shown << (a->isSeparator() ? QStringLiteral("-")
                                                : a->text() + u' ' + a->data().toString());
                 KeyClick(menu, Qt::Key_A, QStringLiteral("a")); // the item's access key
                 if (menu->isVisible())
                     menu->close();
             },
             &scope);
        // The About box runs inside the menu's handler, while the count goes on.
        When([&] { return host.OpenWindows().size() == 2; },
             [&] {
                 QtWindow* about = host.OpenWindows().back();
                 atOpen = counter();
                 When([&] { return counter() != atOpen; },
                      [&, about] {
                          later = counter();
                          KeyClick(about, Qt::Key_Escape);
                      },
                      &scope);
             },
             &scope);
        QPoint at(20, 20);
        QContextMenuEvent right(QContextMenuEvent::Mouse, at, w->mapToGlobal(at));
        QApplication::sendEvent(w, &right);
        timer.EndDialog(IdCancel);
    });
    EXPECT_EQ(timer.DoModal(), IdCancel);
    host.SetMainWindow(nullptr);
    ASSERT_GE(shown.size(), 2);
    EXPECT_EQ(shown.mid(shown.size() - 2),
              (QStringList{"-", QString::fromStdString(res::LoadText(IDS_ABOUTBOX)) + " 16"}));
    EXPECT_EQ(later.toInt(), atOpen.toInt() - 1);
}

TEST(QtHost, TerminationSignalEndsEveryModalRunInnermostFirst)
{
    QtHost host;
    TestDialog outer(host, res::GetTemplate(IDD_LAUNCHTIMER_DIALOG));
    TestDialog inner(host, res::GetTemplate(IDD_SETTING_DIALOG));
    // Neither dialog ever agrees to close by itself.
    host.SetMainWindow(&outer);
    std::vector<std::string> order;
    bool laterBoxShown = true;
    int laterRun = 0;
    Later([&] {                                                    // in the outer run
        When([&] { return host.OpenWindows().size() == 2; }, [&] { // in the inner run
            Later([&] {                                            // in the message box
                ASSERT_TRUE(WaitUntil([] { return FindVisible<QMessageBox>() != nullptr; }));
                QMessageBox* box = FindVisible<QMessageBox>();
                // Owned by the innermost dialog, captioned with the application's name, and
                // the text (a user's) never taken for markup.
                EXPECT_EQ(box->windowTitle(), QStringLiteral("Hanavo"));
                EXPECT_EQ(box->text(), QStringLiteral("<b>閉じない</b> &"));
                EXPECT_EQ(box->textFormat(), Qt::PlainText);
                QtWindow* innerWindow = host.OpenWindows().back();
                // In the dialogs' font, and with the arrow over it though a launch waits.
                EXPECT_EQ(
                    QFontInfo(box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))->font())
                        .family(),
                    QStringLiteral("IPAPGothic"));
                ASSERT_NE(QApplication::overrideCursor(), nullptr);
                EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::ArrowCursor);
                EXPECT_EQ(box->parentWidget(), innerWindow);
                EXPECT_EQ(innerWindow->parentWidget(), host.OpenWindows().front());
                EXPECT_EQ(innerWindow->GetFocus(), IDC_COMMAND); // the first tab stop
                ::kill(::getpid(), SIGTERM);
            });
            host.SetCursor(platform::Cursor::Wait);
            int answer = host.ShowMessage("<b>閉じない</b> &", platform::MessageIcon::Exclamation);
            order.push_back("box " + std::to_string(answer));
            EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
            host.SetCursor(platform::Cursor::Arrow);
            // Nothing new is shown once the session ends.
            Later([&] { laterBoxShown = FindVisible<QMessageBox>() != nullptr; });
            host.ShowMessage("もう一つ", platform::MessageIcon::Information);
            TestDialog late(host, res::GetTemplate(IDD_ABOUTBOX));
            laterRun = late.DoModal();
        });
        order.push_back("inner " + std::to_string(inner.DoModal()));
    });
    order.push_back("outer " + std::to_string(outer.DoModal()));
    QApplication::processEvents();
    host.SetMainWindow(nullptr);
    EXPECT_TRUE(host.SessionEnding());
    EXPECT_EQ(order, (std::vector<std::string>{"box 1", "inner 2", "outer 2"}));
    EXPECT_FALSE(laterBoxShown);
    EXPECT_EQ(laterRun, IdCancel);
    // Each window went away once, and with it the dialog's hold on it.
    EXPECT_EQ(inner.destroyed + outer.destroyed, 2);
    EXPECT_EQ(inner.GetWindow(), nullptr);
    EXPECT_TRUE(host.OpenWindows().empty());
}

TEST(QtHost, ChoosersFilterTheFolderAndReturnThePathBytes)
{
    testing_support::TempDir dir;
    dir.Write("tool", "#!/bin/sh\n", true);
    for (const char* name : {"notes.txt", "Setup.EXE", "plain", "x.exe.txt"})
        dir.Write(name, "");
    dir.MakeDir("起動"); // listed under either filter
    const QString path = QString::fromStdString(dir.Path());
    QtHost host;
    TestDialog d(host, res::GetTemplate(IDD_SETTING_DIALOG));
    const std::string filter = res::LoadText(IDS_FILE_FILTER);

    QStringList executables, everything;
    OnChooser([&](QFileDialog& chooser) {
        auto* types = chooser.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        ASSERT_NE(types, nullptr);
        EXPECT_EQ(types->currentIndex(), 0); // the executables
        chooser.setDirectory(path);
        executables = Listed(chooser, 3); // the folder too
        // As a user's choice in the list does it.
        types->setCurrentIndex(1);
        emit types->activated(1);
        emit types->textActivated(types->itemText(1));
        everything = Listed(chooser, 6);
        chooser.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText("tool");
        static_cast<QDialog&>(chooser).accept();
    });
    EXPECT_EQ(host.ChooseFile(d, filter), dir / "tool");
    EXPECT_EQ(executables, (QStringList{"Setup.EXE", "tool", "起動"}));
    EXPECT_EQ(everything,
              (QStringList{"Setup.EXE", "notes.txt", "plain", "tool", "x.exe.txt", "起動"}));
    OnChooser({});
    EXPECT_FALSE(host.ChooseFile(d, filter).has_value());
}

TEST(QtHost, HelpWindowClosesWithEscAndCtrlW)
{
    QtHost host;
    for (auto [key, modifiers, closes] : {std::tuple{Qt::Key_W, Qt::NoModifier, false},
                                          std::tuple{Qt::Key_Escape, Qt::NoModifier, true},
                                          std::tuple{Qt::Key_W, Qt::ControlModifier, true}}) {
        SCOPED_TRACE(QKeySequence(key | modifiers).toString().toStdString());
        host.ShowHelp();
        ASSERT_TRUE(host.Help()->isVisible());
        // Where the keys go while the user reads.
        QWidget* reading = host.Help()->Browser();
        QKeyEvent press(QEvent::KeyPress, key, modifiers, key == Qt::Key_W ? "w" : "");
        QApplication::sendEvent(reading, &press);
        EXPECT_EQ(host.Help()->isVisible(), !closes);
    }
}
