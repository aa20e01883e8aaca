#pragma once
// Keeps the dialog and the preview window alive while a capture run holds the GUI thread:
// handles every waiting event, including those that arrive meanwhile, and returns as soon
// as nothing is left. It never waits on an empty queue.

void PumpPendingMessages();
