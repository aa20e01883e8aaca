#pragma once
// A capture run, inside the start button's handler on the GUI thread.

class CLumoraDlg;

// Opens the camera chosen in the list at the size chosen in the dialog and repeats one
// pass per frame: read, convert to gray, scan, report and give feedback for every symbol
// of the camera types, show the frame (or the placeholder picture when none came), handle
// waiting input, wait 50 ms, and end after the pass in which g_stopRequested is 1.
// Returns at once when a run is already in progress or the camera does not open. Nothing
// is thrown: after a failure the camera is released, the preview closed, both flags 0.
void RunCaptureLoop(CLumoraDlg& dialog);
