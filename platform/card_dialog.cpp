// The host's view of the 3D card's driver dialog, installed like the message-box handler; without
// one, a box of one button per device of the chosen driver when a display is present.
#include "platform/card_dialog.h"

#include <SDL.h>

#include <atomic>

#include "internal.h"
#include "platform/msgbox.h"

namespace {

constexpr const char* caption = "Select New Direct3D Driver";
constexpr int ok = 1, cancel = 2;

std::atomic<plat_card_dialog_handler> handler{nullptr};
std::atomic<plat_card_box_handler> box_handler{nullptr};

// The pressed button's index; -1 when the box was closed or could not be shown.
int show_sdl_box(const std::string& text, const std::vector<std::string>& buttons) {
    std::vector<SDL_MessageBoxButtonData> list;
    for (size_t i = 0; i < buttons.size(); ++i) {
        Uint32 flags = 0;
        if (i + 1 == buttons.size()) flags = SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
        list.push_back({flags, static_cast<int>(i), buttons[i].c_str()});
    }
    const SDL_MessageBoxData data = {SDL_MESSAGEBOX_INFORMATION, nullptr, caption, text.c_str(),
                                     static_cast<int>(list.size()), list.data(), nullptr};
    int pressed = -1;
    if (SDL_ShowMessageBox(&data, &pressed) != 0) return -1;
    return pressed;
}

int ask_with_box(const plat_card_dialog_model* m, plat_card_box_handler box) {
    const int driver = m->selected(m->model, 0);
    std::string text = "Driver: ";
    if (driver >= 0) text += m->text(m->model, 0, driver);
    text += "\nDevice:";
    std::vector<std::string> buttons;
    const int devices = m->count(m->model, 1);
    for (int i = 0; i < devices; ++i) buttons.emplace_back(m->text(m->model, 1, i));
    buttons.emplace_back("Cancel");
    const int pressed = box ? box(caption, text.c_str(), buttons) : show_sdl_box(text, buttons);
    if (pressed < 0 || pressed >= devices) return cancel;
    m->choose(m->model, 1, pressed);
    return ok;
}

}  // namespace

void plat_card_dialog_set_handler(plat_card_dialog_handler h) { handler = h; }

void plat_card_dialog_set_box_handler(plat_card_box_handler h) { box_handler = h; }

int plat_card_dialog_show(const plat_card_dialog_model* model) {
    if (!model) return -1;
    if (plat_card_dialog_handler h = handler) return h(model);
    plat_card_box_handler box = box_handler;
    if (!box && (plat_message_box_headless() || !plat_sdl_video_ready())) return -1;
    return ask_with_box(model, box);
}
