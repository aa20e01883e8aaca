#include "decode/Utf8ToAnsi.h"

#include "platform/Charset.h"

#include <cstring>
#include <optional>

std::unique_ptr<char[]> Utf8ToAnsi(const char* utf8)
{
    return Utf8ToAnsi(utf8, AnsiCharset());
}

std::unique_ptr<char[]> Utf8ToAnsi(const char* utf8, const std::string& charset)
{
    if (utf8 == nullptr)
        return nullptr;
    const std::u16string wide = Utf8ToUtf16(utf8);
    const std::optional<std::string> narrow = Utf16ToCharset(wide, charset);
    if (!narrow)
        return nullptr;
    auto result = std::make_unique<char[]>(narrow->size() + 1);  // zero-filled: terminated
    std::memcpy(result.get(), narrow->data(), narrow->size());
    return result;
}
