#include "ui/ResultBox.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>

#include <memory>
#include <utility>

namespace {
// Qt names the actions of a text box's standard context menu.
const QString kPasteActionName = QStringLiteral("edit-paste");
}  // namespace

void ResultBox::SetOnPaste(std::function<bool(const QMimeData&)> handler)
{
    onPaste_ = std::move(handler);
}

void ResultBox::SetMenuEntries(std::function<QList<QAction*>(QMenu& menu)> entries)
{
    menuEntries_ = std::move(entries);
}

bool ResultBox::canInsertFromMimeData(const QMimeData* source) const
{
    return source->hasUrls() || source->hasImage() || QPlainTextEdit::canInsertFromMimeData(source);
}

void ResultBox::insertFromMimeData(const QMimeData* source)
{
    if (!onPaste_ || !onPaste_(*source))
        QPlainTextEdit::insertFromMimeData(source);
}

void ResultBox::contextMenuEvent(QContextMenuEvent* event)
{
    ShowMenu(event->pos());
}

void ResultBox::OpenContextMenu()
{
    ShowMenu(viewport()->mapTo(this, cursorRect().center()));
}

void ResultBox::ShowMenu(const QPoint& at)
{
    const std::unique_ptr<QMenu> menu(createStandardContextMenu(at));
    const QList<QAction*> actions = menu->actions();
    // After Paste, or at the end should a Qt without it come along.
    QAction* before = nullptr;
    for (qsizetype i = 0; i + 1 < actions.size(); ++i)
        if (actions[i]->objectName() == kPasteActionName)
            before = actions[i + 1];
    if (menuEntries_)
        menu->insertActions(before, menuEntries_(*menu));
    menu->exec(mapToGlobal(at));
}
