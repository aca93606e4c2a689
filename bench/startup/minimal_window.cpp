// The yardstick of the start-up probe: the least a Qt 6 Widgets program does
// to show one blank frameless window of the splash's size (431 x 331
// pixels). It runs until it is killed.
#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.setFixedSize(431, 331);
    window.show();
    return app.exec();
}
