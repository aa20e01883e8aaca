#pragma once
// The result box: plain text, with pasted files and pictures handed to an owner instead of
// being inserted as text (Ctrl+V, Shift+Insert and the context menu's Paste alike).

#include <QMimeData>
#include <QPlainTextEdit>

#include <functional>
#include <utility>

class ResultBox : public QPlainTextEdit {
public:
    explicit ResultBox(QWidget* parent) : QPlainTextEdit(parent) {}

    // handler answers true when it took the pasted data; false leaves it to the text paste.
    void SetOnPaste(std::function<bool(const QMimeData&)> handler) { onPaste_ = std::move(handler); }

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override
    {
        return source->hasUrls() || source->hasImage() || QPlainTextEdit::canInsertFromMimeData(source);
    }

    void insertFromMimeData(const QMimeData* source) override
    {
        if (!onPaste_ || !onPaste_(*source))
            QPlainTextEdit::insertFromMimeData(source);
    }

private:
    std::function<bool(const QMimeData&)> onPaste_;
};
