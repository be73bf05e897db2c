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

protected:
    // Esc and Ctrl+W close it, as they close a help or document window elsewhere.
    void keyPressEvent(QKeyEvent* event) override;

private:
    QTextBrowser* m_browser;
};

} // namespace platform
