// The simulator's message boxes: the plain message, and the Qt boxes shown only on the GUI thread.
#pragma once
#include <string>

// A message box captioned "Kestrovane" with the text and an OK button.
void ShowMessage(const std::string& text);

// The platform's box handler: on the GUI thread a modal Qt box and its answer. Asked for on
// another thread (the simulation tick), the box is posted to the GUI thread and the call
// answers OK (or Yes) at once, so a worker never waits for the GUI or shows a box itself.
int QtMessageBox(const char* caption, const char* text, int icon, int buttons);
