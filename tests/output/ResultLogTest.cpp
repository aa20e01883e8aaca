// Result lines in the box and on the clipboard.

#include "output/CopyTextToClipboard.h"
#include "ui/LumoraDlg.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>

namespace {

QString Box(const CLumoraDlg& dlg)
{
    return dlg.m_editResult->toPlainText();
}

QString Clipboard()
{
    return QGuiApplication::clipboard()->text(QClipboard::Clipboard);
}

}  // namespace

TEST(ResultLog, EachTextBecomesALineOfItsOwnThroughEitherBranch)
{
    CLumoraDlg dlg;
    dlg.AppendResultLine("first");  // empty box: through the data exchange
    EXPECT_EQ(Box(dlg), QString("first\n"));
    EXPECT_EQ(dlg.m_strResult, QString("first\r\n"));
    dlg.AppendResultLine("second");  // at the end of what is there
    dlg.AppendResultLine("");        // an empty text is an empty line
    dlg.AppendResultLine("multi\r\nline");
    EXPECT_EQ(Box(dlg), QString("first\nsecond\n\nmulti\nline\n"));
}

TEST(ResultLog, AppendsAfterTypedTextWhereverTheCaretWas)
{
    CLumoraDlg dlg;
    dlg.m_editResult->setPlainText("typed");
    QTextCursor caret = dlg.m_editResult->textCursor();
    caret.setPosition(1);
    caret.setPosition(3, QTextCursor::KeepAnchor);  // "yp" selected
    dlg.m_editResult->setTextCursor(caret);

    dlg.AppendResultLine("code");
    EXPECT_EQ(Box(dlg), QString("typedcode\n"));
    EXPECT_FALSE(dlg.m_editResult->textCursor().hasSelection());
    EXPECT_FALSE(dlg.m_editResult->document()->isUndoAvailable());  // appended lines cannot be undone
}

TEST(ResultLog, ClearEmptiesTheBoxAndLeavesTheClipboard)
{
    CLumoraDlg dlg;
    dlg.AppendResultLine("one");
    dlg.AppendResultLine("two");
    CopyTextToClipboard("two");
    static_cast<QPushButton*>(dlg.Control(IDC_CLEAR))->click();
    EXPECT_TRUE(dlg.m_editResult->document()->isEmpty());
    EXPECT_EQ(Clipboard(), QString("two"));

    dlg.AppendResultLine("three");  // the data exchange branch again
    EXPECT_EQ(Box(dlg), QString("three\n"));
}

TEST(ResultLog, ClipboardHoldsTheLastTextWithoutALineEnd)
{
    CopyTextToClipboard("first");
    CopyTextToClipboard("取り込み second");
    EXPECT_EQ(Clipboard(), QString("取り込み second"));
    CopyTextToClipboard("");
    EXPECT_EQ(Clipboard(), QString());
}
