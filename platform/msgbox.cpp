// Message boxes (real, host-handled or recorded headless) and recorded beeps.
#include "platform/msgbox.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <optional>

#include "platform/window.h"

namespace {

// Records kept for tests; the oldest go first past this many.
constexpr size_t max_records = 10000;

std::mutex box_mutex;
std::optional<bool> headless_override;
plat_box_handler host_handler = nullptr;
std::deque<plat_box_record> box_records;
std::deque<plat_beep_record> beep_records;

template <typename T>
void push_capped(std::deque<T>& records, T record)
{
    if (records.size() >= max_records)
        records.pop_front();
    records.push_back(std::move(record));
}

bool headless_locked()
{
    if (headless_override)
        return *headless_override;
    const char* env = std::getenv("DROVIK_HEADLESS_BOXES");
    return (env && std::strcmp(env, "1") == 0) || !plat_display_available();
}

// The answer a box gives when nobody can click it.
int default_answer(int buttons)
{
    return buttons == PLAT_BUTTONS_YES_NO || buttons == PLAT_BUTTONS_YES_NO_CANCEL
               ? PLAT_ANSWER_YES
               : PLAT_ANSWER_OK;
}

// The answer when the box was closed without a button.
int dismissed_answer(int buttons)
{
    switch (buttons) {
    case PLAT_BUTTONS_OK_CANCEL:
    case PLAT_BUTTONS_YES_NO_CANCEL: return PLAT_ANSWER_CANCEL;
    case PLAT_BUTTONS_YES_NO: return PLAT_ANSWER_NO;
    default: return PLAT_ANSWER_OK;
    }
}

int show_sdl_box(const char* caption, const char* text, int icon, int buttons)
{
    Uint32 flags = 0;
    if (icon == PLAT_ICON_ERROR)
        flags = SDL_MESSAGEBOX_ERROR;
    else if (icon == PLAT_ICON_WARNING)
        flags = SDL_MESSAGEBOX_WARNING;
    else if (icon == PLAT_ICON_INFO || icon == PLAT_ICON_QUESTION)
        flags = SDL_MESSAGEBOX_INFORMATION;
    const Uint32 enter = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
    const Uint32 escape = SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    SDL_MessageBoxButtonData list[3];
    int count = 0;
    switch (buttons) {
    case PLAT_BUTTONS_OK_CANCEL:
        list[count++] = {enter, PLAT_ANSWER_OK, "OK"};
        list[count++] = {escape, PLAT_ANSWER_CANCEL, "Cancel"};
        break;
    case PLAT_BUTTONS_YES_NO:
        list[count++] = {enter, PLAT_ANSWER_YES, "Yes"};
        list[count++] = {escape, PLAT_ANSWER_NO, "No"};
        break;
    case PLAT_BUTTONS_YES_NO_CANCEL:
        list[count++] = {enter, PLAT_ANSWER_YES, "Yes"};
        list[count++] = {0, PLAT_ANSWER_NO, "No"};
        list[count++] = {escape, PLAT_ANSWER_CANCEL, "Cancel"};
        break;
    default: list[count++] = {enter | escape, PLAT_ANSWER_OK, "OK"}; break;
    }
    SDL_MessageBoxData data = {flags, nullptr, caption, text, count, list, nullptr};
    int answer = -1;
    if (SDL_ShowMessageBox(&data, &answer) != 0) {
        std::fprintf(stderr, "%s: %s\n", caption, text);
        return default_answer(buttons);
    }
    return answer < 0 ? dismissed_answer(buttons) : answer;
}

}  // namespace

int plat_message_box(const char* caption, const char* text, int icon, int buttons)
{
    caption = caption ? caption : "";
    text = text ? text : "";
    plat_box_handler handler = nullptr;
    {
        std::lock_guard<std::mutex> guard(box_mutex);
        push_capped(box_records, plat_box_record{caption, text, icon, buttons});
        if (headless_locked()) {
            std::fprintf(stderr, "%s: %s\n", caption, text);
            return default_answer(buttons);
        }
        handler = host_handler;
    }
    if (handler)
        return handler(caption, text, icon, buttons);
    return show_sdl_box(caption, text, icon, buttons);
}

void plat_message_box_set_handler(plat_box_handler handler)
{
    std::lock_guard<std::mutex> guard(box_mutex);
    host_handler = handler;
}

void plat_message_box_set_headless(bool headless)
{
    std::lock_guard<std::mutex> guard(box_mutex);
    headless_override = headless;
}

bool plat_message_box_headless()
{
    std::lock_guard<std::mutex> guard(box_mutex);
    return headless_locked();
}

std::vector<plat_box_record> plat_message_box_records()
{
    std::lock_guard<std::mutex> guard(box_mutex);
    return {box_records.begin(), box_records.end()};
}

void plat_message_box_clear_records()
{
    std::lock_guard<std::mutex> guard(box_mutex);
    box_records.clear();
}

void plat_beep(unsigned frequency, unsigned milliseconds)
{
    std::lock_guard<std::mutex> guard(box_mutex);
    push_capped(beep_records, plat_beep_record{frequency, milliseconds});
}

void plat_message_beep()
{
    plat_beep(0, 0);
}

std::vector<plat_beep_record> plat_beep_records()
{
    std::lock_guard<std::mutex> guard(box_mutex);
    return {beep_records.begin(), beep_records.end()};
}

void plat_beep_clear_records()
{
    std::lock_guard<std::mutex> guard(box_mutex);
    beep_records.clear();
}
