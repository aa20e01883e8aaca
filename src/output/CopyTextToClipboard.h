#pragma once
// Puts one result on the clipboard: the text alone, without its line end.

class QString;

void CopyTextToClipboard(const QString& text);
