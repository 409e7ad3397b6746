// The reference for the start-up benchmark: a Qt program that shows one
// empty window of the installer's size and reports its first paint.
#include <installer/app/StartupProbe.h>

#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(800, 520);
    StartupProbe::watch(&window);
    window.show();
    return app.exec();
}
