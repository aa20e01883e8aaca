// Fuzz target: a symbol's decoded bytes through the QR text encoding, the conversion into
// display text, and the recognition of what they hold. The first byte chooses the character
// set; the rest is the data.

#include "FuzzCheck.h"

#include "decode/DisplayText.h"
#include "decode/QrText.h"
#include "decode/Utf8ToAnsi.h"
#include "output/ResultContent.h"
#include "platform/Charset.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::array<std::string, 6> charsets{"UTF-8", "CP932", "EUC-JP", "ISO-8859-1", "ASCII", "NO-SUCH-SET"};
    if (size == 0)
        return 0;
    const std::string& charset = charsets[data[0] % charsets.size()];
    const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    const bool validUtf8 = IsValidUtf8(bytes);

    const std::string text = QrTextToUtf8(bytes);
    FuzzCheck(IsValidUtf8(text), "a QR code's text is UTF-8");
    FuzzCheck(!validUtf8 || text == bytes, "UTF-8 data is its own text");

    const std::unique_ptr<char[]> narrow = Utf8ToAnsi(bytes.c_str(), charset);
    FuzzCheck((narrow == nullptr) == (charset == "NO-SUCH-SET"), "null exactly for an unknown character set");
    for (const char* c = narrow && charset == "ASCII" ? narrow.get() : ""; *c != '\0'; ++c)
        FuzzCheck(static_cast<unsigned char>(*c) < 0x80, "an ASCII locale gets ASCII bytes only");

    const QString shown = DisplayTextOf(SymbolHit{"QR-Code", bytes, {}}, charset);
    FuzzCheck(!shown.contains(QChar(u'\0')), "the text ends at the data's first zero byte");
    if (charset == "UTF-8" && validUtf8)
        FuzzCheck(shown == QString::fromStdString(bytes.c_str()), "UTF-8 is shown as itself under a UTF-8 locale");

    if (const std::optional<ResultContent> content = RecogniseContent(bytes)) {
        FuzzCheck(content->label.size() <= kMaxLabelLength, "a label is short");
        FuzzCheck(std::none_of(content->label.begin(), content->label.end(),
                               [](QChar c) { return c.category() == QChar::Other_Control; }),
                  "a label holds no control character");
        FuzzCheck(!content->fileName.contains(u'/') && !content->fileName.startsWith(u'.'),
                  "a file name names no other folder and no hidden file");
        const QString scheme = content->address.scheme();
        FuzzCheck(content->kind != ContentKind::Link || scheme == "http" || scheme == "https",
                  "only web links are opened");
    }
    return 0;
}
