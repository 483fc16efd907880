// Kestrovane: the program block.
#include <QApplication>

#include "card_driver_dialog.h"
#include "main_window.h"
#include "platform/card_dialog.h"
#include "platform/msgbox.h"
#include "qt_message_box.h"

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
