// The 3D card's driver dialog as a host shows it: three lists over a model it does not own.
#pragma once
#include <string>
#include <vector>

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

// Without a host view, and with a display, the dialog is a box "Select New Direct3D Driver" of one
// button per device of the chosen driver and "Cancel": a device button chooses that device and
// answers OK, anything else Cancel. A box handler answers in the box's stead with the index of the
// button pressed (-1 for a closed box), display or none.
typedef int (*plat_card_box_handler)(const char* caption, const char* text, const std::vector<std::string>& buttons);
void plat_card_dialog_set_box_handler(plat_card_box_handler handler);

// The host's view, else the box; -1 when neither can be shown (no display, headless boxes).
int plat_card_dialog_show(const plat_card_dialog_model* model);
