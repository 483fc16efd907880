// The 3D card's driver dialog as a host shows it: three lists over a model it does not own.
#pragma once

// The model as a view sees it: lists 0 drivers, 1 devices, 2 modes; choosing refills the lists.
struct plat_card_dialog_model {
    void* model;
    int (*count)(void* model, int list);
    const char* (*text)(void* model, int list, int index);  // valid until the next call
    int (*selected)(void* model, int list);
    void (*choose)(void* model, int list, int index);
};

// The host's view: shows "Select New Direct3D Driver" modally and returns 1 for OK, 2 for
// Cancel, -1 when it cannot show it now (no display, not its GUI thread).
typedef int (*plat_card_dialog_handler)(const plat_card_dialog_model* model);

void plat_card_dialog_set_handler(plat_card_dialog_handler handler);
// -1 without a handler.
int plat_card_dialog_show(const plat_card_dialog_model* model);
