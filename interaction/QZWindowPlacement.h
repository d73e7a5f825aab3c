// Where the programs' top-level windows stand on the desktop. The page area
// is the client area of the maximised main window, which only the window
// manager knows once it has placed the window; without a window manager the
// window covers the whole screen.
#pragma once

#include <QSize>

class QWidget;

// Whether a window manager runs on the window system. Platforms that always
// have one (and the offscreen platform, which maximises like one) say true.
bool HasWindowManager();

// Shows `window` maximised (over the whole screen where no window manager
// runs) and returns its client size once the window manager has placed it,
// waiting for that at most `limitMs` milliseconds. User input that arrives
// meanwhile waits for the event loop.
QSize ShowMaximisedAndMeasure(QWidget &window, int limitMs = 3000);

// Keeps `window` centred on its screen with its frame: centred when shown,
// and again whenever the window manager gives it a frame of another size.
// Moves of the user's are left alone.
void KeepCentredOnScreen(QWidget &window);
