// Message boxes and beeps: real boxes with a display, recorded non-blocking boxes headless.
#pragma once
#include <string>
#include <vector>

enum plat_box_icon { PLAT_ICON_NONE = 0, PLAT_ICON_ERROR, PLAT_ICON_WARNING, PLAT_ICON_INFO,
                     PLAT_ICON_QUESTION };
enum plat_box_buttons { PLAT_BUTTONS_OK = 0, PLAT_BUTTONS_OK_CANCEL, PLAT_BUTTONS_YES_NO,
                        PLAT_BUTTONS_YES_NO_CANCEL };
// Answers keep the Windows button ids.
enum plat_box_answer { PLAT_ANSWER_OK = 1, PLAT_ANSWER_CANCEL = 2, PLAT_ANSWER_YES = 6,
                       PLAT_ANSWER_NO = 7 };

struct plat_box_record {
    std::string caption;
    std::string text;
    int icon;
    int buttons;
};

// A host (the Qt program) may show boxes itself; the handler returns the answer. It is called
// on the thread that asked for the box, which need not be the host's GUI thread.
typedef int (*plat_box_handler)(const char* caption, const char* text, int icon, int buttons);

int plat_message_box(const char* caption, const char* text, int icon, int buttons);
void plat_message_box_set_handler(plat_box_handler handler);

// Headless: no box is shown, it goes to stderr and the record list, and answers OK (or YES).
// On when DROVIK_HEADLESS_BOXES=1 or when no display is available.
void plat_message_box_set_headless(bool headless);
bool plat_message_box_headless();
// Every box is recorded (the latest 10000, oldest first).
std::vector<plat_box_record> plat_message_box_records();
void plat_message_box_clear_records();

struct plat_beep_record {
    unsigned frequency;  // 0 for the default message beep
    unsigned milliseconds;
};
void plat_beep(unsigned frequency, unsigned milliseconds);
void plat_message_beep();
std::vector<plat_beep_record> plat_beep_records();
void plat_beep_clear_records();
