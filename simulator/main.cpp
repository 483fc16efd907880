// Kestrovane: the program block.
#include <QApplication>

#include "main_window.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TVaruRor window;
    window.show();
    return app.exec();
}
