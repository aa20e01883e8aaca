// Dropped files: every accepted picture is echoed on standard output and scanned; each of
// its QR codes and Codabar symbols becomes a result line, goes to the clipboard while that
// box is ticked, and is announced with a beep. Pasted pictures are decoded the same way.
// No outline, no preview, no pause: this path shares nothing with a capture run but the
// result box and the clipboard.

#include "ui/LumoraDlg.h"

#include "decode/AcceptLists.h"
#include "decode/ReadSymbols.h"
#include "dropfiles/DropExtensions.h"
#include "dropfiles/DroppedPicture.h"
#include "output/ResultTone.h"
#include "platform/FileName.h"

#include <cstdint>
#include <iostream>
#include <optional>
#include <string>

void CLumoraDlg::DecodeDroppedFiles(const QStringList& paths)
{
    // Each file is finished, its picture released, before the next one is looked at.
    for (const QString& path : paths) {
        KeepAnswering();
        if (!AcceptedExtension(path))
            continue;
        const std::optional<std::string> narrow = NarrowFileName(path);
        if (!narrow)
            continue;  // no bytes name this file on disk; the rest of the drop still counts
        // Echoed before the file is opened, so that a file that then fails to load is seen too.
        std::cout << *narrow << std::endl;
        // How many codes a file held makes no difference here.
        static_cast<void>(DecodePicture(LoadDroppedPicture(*narrow), DROP_TYPES));
    }
}

std::size_t CLumoraDlg::DecodePicture(const cv::Mat& picture, std::span<const std::string_view> accepted)
{
    const std::vector<SymbolHit> symbols = ReadSymbols(static_cast<std::uint32_t>(picture.cols),
                                                       static_cast<std::uint32_t>(picture.rows), picture.data,
                                                       accepted, kEveryFurtherLook);
    for (const SymbolHit& symbol : symbols) {
        ReportResult(symbol);
        PlayResultTone();
        KeepAnswering();
    }
    return symbols.size();
}
