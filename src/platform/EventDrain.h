#pragma once
// One round of the GUI thread's pending events, never waiting for new ones.

// Dispatches the events that are waiting; returns whether there was anything to do.
bool DispatchPendingEvents();
