// The simulator's message boxes: the plain message, and the Qt boxes shown only on the GUI thread.
#pragma once
#include <string>
#include <vector>

// A message box captioned "Kestrovane" with the text and an OK button.
void ShowMessage(const std::string& text);

// While one lives, ShowMessage on its thread keeps the text instead of showing it; it shows
// them when it goes. Made before taking SimLock, it outlives the lock, so no modal box opens
// while the timer thread waits for the lock.
class HeldMessages {
public:
    HeldMessages();
    ~HeldMessages();
    HeldMessages(const HeldMessages&) = delete;
    HeldMessages& operator=(const HeldMessages&) = delete;

private:
    friend void ShowMessage(const std::string& text);
    std::vector<std::string> texts_;
    HeldMessages* outer_;
};

// The platform's box handler: on the GUI thread a modal Qt box and its answer. Asked for on
// another thread (the simulation tick), the box is posted to the GUI thread and the call
// answers OK (or Yes) at once, so a worker never waits for the GUI or shows a box itself.
int QtMessageBox(const char* caption, const char* text, int icon, int buttons);
