#include "dropfiles/DropReading.h"

#include "decode/ReadSymbols.h"

#include <algorithm>
#include <cstdint>
#include <exception>

struct DropReading::File {
    std::string path;
    enum class State { Waiting, Opening, Open, Done } state = State::Waiting;
    std::optional<UnreadableReason> failure;
    bool truncated = false;
    PageOrder order = PageOrder::InOrder;
    int pageCount = 0;     // known once open
    int nextToClaim = 0;   // pages read apart: the next one no worker has taken
    std::vector<std::optional<std::vector<SymbolHit>>> pages;
    int pagesRead = 0;
};

// A worker's next piece of work: opening a file (and reading its first page, or all its pages
// when they are read in order), or one page of a file whose pages are read apart.
struct DropReading::Unit {
    std::size_t file;
    int page;  // -1: open the file
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
    for (std::size_t i = 0; i < files_.size(); ++i) {
        File& file = files_[i];
        if (file.state == File::State::Waiting) {
            file.state = File::State::Opening;
            return Unit{i, -1};
        }
        if (file.state == File::State::Open && file.order == PageOrder::Apart && file.nextToClaim < file.pageCount)
            return Unit{i, file.nextToClaim++};
    }
    return std::nullopt;
}

void DropReading::Work()
{
    // A document whose pages are read apart is kept for this worker's next page of it.
    std::unique_ptr<DroppedDocument> kept;
    std::size_t keptFile = 0;
    std::unique_lock<std::mutex> guard(lock_);
    while (!stopping_) {
        const std::optional<Unit> unit = Claim();
        if (!unit) {
            const bool allClaimed = std::all_of(files_.begin(), files_.end(), [](const File& file) {
                return file.state != File::State::Waiting && file.state != File::State::Opening;
            });
            // Pages of a file being opened may still come to be shared out.
            if (allClaimed && std::none_of(files_.begin(), files_.end(), [](const File& file) {
                    return file.state == File::State::Open && file.order == PageOrder::Apart &&
                           file.nextToClaim < file.pageCount;
                }))
                return;
            changed_.wait(guard);
            continue;
        }
        guard.unlock();
        ReadUnit(*unit, kept, keptFile);
        guard.lock();
    }
}

std::vector<SymbolHit> DropReading::ReadPage(const cv::Mat& page, bool drawn) const
{
    try {
        return ReadSymbols(static_cast<std::uint32_t>(page.cols), static_cast<std::uint32_t>(page.rows), page.data,
                           accepted_, drawn ? std::span<const FurtherLook>() : kEveryFurtherLook);
    } catch (const std::exception&) {
        return {};  // out of memory in a further look: the page yields what a failed load does
    }
}

void DropReading::ReadUnit(const Unit& unit, std::unique_ptr<DroppedDocument>& kept, std::size_t& keptFile)
{
    const auto publish = [&](int page, std::vector<SymbolHit> symbols) {
        {
            const std::lock_guard<std::mutex> guard(lock_);
            File& file = files_[unit.file];
            file.pages[static_cast<std::size_t>(page)] = std::move(symbols);
            ++file.pagesRead;
            if (file.pagesRead == file.pageCount)
                file.state = File::State::Done;
        }
        changed_.notify_all();
    };

    if (unit.page >= 0) {
        if (!kept || keptFile != unit.file) {
            std::string path;
            {
                const std::lock_guard<std::mutex> guard(lock_);
                path = files_[unit.file].path;
            }
            kept = OpenDroppedDocument(path).document;
            keptFile = unit.file;
        }
        const cv::Mat page = kept ? kept->Page(unit.page) : cv::Mat();
        publish(unit.page, ReadPage(page, true));
        return;
    }

    std::string path;
    {
        const std::lock_guard<std::mutex> guard(lock_);
        path = files_[unit.file].path;
    }
    OpenedDocument opened = OpenDroppedDocument(path);
    {
        const std::lock_guard<std::mutex> guard(lock_);
        File& file = files_[unit.file];
        if (!opened.document || opened.document->PageCount() < 1) {
            file.failure = opened.failure;
            file.state = File::State::Done;
            opened.document.reset();
        } else {
            file.order = opened.document->Order();
            file.pageCount = opened.document->PageCount();
            file.truncated = opened.document->Truncated();
            file.pages.resize(static_cast<std::size_t>(file.pageCount));
            file.nextToClaim = 1;  // the opener reads the first page itself
            file.state = File::State::Open;
        }
    }
    changed_.notify_all();
    if (!opened.document)
        return;
    const bool apart = opened.document->Order() == PageOrder::Apart;
    const int last = apart ? 1 : opened.document->PageCount();
    for (int page = 0; page < last; ++page) {
        // A long document in order is left unfinished when the drop is abandoned.
        {
            const std::lock_guard<std::mutex> guard(lock_);
            if (stopping_)
                return;
        }
        publish(page, ReadPage(opened.document->Page(page), apart));
    }
    if (apart) {
        kept = std::move(opened.document);
        keptFile = unit.file;
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
