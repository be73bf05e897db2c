// The yardstick of the start-up benchmark: the least a Qt 6 program does to show a dialog.
#include <QApplication>
#include <QDialog>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QDialog dialog;
    dialog.setWindowTitle("empty");
    dialog.show();
    return app.exec();
}
