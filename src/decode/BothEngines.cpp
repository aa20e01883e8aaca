#include "decode/BothEngines.h"

#include "decode/ScanGrayImage.h"
#include "decode/Symbologies.h"
#include "decode/ZxingRead.h"

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <future>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace {

using ZxingReads = std::vector<ZxingSymbol>;

// A thread that reads beside its caller, one read at a time, for as long as the caller's
// thread lives: zxing-cpp leaves most of a kilobyte behind for every thread it reads on, so a
// thread started for each read would grow the program pass by pass.
class SideThread {
public:
    SideThread() : thread_([this] { Serve(); }) {}
    ~SideThread()
    {
        {
            const std::lock_guard<std::mutex> guard(lock_);
            stopping_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }
    SideThread(const SideThread&) = delete;
    SideThread& operator=(const SideThread&) = delete;

    std::future<ZxingReads> Start(std::function<ZxingReads()> read)
    {
        std::packaged_task<ZxingReads()> task(std::move(read));
        std::future<ZxingReads> result = task.get_future();
        {
            const std::lock_guard<std::mutex> guard(lock_);
            task_ = std::move(task);
        }
        wake_.notify_one();
        return result;
    }

private:
    void Serve()
    {
        std::unique_lock<std::mutex> guard(lock_);
        while (true) {
            wake_.wait(guard, [this] { return task_.has_value() || stopping_; });
            if (!task_)
                return;
            std::packaged_task<ZxingReads()> task = std::move(*task_);
            task_.reset();
            guard.unlock();
            task();  // what it throws reaches the caller through the future
            guard.lock();
        }
    }

    std::mutex lock_;
    std::condition_variable wake_;
    std::optional<std::packaged_task<ZxingReads()>> task_;
    bool stopping_ = false;
    std::thread thread_;  // last: it starts serving once the members above exist
};

}  // namespace

EngineReads ReadWithBoth(const cv::Mat& picture, Engines engines, std::span<const std::string_view> zxingNames)
{
    EngineReads reads;
    const auto width = static_cast<std::uint32_t>(picture.cols);
    const auto height = static_cast<std::uint32_t>(picture.rows);
    const auto readWithZxing = [&](std::span<const std::string_view> names) {
        return ReadWithZxing(width, height, picture.data, names);
    };
    // ZBar's scan of every symbology costs the most: all of zxing-cpp's read goes beside it.
    // Without ZBar, zxing-cpp's linear reads, one symbol a read, go beside its 2-D read.
    std::vector<std::string_view> beside;
    std::vector<std::string_view> here;
    for (const std::string_view name : zxingNames)
        (engines == Engines::Both || IsLinear(name) ? beside : here).push_back(name);
    thread_local SideThread side;
    std::future<ZxingReads> besideReads = side.Start([&] { return readWithZxing(beside); });
    // The side's read uses this picture and these names: it ends before they do, thrown or not.
    const struct WaitForSide {
        std::future<ZxingReads>& reads;
        ~WaitForSide()
        {
            if (reads.valid())
                reads.wait();
        }
    } waitForSide{besideReads};
    if (engines == Engines::Both)
        ScanGrayImage(width, height, picture.data, [&](const SymbolHit& symbol) { reads.zbar.push_back(symbol); });
    reads.zxing = readWithZxing(here);
    // In zxing-cpp's own order: copy by copy, 2-D symbols before linear ones in each.
    const std::size_t hereCount = reads.zxing.size();
    for (ZxingSymbol& found : besideReads.get())
        reads.zxing.push_back(std::move(found));
    std::inplace_merge(reads.zxing.begin(), reads.zxing.begin() + static_cast<std::ptrdiff_t>(hereCount),
                       reads.zxing.end(),
                       [](const ZxingSymbol& one, const ZxingSymbol& other) { return one.copy < other.copy; });
    return reads;
}
