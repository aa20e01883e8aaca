#pragma once
// The result box: plain text, with pasted files and pictures handed to an owner instead of
// being inserted as text (Ctrl+V, Shift+Insert and the context menu's Paste alike), and the
// owner's entries in its context menu after Paste.

#include <QList>
#include <QMimeData>
#include <QPlainTextEdit>

#include <functional>

class QAction;
class QMenu;

class ResultBox : public QPlainTextEdit {
public:
    explicit ResultBox(QWidget* parent) : QPlainTextEdit(parent) {}

    // handler answers true when it took the pasted data; false leaves it to the text paste.
    void SetOnPaste(std::function<bool(const QMimeData&)> handler);
    // Entries for the context menu, made afresh each time it opens (the menu is their
    // parent, or the caller owns them), shown right after Paste in this order.
    void SetMenuEntries(std::function<QList<QAction*>(QMenu& menu)> entries);

    // The context menu, at the caret: for the keyboard when the focus is elsewhere.
    void OpenContextMenu();

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void ShowMenu(const QPoint& at);

    std::function<bool(const QMimeData&)> onPaste_;
    std::function<QList<QAction*>(QMenu&)> menuEntries_;
};
