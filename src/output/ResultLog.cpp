// The result box as a log: one line per accepted symbol, emptied by Clear.

#include "decode/DisplayText.h"
#include "output/CopyTextToClipboard.h"
#include "output/ResultActions.h"
#include "platform/Controls.h"
#include "ui/LumoraDlg.h"

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QTextCursor>

namespace {
const QString kLineEnd = QStringLiteral("\r\n");  // the box shows the pair as one line break
}

void CLumoraDlg::AppendResultLine(const QString& text)
{
    if (!m_editResult->document()->isEmpty()) {
        QTextCursor caret = m_editResult->textCursor();
        caret.movePosition(QTextCursor::End);
        m_editResult->setTextCursor(caret);
        m_editResult->ensureCursorVisible();
        // Appended lines cannot be undone; the box's undo history goes with them.
        m_editResult->setUndoRedoEnabled(false);
        m_editResult->insertPlainText(text + kLineEnd);
        m_editResult->setUndoRedoEnabled(true);
        return;
    }
    UpdateData(true);
    m_strResult = text + kLineEnd;
    UpdateData(false);
}

void CLumoraDlg::WriteResult(const QString& text)
{
    AppendResultLine(text);
    if (IsChecked(m_chkClipboard))
        CopyTextToClipboard(text);
}

void CLumoraDlg::ReportResult(const SymbolHit& symbol)
{
    const QString text = DisplayTextOf(symbol);
    WriteResult(text);
    Announce(text);
    if (std::optional<ResultContent> content = RecogniseContent(symbol.data))
        RememberContent(m_recentContents, std::move(*content));
}

void CLumoraDlg::OnClear()
{
    UpdateData(true);
    m_strResult.clear();
    UpdateData(false);
}
