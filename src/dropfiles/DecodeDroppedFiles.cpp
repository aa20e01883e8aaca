// Dropped files: every accepted file is echoed on standard output and read, page by page;
// each QR code and Codabar symbol on it becomes a result line, goes to the clipboard while
// that box is ticked, and is announced with a beep. The files are read on worker threads,
// one per core, and their outputs come in drop order, as if read one by one. Pasted
// pictures are decoded the same way. No outline, no preview, no pause: this path shares
// nothing with a capture run but the result box and the clipboard.

#include "ui/LumoraDlg.h"

#include "decode/AcceptLists.h"
#include "decode/ReadSymbols.h"
#include "dropfiles/DropExtensions.h"
#include "dropfiles/DropReading.h"
#include "dropfiles/ReadingProgress.h"
#include "dropfiles/UnreadableReason.h"
#include "output/ResultTone.h"
#include "platform/FileName.h"

#include <chrono>
#include <cstdint>
#include <iostream>
#include <optional>
#include <string>

namespace {
// How long the dialog waits for the workers before it answers the window system again.
constexpr std::chrono::milliseconds kWaitForPages{100};
}  // namespace

void CLumoraDlg::DecodeDroppedFiles(const QStringList& paths)
{
    std::vector<std::string> files;
    for (const QString& path : paths) {
        if (!AcceptedExtension(path))
            continue;
        std::optional<std::string> narrow = NarrowFileName(path);
        if (narrow)
            files.push_back(std::move(*narrow));
        // else: no bytes name this file on disk; the rest of the drop still counts
    }
    DropReading reading(files, DROP_TYPES, DropWorkers());
    ReadingProgress progress(*this);
    for (;;) {
        KeepAnswering();
        progress.Show(reading.Progress());
        const std::optional<DropStep> step = reading.Next(kWaitForPages);
        if (!step)
            continue;
        switch (step->what) {
        case DropStep::What::FileBegins:
            // Echoed in the file's turn, before its codes, also when it then gives none.
            std::cout << files[step->file] << std::endl;
            break;
        case DropStep::What::Page:
            ReportSymbols(step->symbols);
            break;
        case DropStep::What::Unreadable:
            ShowNotice(NoticeFor(step->reason));
            break;
        case DropStep::What::Truncated:
            ShowNotice(TruncatedNotice());
            break;
        case DropStep::What::DropEnds:
            progress.End();
            return;
        }
    }
}

void CLumoraDlg::ReportSymbols(const std::vector<SymbolHit>& symbols)
{
    for (const SymbolHit& symbol : symbols) {
        ReportResult(symbol);
        PlayResultTone();
        KeepAnswering();
    }
}

std::size_t CLumoraDlg::DecodePicture(const cv::Mat& picture, std::span<const std::string_view> accepted)
{
    const std::vector<SymbolHit> symbols = ReadSymbols(static_cast<std::uint32_t>(picture.cols),
                                                       static_cast<std::uint32_t>(picture.rows), picture.data,
                                                       accepted, kEveryFurtherLook);
    ReportSymbols(symbols);
    return symbols.size();
}
