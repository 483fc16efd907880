// The main cab window: caption and fixed client size.
#include "main_window.h"

namespace {
constexpr int client_width = 793;
constexpr int client_height = 524;
}

TVaruRor::TVaruRor(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle("Varu Ror");
    auto* client = new QWidget(this);
    client->setFixedSize(client_width, client_height);
    setCentralWidget(client);
    setFixedSize(sizeHint());
}
