#pragma once
// What every benchmark program shares: the clock, medians, the decoder's bare floor, the
// resident size, the pictures of a folder, and the table rows that scripts/bench collects.

#include <opencv2/core/mat.hpp>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

using BenchClock = std::chrono::steady_clock;

double SecondsBetween(BenchClock::time_point from, BenchClock::time_point to);
double Median(std::vector<double> values);

// The floor of every figure: ZBar's own C calls (and zxing-cpp's own read, below) on an 8-bit gray picture with every
// symbology on, each symbol's type name and data read once. Nothing for a picture
// without pixels.
struct BareScanResult {
    std::vector<std::string> types;  // in ZBar's order
    std::size_t dataBytes = 0;
};
BareScanResult BareScan(const cv::Mat& gray);

// The second engine's floor: zxing-cpp's own read of the same picture, for the symbologies
// of the path and with the hints Lumora gives it. Returns the bytes of data read.
enum class BenchPath { Drop, Camera };
std::size_t BareZxingRead(const cv::Mat& gray, BenchPath path);

// This process's resident set, from /proc/self/statm.
std::size_t ResidentBytes();

// Sets the process up as the program's main does (the locale decides the display
// character set, OpenCV's complaints about files it cannot read stay off the terminal),
// on Qt's offscreen platform unless the caller chose one. Call before the application exists.
void PrepareLikeTheProgram();

// The regular files of folder whose names the drop path accepts, sorted by name.
std::vector<std::filesystem::path> DroppablePictures(const std::filesystem::path& folder);

// The pictures a corpus's TRUTH.txt lists (tests/data/make-corpus, make-hunt), in its order:
// each picture's path relative to the corpus and how many texts it holds.
struct CorpusPicture {
    std::string relpath;
    std::size_t texts = 0;
};
std::vector<CorpusPicture> CorpusPictures(const std::filesystem::path& corpus);

// A text as TRUTH.txt writes it: bytes outside printable ASCII as \xHH, a backslash as \\.
std::string EscapedLikeTruth(std::string_view text);

// The folder named by the first argument that is not an option, or the test pictures.
std::filesystem::path PictureFolder(int argc, char** argv);
// The value of "--name N" among the arguments, or fallback.
int IntOption(int argc, char** argv, const std::string& name, int fallback);

// Points standard output at /dev/null while it lives, as the program's echo lines cost
// their write but no terminal. Table rows go to Table(), the real standard output.
class NullStdout {
public:
    NullStdout();
    ~NullStdout();
    NullStdout(const NullStdout&) = delete;
    NullStdout& operator=(const NullStdout&) = delete;
    std::FILE* Table() const { return table_; }

private:
    int saved_;
    std::FILE* table_;
};

// The sum over items (files or passes) of each item's median time over the rounds.
double SumOfMedians(const std::vector<std::vector<double>>& timesPerItem);

// A benchmark's main: runs run(argc, argv) and reports what it throws on standard error.
int RunReportingErrors(int argc, char** argv, int (*run)(int, char**));

// One row of the table, in Markdown: figure, Lumora, floor, ratio, goal, result.
void PrintRow(std::FILE* out, const std::vector<std::string>& cells);
std::string Fixed(double value, int decimals);
