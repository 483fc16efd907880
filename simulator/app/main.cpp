// Kestrovane: the program block.
#include <QApplication>

#include "app/main_window.h"
#include "app/qt_message_box.h"
#include "forms/card_driver_dialog.h"
#include "platform/card_dialog.h"
#include "platform/msgbox.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Kestrovane");
    plat_message_box_set_handler(QtMessageBox);
    plat_card_dialog_set_handler(CardDriverDialog);
    TVaruRor window;
    window.FormCreate();
    window.show();
    return app.exec();
}
