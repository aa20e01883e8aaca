// Runs every input kept in the given folder through a fuzz target, as libFuzzer would, so
// that the suite, built without libFuzzer, guards each finding once it is fixed.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

int main(int argc, char** argv)
{
    if (LLVMFuzzerInitialize != nullptr)
        LLVMFuzzerInitialize(&argc, &argv);  // always 0, as libFuzzer wants it
    int replayed = 0;
    for (const auto& input : std::filesystem::directory_iterator(argv[1])) {
        std::printf("replaying %s\n", input.path().filename().c_str());
        std::fflush(stdout);  // names the input should the target abort on it
        std::ifstream file(input.path(), std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());  // returns 0; a broken invariant aborts
        ++replayed;
    }
    return replayed > 0 ? 0 : 1;  // an empty folder would guard nothing
}
