// Modal runs and their nesting, the window menu, message boxes, the file chooser and the end of the
// session.
#include <QtWidgets>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

#include "GuiTestSupport.h"
#include "res/Strings.h"
#include "res/Templates.h"
#include "res/resource.h"
#include "support/TempDir.h"

using namespace guitest;
using platform::IdCancel;
using platform::QtHost;

namespace {

template <typename T> T* Visible()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* t = qobject_cast<T*>(w); t && t->isVisible())
            return t;
    return nullptr;
}

} // namespace

TEST(QtHost, TerminationSignalEndsEveryModalRunInnermostFirst)
{
    QtHost host;
    // The signals stay the first host's to watch: another host leaves no descriptor open.
    auto open = [] {
        return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
    };
    const auto before = open();
    QtHost().SessionEnding();
    EXPECT_EQ(open(), before);
    TestDialog outer(host, res::GetTemplate(IDD_LAUNCHTIMER_DIALOG));
    TestDialog inner(host, res::GetTemplate(IDD_SETTING_DIALOG));
    // Neither dialog ever agrees to close by itself.
    host.SetMainWindow(&outer);
    std::vector<std::string> order;
    bool laterBoxShown = true;
    int laterRun = 0;
    Later([&] {         // in the outer run
        Later([&] {     // in the inner run
            Later([&] { // in the message box
                ASSERT_TRUE(WaitUntil([] { return Visible<QMessageBox>() != nullptr; }));
                QMessageBox* box = Visible<QMessageBox>();
                QtWindow* innerWindow = host.OpenWindows().back();
                // Owned by the innermost dialog, captioned with the application's name, and the
                // text (a user's) never taken for markup; in the dialogs' font, and with the arrow
                // over it though a launch waits.
                EXPECT_EQ(box->windowTitle() + box->text(), "Hanavo<b>閉じない</b> &");
                EXPECT_EQ(box->textFormat(), Qt::PlainText);
                EXPECT_EQ(QFontInfo(box->findChild<QLabel*>("qt_msgbox_label")->font()).family(),
                          "IPAPGothic");
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
            Later([&] { laterBoxShown = Visible<QMessageBox>() != nullptr; });
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
    QtHost host;
    TestDialog d(host, res::GetTemplate(IDD_SETTING_DIALOG));
    // The names listed under each filter, chosen as a user's choice in the list does it.
    std::vector<QStringList> listed;
    Later([&] {
        ASSERT_TRUE(WaitUntil([] { return Visible<QFileDialog>() != nullptr; }));
        QFileDialog* chooser = Visible<QFileDialog>();
        auto* types = chooser->findChild<QComboBox*>("fileTypeCombo");
        auto* view = chooser->findChild<QAbstractItemView*>("listView");
        chooser->setDirectory(QString::fromStdString(dir.Path()));
        for (int type : {0, 1}) {
            types->setCurrentIndex(type);
            emit types->textActivated(types->itemText(type));
            QStringList names;
            WaitUntil([&] {
                names.clear();
                for (int r = 0; r < view->model()->rowCount(view->rootIndex()); ++r)
                    names << view->model()->index(r, 0, view->rootIndex()).data().toString();
                return names.size() == (type ? 6 : 3);
            });
            names.sort();
            listed.push_back(names);
        }
        chooser->findChild<QLineEdit*>("fileNameEdit")->setText("tool");
        static_cast<QDialog*>(chooser)->accept();
    });
    EXPECT_EQ(host.ChooseFile(d, res::LoadText(IDS_FILE_FILTER)), dir / "tool");
    EXPECT_EQ(listed, (std::vector<QStringList>{
                          {"Setup.EXE", "tool", "起動"},
                          {"Setup.EXE", "notes.txt", "plain", "tool", "x.exe.txt", "起動"}}));
    Later([] {
        ASSERT_TRUE(WaitUntil([] { return Visible<QFileDialog>() != nullptr; }));
        Visible<QFileDialog>()->reject();
    });
    EXPECT_FALSE(host.ChooseFile(d, res::LoadText(IDS_FILE_FILTER)).has_value());
}
