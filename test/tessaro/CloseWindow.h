#pragma once

// Asks the window of the current GL context to close, as a window manager
// does when the user clicks its close button (WM_DELETE_WINDOW).
void requestCloseOfCurrentWindow();
