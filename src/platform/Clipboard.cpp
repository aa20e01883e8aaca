#include "platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

void SetClipboardText(const QString& text)
{
    QClipboard* const clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr)
        return;  // no GUI application: nothing to copy to
    clipboard->setText(text, QClipboard::Clipboard);
}
