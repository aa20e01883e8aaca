#pragma once
// The CLIPBOARD selection that other programs paste from.

class QString;

// Replaces the clipboard's content with text as plain text.
void SetClipboardText(const QString& text);
