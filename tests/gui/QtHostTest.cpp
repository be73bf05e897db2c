// Modal runs, message boxes, choosers, help, cursors, the title search and the session end.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <csignal>
#include <gtest/gtest.h>
#include <unistd.h>

#include "GuiTestSupport.h"
#include "platform/qt/FileFilterProxy.h"
#include "platform/qt/HelpWindow.h"
#include "platform/qt/QtHost.h"
#include "platform/qt/QtWindow.h"
#include "res/Strings.h"
#include "res/Templates.h"
#include "res/resource.h"

using namespace guitest;
using platform::IDCANCEL;
using platform::IDOK;
using platform::QtHost;
using platform::QtWindow;

namespace {

template <typename T> T* FindVisible()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* t = qobject_cast<T*>(w); t && t->isVisible())
            return t;
    return nullptr;
}

// Closes a dialog a failed check left open, so that a failure does not hang the run.
struct RejectOnExit
{
    QDialog* dialog;
    ~RejectOnExit()
    {
        if (dialog && dialog->isVisible())
            dialog->reject();
    }
};

QtWindow* WindowOf(platform::Dialog& d)
{
    return dynamic_cast<QtWindow*>(d.GetWindow());
}

bool MakeFile(const QString& path, bool executable)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write("#!/bin/sh\n");
    f.close();
    if (executable)
        f.setPermissions(f.permissions() | QFile::ExeOwner);
    return true;
}

} // namespace

TEST(QtHost, ModalRunEndsOnlyThroughEndDialog)
{
    QtHost host;
    TestDialog d(host, res::GetTemplate(IDD_SETTING_DIALOG));
    bool refuse = true;
    d.onCommand = [&](int id) {
        if (id == IDCANCEL && !refuse)
            d.EndDialog(IDCANCEL);
    };
    bool checked = false;
    Later([&] {
        QtWindow* w = WindowOf(d);
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(w->GetFocus(), IDC_COMMAND);
        w->close(); // refused by the dialog
        EXPECT_TRUE(w->isVisible());
        refuse = false;
        w->close();
        checked = true;
    });
    EXPECT_EQ(d.DoModal(), IDCANCEL);
    EXPECT_TRUE(checked);
    EXPECT_EQ(d.commands, (std::vector<int>{IDCANCEL, IDCANCEL}));
    EXPECT_EQ(d.destroyed, 1);
    EXPECT_EQ(d.GetWindow(), nullptr);
    EXPECT_TRUE(host.OpenWindows().empty());
}

TEST(QtHost, EndDialogDuringSetUpNeverShowsTheWindow)
{
    QtHost host;
    TestDialog d(host, res::GetTemplate(IDD_ABOUTBOX));
    bool shown = true;
    d.onInit = [&] {
        d.EndDialog(42);
        Later([&] { shown = WindowOf(d) && WindowOf(d)->isVisible(); });
        return true;
    };
    EXPECT_EQ(d.DoModal(), 42);
    QApplication::processEvents();
    EXPECT_FALSE(shown);
    EXPECT_EQ(d.destroyed, 1);
}

TEST(QtHost, NestedDialogsAreOwnedByTheInnermostAndModalToIt)
{
    QtHost host;
    TestDialog outer(host, res::GetTemplate(IDD_LAUNCHTIMER_DIALOG));
    TestDialog inner(host, res::GetTemplate(IDD_SETTING_DIALOG));
    host.SetMainWindow(&outer);
    int innerResult = 0;
    outer.onInit = [&] {
        Later([&] {
            inner.onInit = [&] {
                Later([&] {
                    EXPECT_EQ(host.OpenWindows().size(), 2u);
                    QtWindow* w = WindowOf(inner);
                    EXPECT_EQ(w->parentWidget(), WindowOf(outer));
                    EXPECT_EQ(w->windowModality(), Qt::WindowModal);
                    EXPECT_TRUE(w->isModal());
                    KeyClick(w->Control(IDC_COMMAND), Qt::Key_Escape);
                });
                return true;
            };
            innerResult = inner.DoModal();
            outer.EndDialog(IDOK);
        });
        return true;
    };
    EXPECT_EQ(outer.DoModal(), IDOK);
    EXPECT_EQ(innerResult, IDCANCEL);
    host.SetMainWindow(nullptr);
}

TEST(QtHost, MessageBoxIsPlainModalAndCaptionedWithTheAppName)
{
    QtHost host;
    TestDialog d(host, res::GetTemplate(IDD_LAUNCHTIMER_DIALOG));
    host.SetMainWindow(&d);
    int answer = 0;
    d.onInit = [&] {
        Later([&] {
            Later([&] {
                ASSERT_TRUE(WaitUntil([] { return FindVisible<QMessageBox>() != nullptr; }));
                QMessageBox* box = FindVisible<QMessageBox>();
                EXPECT_EQ(box->windowTitle(), QStringLiteral("Hanavo"));
                EXPECT_EQ(box->text(), QStringLiteral("<b>起動</b> & done"));
                EXPECT_EQ(box->textFormat(), Qt::PlainText);
                EXPECT_EQ(box->icon(), QMessageBox::Information);
                EXPECT_EQ(box->parentWidget(), WindowOf(d));
                EXPECT_EQ(box->windowModality(), Qt::WindowModal);
                box->button(QMessageBox::Ok)->click();
            });
            answer = host.MessageBox("<b>起動</b> & done", platform::MessageIcon::Information);
            d.EndDialog(IDOK);
        });
        return true;
    };
    EXPECT_EQ(d.DoModal(), IDOK);
    EXPECT_EQ(answer, IDOK);
    host.SetMainWindow(nullptr);
}

TEST(QtHost, TimersTickInsideANestedMessageBox)
{
    QtHost host;
    TestDialog d(host, res::GetTemplate(IDD_LAUNCHTIMER_DIALOG));
    size_t ticksBeforeBox = 0;
    size_t ticksInBox = 0;
    bool boxOpen = false;
    d.onInit = [&] {
        EXPECT_NE(d.GetWindow()->SetTimer(1, 10), 0u);
        return true;
    };
    d.onTimer = [&](std::uintptr_t) {
        if (boxOpen) {
            if (++ticksInBox == 3)
                FindVisible<QMessageBox>()->button(QMessageBox::Ok)->click();
            return;
        }
        if (ticksBeforeBox++ == 0) {
            boxOpen = true;
            host.MessageBox("tick", platform::MessageIcon::Exclamation);
            boxOpen = false;
            d.EndDialog(IDOK);
        }
    };
    EXPECT_EQ(d.DoModal(), IDOK);
    EXPECT_EQ(ticksBeforeBox, 1u);
    EXPECT_EQ(ticksInBox, 3u);
}

TEST(QtHost, CursorOverridesDoNotPileUp)
{
    QtHost host;
    host.SetCursor(platform::Cursor::Wait);
    host.SetCursor(platform::Cursor::Wait);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QApplication::restoreOverrideCursor();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    host.SetCursor(platform::Cursor::Wait);
    host.SetCursor(platform::Cursor::Arrow);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(FileFilter, ParsesLabelsAndPatternsAsStored)
{
    auto filters = platform::ParseFileFilter(res::LoadString(IDS_FILE_FILTER));
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(filters[0].label, QStringLiteral("実行ファイル(*.exe,*.bat,*vbs,*.js)"));
    EXPECT_EQ(filters[0].patterns, (QStringList{"*.exe", "*.bat", "*.vbs", "*.js"}));
    EXPECT_TRUE(filters[0].executables);
    EXPECT_EQ(filters[1].label, QStringLiteral("すべてのファイル(*.*)"));
    EXPECT_FALSE(filters[1].executables);
    EXPECT_TRUE(platform::ParseFileFilter("").empty());
    EXPECT_TRUE(platform::ParseFileFilter("||").empty());
}

TEST(FileFilter, ExecutablesFilterAlsoTakesFilesWithAnExecuteBit)
{
    platform::FileFilterProxy proxy(platform::ParseFileFilter(res::LoadString(IDS_FILE_FILTER)));
    struct Case
    {
        const char* name;
        bool executable;
        bool inExecutables;
    } cases[] = {
        {"setup.exe", false, true},  {"SETUP.EXE", false, true}, {"run.bat", false, true},
        {"a.vbs", false, true},      {"b.js", false, true},      {"backup", true, true},
        {"notes.txt", false, false}, {"notes", false, false},    {"x.exe.txt", false, false},
    };
    for (const Case& c : cases) {
        proxy.SelectFilter(0);
        EXPECT_EQ(proxy.Accepts(QString::fromUtf8(c.name), c.executable), c.inExecutables)
            << c.name;
        proxy.SelectFilter(1); // "*.*" matches names without a dot too
        EXPECT_TRUE(proxy.Accepts(QString::fromUtf8(c.name), c.executable)) << c.name;
    }
}

TEST(QtHost, FileChooserShowsTheLabelsAndFiltersTheFolder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(MakeFile(dir.filePath("tool"), true));
    ASSERT_TRUE(MakeFile(dir.filePath("notes.txt"), false));
    ASSERT_TRUE(MakeFile(dir.filePath("Setup.EXE"), false));
    ASSERT_TRUE(MakeFile(dir.filePath("plain"), false));

    QtHost host;
    TestDialog d(host, res::GetTemplate(IDD_SETTING_DIALOG));
    std::optional<std::string> chosen;
    std::optional<std::string> cancelled = std::string("not run");
    QStringList labels, executables, everything;
    int selectedAtOpen = -1;
    auto listed = [](QFileDialog* chooser) {
        auto* view = chooser->findChild<QAbstractItemView*>(QStringLiteral("listView"));
        QStringList names;
        if (!view)
            return names;
        QAbstractItemModel* m = view->model();
        for (int r = 0; r < m->rowCount(view->rootIndex()); ++r)
            names << m->index(r, 0, view->rootIndex()).data().toString();
        names.sort();
        return names;
    };
    d.onInit = [&] {
        Later([&] {
            Later([&] {
                ASSERT_TRUE(WaitUntil([] { return FindVisible<QFileDialog>() != nullptr; }));
                QFileDialog* chooser = FindVisible<QFileDialog>();
                RejectOnExit guard{chooser};
                EXPECT_TRUE(chooser->testOption(QFileDialog::DontUseNativeDialog));
                auto* types = chooser->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
                ASSERT_NE(types, nullptr);
                for (int i = 0; i < types->count(); ++i)
                    labels << types->itemText(i);
                selectedAtOpen = types->currentIndex();
                chooser->setDirectory(dir.path());
                WaitUntil([&] { return listed(chooser).size() == 2; });
                executables = listed(chooser);
                // As a user's choice in the list does it.
                types->setCurrentIndex(1);
                emit types->activated(1);
                emit types->textActivated(types->itemText(1));
                WaitUntil([&] { return listed(chooser).size() == 4; });
                everything = listed(chooser);
                // The user types the name and accepts.
                auto* name = chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                ASSERT_NE(name, nullptr);
                name->setText(QStringLiteral("tool"));
                static_cast<QDialog*>(chooser)->accept();
            });
            chosen = host.ChooseFile(d, res::LoadString(IDS_FILE_FILTER));
            Later([&] {
                ASSERT_TRUE(WaitUntil([] { return FindVisible<QFileDialog>() != nullptr; }));
                FindVisible<QFileDialog>()->reject();
            });
            cancelled = host.ChooseFile(d, res::LoadString(IDS_FILE_FILTER));
            d.EndDialog(IDOK);
        });
        return true;
    };
    EXPECT_EQ(d.DoModal(), IDOK);
    EXPECT_EQ(labels,
              (QStringList{"実行ファイル(*.exe,*.bat,*vbs,*.js)", "すべてのファイル(*.*)"}));
    EXPECT_EQ(selectedAtOpen, 0);
    EXPECT_EQ(executables, (QStringList{"Setup.EXE", "tool"}));
    EXPECT_EQ(everything, (QStringList{"Setup.EXE", "notes.txt", "plain", "tool"}));
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, QFile::encodeName(dir.filePath("tool")).toStdString());
    EXPECT_FALSE(cancelled.has_value());
}

TEST(QtHost, FolderChooserOffersFoldersOnlyUnderTheGivenTitle)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("起動")));
    QtHost host;
    TestDialog d(host, res::GetTemplate(IDD_SETTING_DIALOG));
    std::optional<std::string> chosen, cancelled = std::string("not run");
    QString title;
    bool dirsOnly = false;
    d.onInit = [&] {
        Later([&] {
            Later([&] {
                ASSERT_TRUE(WaitUntil([] { return FindVisible<QFileDialog>() != nullptr; }));
                QFileDialog* chooser = FindVisible<QFileDialog>();
                RejectOnExit guard{chooser};
                title = chooser->windowTitle();
                dirsOnly = chooser->testOption(QFileDialog::ShowDirsOnly) &&
                           chooser->fileMode() == QFileDialog::Directory &&
                           chooser->testOption(QFileDialog::DontUseNativeDialog);
                chooser->setDirectory(dir.path());
                auto* name = chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                ASSERT_NE(name, nullptr);
                name->setText(QStringLiteral("起動"));
                static_cast<QDialog*>(chooser)->accept();
            });
            chosen = host.ChooseFolder(d, "ショートカットの保存先");
            Later([&] {
                ASSERT_TRUE(WaitUntil([] { return FindVisible<QFileDialog>() != nullptr; }));
                FindVisible<QFileDialog>()->reject();
            });
            cancelled = host.ChooseFolder(d, "ショートカットの保存先");
            d.EndDialog(IDOK);
        });
        return true;
    };
    d.DoModal();
    EXPECT_EQ(title, QStringLiteral("ショートカットの保存先"));
    EXPECT_TRUE(dirsOnly);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, dir.filePath(QStringLiteral("起動")).toStdString());
    EXPECT_FALSE(cancelled.has_value());
}

TEST(QtHost, HelpShowsTheBundledJapanesePageInOneWindow)
{
    QtHost host;
    host.ShowHelp();
    platform::HelpWindow* help = host.Help();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    QString text = help->Browser()->toPlainText();
    for (const char* needle : {"01e_setup.sh", "自動モード", "hanavo -a", "10 から 300", "msg",
                               "アクセスが拒否されました", "関連付けられていません"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(needle))) << needle;
    help->close();
    host.ShowHelp();
    EXPECT_EQ(host.Help(), help);
    EXPECT_TRUE(help->isVisible());
}

TEST(QtHost, FindsItsOwnWindowsByExactTitleWithoutX11)
{
    QtHost host;
    std::string title = "Hanavo(検索) " + std::to_string(::getpid());
    EXPECT_FALSE(host.FindWindow(title));
    {
        TestDialog d(host, res::GetTemplate(IDD_ABOUTBOX));
        QtWindow w(d, nullptr);
        w.SetTitle(title);
        EXPECT_TRUE(host.FindWindow(title));
        EXPECT_FALSE(host.FindWindow(title + " "));
        EXPECT_FALSE(host.FindWindow(title.substr(0, title.size() - 1)));
        w.SetTitle(title + "x");
        EXPECT_FALSE(host.FindWindow(title));
        w.SetTitle(title);
        EXPECT_TRUE(host.FindWindow(title));
    }
    EXPECT_FALSE(host.FindWindow(title));
}

TEST(QtHost, TerminationSignalEndsEveryModalRunInnermostFirst)
{
    QtHost host;
    TestDialog outer(host, res::GetTemplate(IDD_LAUNCHTIMER_DIALOG));
    TestDialog inner(host, res::GetTemplate(IDD_SETTING_DIALOG));
    // Neither dialog ever agrees to close by itself.
    IgnoreCommands(outer);
    IgnoreCommands(inner);
    host.SetMainWindow(&outer);
    std::vector<std::string> order;
    int boxAnswer = 0;
    bool laterBoxShown = true;
    int laterRun = 0;
    outer.onInit = [&] {
        Later([&] {
            inner.onInit = [&] {
                Later([&] {
                    Later([&] {
                        ASSERT_TRUE(
                            WaitUntil([] { return FindVisible<QMessageBox>() != nullptr; }));
                        ::kill(::getpid(), SIGTERM);
                    });
                    boxAnswer = host.MessageBox("閉じない", platform::MessageIcon::Exclamation);
                    order.push_back("box");
                    // Nothing new is shown once the session ends.
                    Later([&] { laterBoxShown = FindVisible<QMessageBox>() != nullptr; });
                    host.MessageBox("もう一つ", platform::MessageIcon::Information);
                    TestDialog late(host, res::GetTemplate(IDD_ABOUTBOX));
                    laterRun = late.DoModal();
                });
                return true;
            };
            int r = inner.DoModal();
            order.push_back("inner " + std::to_string(r));
        });
        return true;
    };
    int r = outer.DoModal();
    order.push_back("outer " + std::to_string(r));
    QApplication::processEvents();
    EXPECT_TRUE(host.IsSessionEnding());
    EXPECT_EQ(order, (std::vector<std::string>{"box", "inner 2", "outer 2"}));
    EXPECT_EQ(boxAnswer, IDOK);
    EXPECT_FALSE(laterBoxShown);
    EXPECT_EQ(laterRun, IDCANCEL);
    host.SetMainWindow(nullptr);
}

TEST(QtHost, SignalBeforeTheFirstRunEndsItAtOnce)
{
    QtHost host;
    ::kill(::getpid(), SIGHUP);
    TestDialog d(host, res::GetTemplate(IDD_LAUNCHTIMER_DIALOG));
    IgnoreCommands(d);
    EXPECT_EQ(d.DoModal(), IDCANCEL);
}
