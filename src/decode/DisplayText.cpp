#include "decode/DisplayText.h"

#include "decode/Utf8ToAnsi.h"
#include "platform/Charset.h"

#include <cstring>
#include <optional>

QString DisplayTextOf(const SymbolHit& symbol)
{
    return DisplayTextOf(symbol, AnsiCharset());
}

QString DisplayTextOf(const SymbolHit& symbol, const std::string& charset)
{
    // data is kept whole; c_str() hands it on as text that ends at its first zero byte.
    const std::unique_ptr<char[]> narrow = Utf8ToAnsi(symbol.data.c_str(), charset);
    if (!narrow)
        return {};
    const std::optional<std::u16string> wide = CharsetToUtf16(narrow.get(), charset);
    return wide ? QString::fromStdU16String(*wide) : QString();
}
