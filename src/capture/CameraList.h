#pragma once
// The camera list control. The dialog's FillCameraList shows the camera table and
// preselects its first entry; OnCameraSelChange and OnCameraSelEndCancel keep
// g_cameraIndex equal to the list's current selection, so the camera the list shows is
// the camera the next run opens.

class QComboBox;

// Lets the drop-down show the given number of rows without scrolling.
void FitDropDownHeight(QComboBox& combo, int rows);
