// The yardsticks of the start-up benchmark: the least a Qt 6 program does to show a dialog, and,
// given a text and a font family, the least it does to show a dialog with one line of text.
//
//   bench_empty_dialog [TEXT [FAMILY]]
#include <QApplication>
#include <QDialog>
#include <QLabel>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QDialog dialog;
    dialog.setWindowTitle("empty");
    if (argc > 1) {
        auto* label = new QLabel(QString::fromUtf8(argv[1]), &dialog);
        if (argc > 2)
            label->setFont(QFont(QString::fromUtf8(argv[2])));
    }
    dialog.show();
    return app.exec();
}
