// The other program the user types into while Hanavo counts: a window that writes the name of
// every key it receives to a file, one per line.
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QKeySequence>
#include <QWidget>

namespace {

class KeyLogger final : public QWidget
{
public:
    explicit KeyLogger(const QString& path) : m_log(path)
    {
        setWindowTitle(QStringLiteral("key-logger"));
        resize(500, 300);
    }
    bool Open() { return m_log.open(QIODevice::WriteOnly | QIODevice::Unbuffered); }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        switch (event->key()) {
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_Meta:
            return;
        default:
            m_log.write(QKeySequence(event->key()).toString().toUtf8() + '\n');
        }
    }
    // Tab is a key like any other here.
    bool focusNextPrevChild(bool) override { return false; }

private:
    QFile m_log;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (argc != 2)
        return 2;
    KeyLogger window(QString::fromLocal8Bit(argv[1]));
    if (!window.Open())
        return 1;
    window.show();
    return application.exec();
}
