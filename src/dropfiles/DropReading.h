#pragma once
// The files of one drop, read on worker threads and handed back in drop order: each file's
// pages (a picture is one page; the pages of a PDF or a TIFF are shared out among the
// workers), decoded by both engines, come back as if read one after another on one thread.
// Among the files just ahead of the output the largest is read first, so that the cores
// finish together.
// A code that stays in view from one frame of an animation to the next comes once.

#include "decode/SymbolHit.h"
#include "dropfiles/DroppedDocument.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// One step of a drop's output, in the order a one-by-one reading gives.
struct DropStep {
    enum class What {
        FileBegins,  // the file's turn: its path line goes out now
        Page,        // one page's symbols, in page order
        Unreadable,  // the file gave no page at all: why
        Truncated,   // pages past the limit were left out
        DropEnds,    // every file is done; nothing follows
    };
    What what;
    std::size_t file = 0;  // index in the drop
    std::vector<SymbolHit> symbols;
    UnreadableReason reason{};
};

// How far a drop has been read: files, or for a drop of one file its pages.
struct DropProgress {
    std::size_t done = 0;
    std::size_t total = 0;
};

class DropReading {
public:
    // Starts reading files (narrow paths, in drop order) for symbols of the accepted types,
    // on at most workers threads (at least one).
    DropReading(std::vector<std::string> files, std::span<const std::string_view> accepted, unsigned workers);
    // Stops the workers once their current page is done, and waits for them.
    ~DropReading();
    DropReading(const DropReading&) = delete;
    DropReading& operator=(const DropReading&) = delete;

    // The next step, waiting at most patience for it; nullopt when it has not come yet.
    std::optional<DropStep> Next(std::chrono::milliseconds patience);
    DropProgress Progress() const;

private:
    struct File;
    struct Unit;
    void Work();
    std::optional<Unit> Claim();  // under lock_
    void Open(std::size_t index);
    // Reads a page and hands it on without the symbols lastFrame showed; returns all it read.
    std::vector<SymbolHit> ReadPage(std::size_t index, DroppedDocument& document, int page,
                                    const std::vector<SymbolHit>& lastFrame);
    std::optional<DropStep> Ready();  // under lock_

    std::vector<std::string_view> accepted_;
    std::vector<File> files_;
    mutable std::mutex lock_;
    std::condition_variable changed_;
    bool stopping_ = false;
    // The output's place: the file whose steps go out, and what of it went out already.
    std::size_t outFile_ = 0;
    int outPage_ = -1;  // -1: its FileBegins has not gone out
    bool outEnded_ = false;
    std::vector<std::thread> workers_;
};

// How many workers a drop gets: one per core.
unsigned DropWorkers();
