// Kestrovane: the program block.
#include <QApplication>

#include "main_window.h"
#include "platform/msgbox.h"
#include "qt_message_box.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Kestrovane");
    plat_message_box_set_handler(QtMessageBox);
    TVaruRor window;
    window.FormCreate();
    window.show();
    return app.exec();
}
