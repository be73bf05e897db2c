#include "platform/qt/HelpWindow.h"

#include <QKeyEvent>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "platform/qt/AppIcon.h"
#include "platform/qt/QtFonts.h"

namespace platform {

HelpWindow::HelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), m_browser(new QTextBrowser(this))
{
    setWindowTitle(QStringLiteral("Hanavo ヘルプ"));
    setWindowIcon(AppIcon());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    m_browser->setFont(MakePointFont("MS UI Gothic", 100));
    m_browser->setOpenExternalLinks(true);
    m_browser->setSource(HelpUrl());
    resize(640, 600);
}

void HelpWindow::keyPressEvent(QKeyEvent* event)
{
    const bool ctrlW = event->key() == Qt::Key_W && event->modifiers() == Qt::ControlModifier;
    if (ctrlW || (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) ||
        event->matches(QKeySequence::Close)) {
        event->accept();
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace platform
