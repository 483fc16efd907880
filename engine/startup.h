// The engine's first-use start-up and its shutdown.
#pragma once

// Opens the logs, sets the 16-bit display mode and makes the default rendering window; once.
void engine_first_init();
// Closes the world with its bitmaps, releases the rendering manager and the windows, reports
// memory left over and restores the display depth.
void engine_shutdown();
