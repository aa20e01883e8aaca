#include "output/CopyTextToClipboard.h"

#include "platform/Clipboard.h"

#include <QString>

void CopyTextToClipboard(const QString& text)
{
    SetClipboardText(text);
}
