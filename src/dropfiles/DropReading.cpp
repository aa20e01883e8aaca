#include "dropfiles/DropReading.h"

#include "decode/ReadSymbols.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <system_error>

struct DropReading::File {
    std::string path;
    std::optional<std::uintmax_t> bytes;  // its size on disk, once asked: how long it takes to read
    enum class State { Waiting, Opening, Open, Done } state = State::Waiting;
    std::optional<UnreadableReason> failure;
    // Known once open. A document whose pages are read apart is shared by the workers.
    std::shared_ptr<DroppedDocument> document;
    int pageCount = 0;
    int nextToClaim = 0;  // pages read apart: the next one no worker has taken
    bool truncated = false;
    std::vector<std::optional<std::vector<SymbolHit>>> pages;
    int pagesRead = 0;
};

namespace {

// Files past the output's place among which the largest is read first: a drop's first line
// waits at most for about these many files to be read.
constexpr std::size_t kLargestFirstWindow = 32;

}  // namespace

// A worker's next piece of work: opening a file (and reading its first page, or all its pages
// when they are read in order), or one page of a file whose pages are read apart.
struct DropReading::Unit {
    std::size_t file;
    int page;  // -1: open the file
    std::shared_ptr<DroppedDocument> document;
};

unsigned DropWorkers()
{
    return std::max(1U, std::thread::hardware_concurrency());
}

DropReading::DropReading(std::vector<std::string> files, std::span<const std::string_view> accepted,
                         unsigned workers)
    : accepted_(accepted.begin(), accepted.end())
{
    files_.resize(files.size());
    for (std::size_t i = 0; i < files.size(); ++i)
        files_[i].path = std::move(files[i]);
    for (unsigned i = 0; i < std::max(1U, workers); ++i)
        workers_.emplace_back([this] { Work(); });
}

DropReading::~DropReading()
{
    {
        const std::lock_guard<std::mutex> guard(lock_);
        stopping_ = true;
    }
    changed_.notify_all();
    for (std::thread& worker : workers_)
        worker.join();
}

std::optional<DropReading::Unit> DropReading::Claim()
{
    // Near the output's place the largest file goes first: one slow file started last would
    // keep a core busy alone at the end of the drop. Further on, and for the pages of a
    // document read apart, drop order: the first lines must not wait for the whole drop.
    const std::size_t windowEnd = std::min(files_.size(), outFile_ + kLargestFirstWindow);
    std::optional<std::size_t> largest;
    for (std::size_t i = outFile_; i < files_.size(); ++i) {
        File& file = files_[i];
        if (file.state == File::State::Open && file.document && file.nextToClaim < file.pageCount && !largest)
            return Unit{i, file.nextToClaim++, file.document};
        if (file.state != File::State::Waiting)
            continue;
        if (i >= windowEnd) {
            if (!largest)
                largest = i;
            break;
        }
        if (!file.bytes) {
            std::error_code unknown;  // a file that cannot be sized is read when its turn comes
            const std::uintmax_t bytes = std::filesystem::file_size(file.path, unknown);
            file.bytes = unknown ? 0 : bytes;
        }
        if (!largest || *file.bytes > *files_[*largest].bytes)
            largest = i;
    }
    if (!largest)
        return std::nullopt;
    files_[*largest].state = File::State::Opening;
    return Unit{*largest, -1, nullptr};
}

void DropReading::Work()
{
    std::unique_lock<std::mutex> guard(lock_);
    while (!stopping_) {
        std::optional<Unit> unit = Claim();
        if (!unit) {
            // Done when no file waits to be opened and none is being opened, whose pages
            // could still come to be shared out.
            if (std::none_of(files_.begin(), files_.end(), [](const File& file) {
                    return file.state == File::State::Waiting || file.state == File::State::Opening;
                }))
                return;
            changed_.wait(guard);
            continue;
        }
        guard.unlock();
        if (unit->page < 0)
            Open(unit->file);
        else
            ReadPage(unit->file, *unit->document, unit->page, {});
        unit.reset();  // the last worker to hold a shared document lets it go here
        guard.lock();
    }
}

std::vector<SymbolHit> DropReading::ReadPage(std::size_t index, DroppedDocument& document, int page,
                                             const std::vector<SymbolHit>& lastFrame)
{
    const cv::Mat picture = document.Page(page);
    std::vector<SymbolHit> symbols;
    try {
        symbols = ReadSymbols(static_cast<std::uint32_t>(picture.cols), static_cast<std::uint32_t>(picture.rows),
                              picture.data, accepted_,
                              document.Drawn() ? std::span<const FurtherLook>() : kEveryFurtherLook);
    } catch (const std::exception&) {
        // Out of memory in a further look: the page yields what a page that failed to load does.
    }
    std::vector<SymbolHit> shown;
    for (const SymbolHit& symbol : symbols)
        if (std::none_of(lastFrame.begin(), lastFrame.end(), [&](const SymbolHit& before) {
                return before.typeName == symbol.typeName && before.data == symbol.data;
            }))
            shown.push_back(symbol);
    {
        const std::lock_guard<std::mutex> guard(lock_);
        File& file = files_[index];
        file.pages[static_cast<std::size_t>(page)] = std::move(shown);
        if (++file.pagesRead == file.pageCount) {
            file.state = File::State::Done;
            file.document.reset();
        }
    }
    changed_.notify_all();
    return symbols;
}

void DropReading::Open(std::size_t index)
{
    std::string path;
    {
        const std::lock_guard<std::mutex> guard(lock_);
        path = files_[index].path;
    }
    OpenedDocument opened = OpenDroppedDocument(path);
    std::shared_ptr<DroppedDocument> document = std::move(opened.document);
    const bool apart = document && document->Order() == PageOrder::Apart;
    {
        const std::lock_guard<std::mutex> guard(lock_);
        File& file = files_[index];
        if (!document || document->PageCount() < 1) {
            file.failure = opened.failure;
            file.state = File::State::Done;
            document.reset();
        } else {
            file.pageCount = document->PageCount();
            file.truncated = document->Truncated();
            file.pages.resize(static_cast<std::size_t>(file.pageCount));
            file.nextToClaim = 1;  // the opener reads the first page itself
            if (apart)
                file.document = document;  // the others are shared out
            file.state = File::State::Open;
        }
    }
    changed_.notify_all();
    if (!document)
        return;
    // Pages in order are all this worker's; of those apart, it reads the first. Frames in order
    // are drawn over each other: a code that stays in view from one frame to the next is one.
    const int last = apart ? 1 : document->PageCount();
    std::vector<SymbolHit> lastFrame;
    for (int page = 0; page < last; ++page) {
        {
            const std::lock_guard<std::mutex> guard(lock_);
            if (stopping_)
                return;  // the drop is abandoned: a long animation is left unread
        }
        lastFrame = ReadPage(index, *document, page, lastFrame);
    }
}

std::optional<DropStep> DropReading::Ready()
{
    if (outFile_ >= files_.size()) {
        if (outEnded_)
            return std::nullopt;
        outEnded_ = true;
        return DropStep{DropStep::What::DropEnds, 0, {}, {}};
    }
    File& file = files_[outFile_];
    const std::size_t index = outFile_;
    if (outPage_ < 0) {
        outPage_ = 0;
        return DropStep{DropStep::What::FileBegins, index, {}, {}};
    }
    if (file.state == File::State::Waiting || file.state == File::State::Opening)
        return std::nullopt;
    if (file.state == File::State::Done && file.pageCount == 0) {
        ++outFile_;
        outPage_ = -1;
        if (file.failure)
            return DropStep{DropStep::What::Unreadable, index, {}, *file.failure};
        return Ready();
    }
    if (outPage_ < file.pageCount) {
        std::optional<std::vector<SymbolHit>>& page = file.pages[static_cast<std::size_t>(outPage_)];
        if (!page)
            return std::nullopt;
        DropStep step{DropStep::What::Page, index, std::move(*page), {}};
        page.reset();
        ++outPage_;
        return step;
    }
    ++outFile_;
    outPage_ = -1;
    if (file.truncated)
        return DropStep{DropStep::What::Truncated, index, {}, {}};
    return Ready();
}

std::optional<DropStep> DropReading::Next(std::chrono::milliseconds patience)
{
    std::unique_lock<std::mutex> guard(lock_);
    std::optional<DropStep> step;
    // The wait's own answer is whether a step came, which step tells as well.
    static_cast<void>(changed_.wait_for(guard, patience, [&] { return (step = Ready()).has_value(); }));
    return step;
}

DropProgress DropReading::Progress() const
{
    const std::lock_guard<std::mutex> guard(lock_);
    if (files_.size() == 1) {
        const File& file = files_.front();
        return {static_cast<std::size_t>(file.pagesRead), static_cast<std::size_t>(std::max(file.pageCount, 1))};
    }
    const auto done = static_cast<std::size_t>(
        std::count_if(files_.begin(), files_.end(), [](const File& file) { return file.state == File::State::Done; }));
    return {done, files_.size()};
}
