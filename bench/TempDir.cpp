#include "TempDir.h"

#include <cstdlib>
#include <string>
#include <system_error>

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "lumora-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::filesystem::filesystem_error("mkdtemp", std::error_code(errno, std::generic_category()));
    path_ = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;  // a leftover temporary folder is not worth failing a test over
    std::filesystem::remove_all(path_, ignored);
}
