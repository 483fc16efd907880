// The host's view of the 3D card's driver dialog, installed like the message-box handler.
#include "platform/card_dialog.h"

#include <atomic>

namespace {
std::atomic<plat_card_dialog_handler> handler{nullptr};
}

void plat_card_dialog_set_handler(plat_card_dialog_handler h) { handler = h; }

int plat_card_dialog_show(const plat_card_dialog_model* model) {
    plat_card_dialog_handler h = handler;
    return h && model ? h(model) : -1;
}
