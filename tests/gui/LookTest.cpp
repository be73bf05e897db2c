// The real dialogs as a user sees them: each is grabbed to a PNG when HANAVO_GRAB_DIR names a
// folder, for a person to look at; the checks here are what can be told from the pixels.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "app/LaunchSettings.h"
#include "dialogs/COrderDialog.h"
#include "dialogs/CSettingDialog.h"
#include "platform/qt/QtHost.h"
#include "platform/qt/QtWindow.h"
#include "res/resource.h"
#include "timer/CAboutDlg.h"
#include "timer/CLaunchTimerDlg.h"

using namespace guitest;

namespace {

// Grabs the window of a dialog once its modal run shows it, then ends the run.
QImage GrabRun(platform::Dialog& dialog, const char* name)
{
    QImage image;
    Later([&] {
        auto* window = dynamic_cast<platform::QtWindow*>(dialog.GetWindow());
        if (window) {
            WaitUntil([&] { return window->isVisible(); });
            image = window->grab().toImage();
            QByteArray dir = qgetenv("HANAVO_GRAB_DIR");
            if (!dir.isEmpty())
                image.save(QDir(QFile::decodeName(dir)).filePath(QString::fromLatin1(name)));
        }
        dialog.EndDialog(platform::IDCANCEL);
    });
    dialog.DoModal();
    return image;
}

// Whether some pixel inside the rectangle differs from the window background.
bool HasInk(const QImage& image, QRect rect)
{
    QRgb background = image.pixel(1, 1);
    rect = rect.intersected(image.rect());
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (image.pixel(x, y) != background)
                return true;
    return false;
}

} // namespace

TEST(Look, TimerWindowShowsTheCounterAndJapaneseTexts)
{
    platform::QtHost host;
    LaunchSettings settings;
    settings.m_nSeconds = 300;
    settings.m_strCommand = "/usr/local/bin/backup.sh";
    settings.m_strTopDir = "/home/user/起動";
    CLaunchTimerDlg dlg(host);
    dlg.SetSettings(&settings);
    host.SetMainWindow(&dlg);
    QString counter, status, title;
    Later([&] {
        auto* w = dynamic_cast<platform::QtWindow*>(dlg.GetWindow());
        counter = static_cast<QLabel*>(w->Control(IDC_COUNTER))->text();
        status = static_cast<QLabel*>(w->Control(IDC_STATUS))->text();
        title = w->windowTitle();
    });
    QImage image = GrabRun(dlg, "timer-grab.png");
    host.SetMainWindow(nullptr);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(counter, QStringLiteral("300"));
    EXPECT_EQ(status, QStringLiteral("秒後に backup.sh を起動します。"));
    EXPECT_EQ(title, QStringLiteral("Hanavo(停止中)"));
    // Ink where the counter's digits are, none past the counter's right edge below the buttons.
    EXPECT_TRUE(HasInk(image, QRect(12, 12, 140, 90)));
}

TEST(Look, OtherDialogsRender)
{
    platform::QtHost host;
    CAboutDlg about(host);
    EXPECT_FALSE(GrabRun(about, "about-grab.png").isNull());
    CSettingDialog settings(host);
    settings.m_nSeconds = 300;
    settings.m_strCommand = "/usr/local/bin/backup.sh";
    settings.m_strTopDir = "/home/user/起動";
    EXPECT_FALSE(GrabRun(settings, "settings-grab.png").isNull());
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char* name : {"01e_setup.sh", "02d_バックアップ.sh", "notes.txt"}) {
        QFile f(dir.filePath(QString::fromUtf8(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QString cwd = QDir::currentPath();
    COrderDialog order(host);
    order.SetFolder(dir.path().toStdString());
    EXPECT_FALSE(GrabRun(order, "order-grab.png").isNull());
    QDir::setCurrent(cwd); // the scan entered the folder
}
