#include "decode/QrText.h"

#include "platform/Charset.h"

#include <optional>

namespace {
const std::string kShiftJis = "CP932";
const std::string kLatin1 = "ISO-8859-1";
}  // namespace

std::string QrTextToUtf8(std::string_view bytes)
{
    if (IsValidUtf8(bytes))
        return std::string(bytes);
    if (std::optional<std::string> text = ToUtf8Exactly(bytes, kShiftJis))
        return *text;
    // Every byte is an ISO-8859-1 character: this converts unless iconv lacks the set.
    return ToUtf8Exactly(bytes, kLatin1).value_or(std::string(bytes));
}
