#include "BenchKit.h"

#include "decode/ZbarHandles.h"
#include "dropfiles/DropExtensions.h"
#include "platform/Charset.h"

#include <opencv2/core/utils/logger.hpp>

#include <QString>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string_view>

namespace {
constexpr unsigned long kGray8 = 0x30303859;  // "Y800"
}  // namespace

double SecondsBetween(BenchClock::time_point from, BenchClock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

BareScanResult BareScan(const cv::Mat& gray)
{
    BareScanResult result;
    if (gray.empty())
        return result;
    const ZbarImage image(zbar::zbar_image_create());
    zbar::zbar_image_set_size(image.get(), static_cast<unsigned>(gray.cols), static_cast<unsigned>(gray.rows));
    zbar::zbar_image_set_format(image.get(), kGray8);
    zbar::zbar_image_set_data(image.get(), gray.data, gray.total(), nullptr);
    const ZbarScanner scanner(zbar::zbar_image_scanner_create());
    // Enabling every symbology cannot fail for ZBAR_NONE.
    zbar::zbar_image_scanner_set_config(scanner.get(), zbar::ZBAR_NONE, zbar::ZBAR_CFG_ENABLE, 1);
    if (zbar::zbar_scan_image(scanner.get(), image.get()) <= 0)
        return result;
    for (const zbar::zbar_symbol_t* symbol = zbar::zbar_image_first_symbol(image.get()); symbol != nullptr;
         symbol = zbar::zbar_symbol_next(symbol)) {
        result.types.emplace_back(zbar::zbar_get_symbol_name(zbar::zbar_symbol_get_type(symbol)));
        const std::string_view data(zbar::zbar_symbol_get_data(symbol), zbar::zbar_symbol_get_data_length(symbol));
        result.dataBytes += data.size();
    }
    return result;
}

std::size_t ResidentBytes()
{
    std::ifstream statm("/proc/self/statm");
    std::size_t sizePages = 0;
    std::size_t residentPages = 0;
    statm >> sizePages >> residentPages;
    return residentPages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

void PrepareLikeTheProgram()
{
    std::setlocale(LC_ALL, "");
    AnsiCharset();
    cv::utils::logging::setLogLevel(cv::utils::logging::LOG_LEVEL_SILENT);
    // Only fills in an unset variable; the previous value is kept otherwise.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
}

std::vector<std::filesystem::path> DroppablePictures(const std::filesystem::path& folder)
{
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.is_regular_file() && AcceptedExtension(QString::fromStdString(entry.path().string())))
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    if (files.empty())
        throw std::runtime_error("no pictures in " + folder.string());
    return files;
}

std::filesystem::path PictureFolder(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.starts_with("--")) {
            ++i;  // the option's value
            continue;
        }
        return argument;
    }
    return std::filesystem::path(LUMORA_SOURCE_DIR) / "tests" / "data" / "pictures";
}

std::vector<CorpusPicture> CorpusPictures(const std::filesystem::path& corpus)
{
    std::ifstream truth(corpus / "TRUTH.txt");
    if (!truth)
        throw std::runtime_error("no TRUTH.txt in " + corpus.string());
    std::vector<CorpusPicture> pictures;
    for (std::string line; std::getline(truth, line);) {
        CorpusPicture picture{line.substr(0, line.find('\t'))};
        if (picture.relpath.empty())
            continue;
        const auto tabs = static_cast<std::size_t>(std::count(line.begin(), line.end(), '\t'));
        picture.texts = tabs > 1 ? tabs - 1 : 0;  // relpath, kind, then the texts
        pictures.push_back(std::move(picture));
    }
    return pictures;
}

std::string EscapedLikeTruth(std::string_view text)
{
    std::string escaped;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\\')
            escaped += "\\\\";
        else if (byte >= 0x20 && byte < 0x7f)
            escaped += c;
        else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02x", byte);
            escaped += hex;
        }
    }
    return escaped;
}

int IntOption(int argc, char** argv, const std::string& name, int fallback)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (argv[i] == "--" + name)
            return std::max(1, std::atoi(argv[i + 1]));
    return fallback;
}

NullStdout::NullStdout() : saved_(dup(STDOUT_FILENO)), table_(fdopen(dup(saved_), "w"))
{
    std::fflush(stdout);
    const int null = open("/dev/null", O_WRONLY);
    if (null < 0 || dup2(null, STDOUT_FILENO) < 0)
        throw std::runtime_error("cannot point standard output at /dev/null");
    close(null);  // standard output holds its own descriptor now
}

NullStdout::~NullStdout()
{
    std::fflush(stdout);
    std::fclose(table_);
    dup2(saved_, STDOUT_FILENO);  // nothing better to do if it fails: the program ends
    close(saved_);
}

void PrintRow(std::FILE* out, const std::vector<std::string>& cells)
{
    std::string line = "|";
    for (const std::string& cell : cells)
        line += " " + cell + " |";
    std::fprintf(out, "%s\n", line.c_str());
    std::fflush(out);
}

std::string Fixed(double value, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

double SumOfMedians(const std::vector<std::vector<double>>& timesPerItem)
{
    double sum = 0;
    for (const std::vector<double>& times : timesPerItem)
        sum += Median(times);
    return sum;
}

int RunReportingErrors(int argc, char** argv, int (*run)(int, char**))
{
    try {
        return run(argc, argv);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.what());
        return 1;
    }
}
