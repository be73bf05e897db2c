// The help window: the bundled Japanese help page in a browser view, readable offline.
#pragma once

#include <QWidget>

class QTextBrowser;

namespace platform {

class HelpWindow : public QWidget
{
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);
    QTextBrowser* Browser() const { return m_browser; }

private:
    QTextBrowser* m_browser;
};

} // namespace platform
