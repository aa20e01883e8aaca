#pragma once
// One round of the GUI thread's pending events, never waiting for new ones.

class QWidget;

// Dispatches the events that are waiting; returns whether there was anything to do.
bool DispatchPendingEvents();

// Dispatches the waiting events but the user's input (mouse, keys), which stays queued for
// later: windows repaint and the window manager gets its answers while the caller is busy.
void DispatchPendingEventsExceptInput();

// Once the caller is no longer busy: has the input kept back by the function above handled
// now. Qt's X11 layer would otherwise hold it until the next event from the X server, so a
// click made during the busy stretch would wait for the next move of the mouse. window is
// any window of the program on screen.
void ResumeDeferredInput(const QWidget& window);
