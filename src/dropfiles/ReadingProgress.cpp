#include "dropfiles/ReadingProgress.h"

#include "ui/LumoraDlg.h"

namespace {
// A drop quicker than this says nothing: its beeps and lines are progress enough.
constexpr std::chrono::milliseconds kShowAfter{1000};

QString Reading(DropProgress progress)
{
    return QStringLiteral("読み取り中 %1 / %2").arg(progress.done).arg(progress.total);
}
const QString kReadingDone = QStringLiteral("読み取り完了");
}  // namespace

ReadingProgress::ReadingProgress(CLumoraDlg& dialog) : dialog_(dialog), started_(std::chrono::steady_clock::now()) {}

void ReadingProgress::Show(DropProgress progress)
{
    if (!shown_) {
        if (std::chrono::steady_clock::now() - started_ < kShowAfter)
            return;
        shown_ = true;
        dialog_.Announce(Reading(progress));
    }
    dialog_.ShowProgress(Reading(progress));
}

void ReadingProgress::End()
{
    if (!shown_)
        return;
    dialog_.EndProgress();
    dialog_.Announce(kReadingDone);
}
