#pragma once
// How far a long drop has got, in the dialog's notice strip: shown once the drop has taken
// about a second, said to screen readers when it starts and when it ends.

#include "dropfiles/DropReading.h"

#include <chrono>

class CLumoraDlg;

class ReadingProgress {
public:
    explicit ReadingProgress(CLumoraDlg& dialog);
    // Shows "読み取り中 done / total" once the drop has taken long enough, and keeps it current.
    void Show(DropProgress progress);
    // Takes the progress away, if it was shown.
    void End();

private:
    CLumoraDlg& dialog_;
    std::chrono::steady_clock::time_point started_;
    bool shown_ = false;
};
