#pragma once
// The result box: plain text, with pasted files and pictures handed to an owner instead of
// being inserted as text (Ctrl+V, Shift+Insert and the context menu's Paste alike), and the
// owner's entries in its context menu after Paste.

#include <QList>
#include <QMimeData>
#include <QPlainTextEdit>

#include <functional>

class QAction;

class ResultBox : public QPlainTextEdit {
public:
    explicit ResultBox(QWidget* parent) : QPlainTextEdit(parent) {}

    // handler answers true when it took the pasted data; false leaves it to the text paste.
    void SetOnPaste(std::function<bool(const QMimeData&)> handler);
    // Shown in the context menu right after Paste, in this order; owned by the caller.
    void SetMenuEntries(QList<QAction*> entries);

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    std::function<bool(const QMimeData&)> onPaste_;
    QList<QAction*> menuEntries_;
};
