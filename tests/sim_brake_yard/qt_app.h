// A QApplication for the widget tests, created once on the offscreen platform.
#pragma once

void EnsureQtApp();
