#include "platform/qt/QtHost.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>

#include "platform/Dialog.h"
#include "platform/Os.h"
#include "platform/linux/LinuxOs.h"
#include "platform/qt/AppIcon.h"
#include "platform/qt/FileFilterProxy.h"
#include "platform/qt/HelpWindow.h"
#include "platform/qt/QtFonts.h"
#include "platform/qt/QtWindow.h"
#include "platform/qt/SessionEndWatcher.h"
#include "platform/qt/X11WindowSearch.h"

namespace platform {
namespace {

// The face and size of the program's dialogs, for a box shown while none is open.
const char kDialogFace[] = "MS UI Gothic";
constexpr int kDialogTenths = 90;

QString FromUtf8(const std::string& s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// A chosen path back to the bytes the file system uses.
std::string PathBytes(const QString& path)
{
    QByteArray b = QFile::encodeName(path);
    return std::string(b.constData(), static_cast<size_t>(b.size()));
}

} // namespace

QtHost::QtHost()
{
    InitBundledResources();
    m_watcher = std::make_unique<SessionEndWatcher>([this] { EndSession(); });
}

QtHost::~QtHost() = default;

QWidget* QtHost::OwnerWindow() const
{
    return m_windows.empty() ? nullptr : static_cast<QWidget*>(m_windows.back());
}

QWidget* QtHost::WindowOf(Dialog& dialog) const
{
    auto* window = dynamic_cast<QtWindow*>(dialog.GetWindow());
    return window ? static_cast<QWidget*>(window) : OwnerWindow();
}

HelpWindow* QtHost::Help() const
{
    return m_help.get();
}

int QtHost::RunModal(Dialog& dialog)
{
    if (SessionEnding())
        return IdCancel;
    QtWindow window(dialog, OwnerWindow());
    dialog.Attach(&window);
    m_windows.push_back(&window);
    int result = IdCancel;
    {
        // Removed from the open windows however the run ends.
        struct Remove
        {
            std::vector<QtWindow*>& windows;
            QtWindow* window;
            ~Remove() { std::erase(windows, window); }
        } remove{m_windows, &window};
        if (dialog.OnInitDialog() && !window.IsModalEnded())
            window.FocusFirstTabStop();
        // A session end during set-up ends this run too.
        if (SessionEnding() && !window.IsModalEnded())
            dialog.EndDialog(IdCancel);
        result = window.RunModalLoop();
        dialog.DestroyWindow();
    }
    dialog.Attach(nullptr);
    return result;
}

int QtHost::RunAuxiliary(QDialog& dialog)
{
    m_auxiliary.emplace_back(&dialog);
    // A box that asks for the user's answer shows the arrow, even while a launch shows the
    // wait cursor; the wait cursor comes back once the box has gone.
    const bool waiting = QApplication::overrideCursor() != nullptr;
    if (waiting)
        QApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
    int result = dialog.exec();
    if (waiting && QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    std::erase_if(m_auxiliary, [&](const QPointer<QDialog>& p) { return !p || p == &dialog; });
    return result;
}

int QtHost::ShowMessage(const std::string& text, MessageIcon icon, MessageButtons buttons)
{
    if (SessionEnding())
        return buttons == MessageButtons::Ok ? IdOk : IdCancel;
    QWidget* owner = OwnerWindow();
    QMessageBox box(icon == MessageIcon::Information ? QMessageBox::Information
                                                     : QMessageBox::Warning,
                    FromUtf8(AppName()), FromUtf8(text),
                    buttons == MessageButtons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel
                                                        : QMessageBox::Ok,
                    owner);
    // The text is the user's (the msg arguments): never taken for markup.
    box.setTextFormat(Qt::PlainText);
    // In the dialogs' font, as the rest of the program's texts.
    auto* dialog = dynamic_cast<QtWindow*>(owner);
    box.setFont(dialog ? dialog->DialogFont() : MakePointFont(kDialogFace, kDialogTenths));
    box.setWindowModality(owner ? Qt::WindowModal : Qt::ApplicationModal);
    const int answer = RunAuxiliary(box);
    return answer == QMessageBox::Ok || buttons == MessageButtons::Ok ? IdOk : IdCancel;
}

void QtHost::SetCursor(Cursor cursor)
{
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    if (cursor == Cursor::Wait)
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

std::optional<std::string> QtHost::ChooseFile(Dialog& owner, const std::string& filter)
{
    if (SessionEnding())
        return std::nullopt;
    QFileDialog chooser(WindowOf(owner));
    chooser.setOption(QFileDialog::DontUseNativeDialog, true);
    chooser.setOption(QFileDialog::HideNameFilterDetails, true);
    chooser.setFileMode(QFileDialog::ExistingFile);
    chooser.setAcceptMode(QFileDialog::AcceptOpen);
    chooser.setWindowModality(Qt::WindowModal);
    auto* proxy = new FileFilterProxy(ParseFileFilter(filter), &chooser);
    QStringList names = proxy->ChooserNameFilters();
    chooser.setProxyModel(proxy);
    if (!names.isEmpty()) {
        chooser.setNameFilters(names);
        chooser.selectNameFilter(names.first());
        proxy->SelectFilter(0);
    }
    QObject::connect(&chooser, &QFileDialog::filterSelected, proxy,
                     &FileFilterProxy::SelectChooserFilter);
    if (RunAuxiliary(chooser) != QDialog::Accepted || chooser.selectedFiles().isEmpty())
        return std::nullopt;
    return PathBytes(chooser.selectedFiles().first());
}

std::optional<std::string> QtHost::ChooseFolder(Dialog& owner, const std::string& title)
{
    if (SessionEnding())
        return std::nullopt;
    QFileDialog chooser(WindowOf(owner), FromUtf8(title), QDir::homePath());
    chooser.setOption(QFileDialog::DontUseNativeDialog, true);
    chooser.setOption(QFileDialog::ShowDirsOnly, true);
    chooser.setFileMode(QFileDialog::Directory);
    chooser.setAcceptMode(QFileDialog::AcceptOpen);
    chooser.setWindowModality(Qt::WindowModal);
    if (RunAuxiliary(chooser) != QDialog::Accepted || chooser.selectedFiles().isEmpty())
        return std::nullopt;
    return PathBytes(chooser.selectedFiles().first());
}

void QtHost::ShowHelp()
{
    if (!m_help)
        m_help = std::make_unique<HelpWindow>();
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}

bool QtHost::FindWindowByTitle(const std::string& title)
{
    // Without X11 (offscreen, Wayland) the single-instance lock taken at start alone guards.
    X11WindowSearch search;
    return search.IsConnected() && search.HasWindowTitled(title);
}

bool QtHost::SessionEnding() const
{
    return m_sessionEnding || SessionEndNoted();
}

void QtHost::EndSession()
{
    m_sessionEnding = true;
    while (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
    for (auto it = m_auxiliary.rbegin(); it != m_auxiliary.rend(); ++it)
        if (*it)
            (*it)->reject();
    // Copied: ending a run may change the list.
    std::vector<QtWindow*> windows = m_windows;
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        (*it)->GetDialog().EndDialog(IdCancel);
}

} // namespace platform
