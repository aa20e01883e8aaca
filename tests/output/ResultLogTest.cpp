// Result lines in the box and on the clipboard.

#include "ui/LumoraDlg.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>

TEST(ResultLog, EachTextIsALineAtTheEndWhateverTheCaretAndClearLeavesTheClipboard)
{
    CLumoraDlg dlg;
    dlg.WriteResult("first");  // an empty box: through the data exchange
    EXPECT_EQ(dlg.m_strResult, "first\r\n");
    dlg.m_editResult->moveCursor(QTextCursor::End);
    dlg.m_editResult->insertPlainText("typed");
    QTextCursor caret = dlg.m_editResult->textCursor();
    caret.setPosition(1);
    caret.setPosition(3, QTextCursor::KeepAnchor);
    dlg.m_editResult->setTextCursor(caret);
    dlg.WriteResult("");
    dlg.WriteResult("取り込み\r\nsecond");
    EXPECT_EQ(dlg.m_editResult->toPlainText(), "first\ntyped\n取り込み\nsecond\n");
    EXPECT_FALSE(dlg.m_editResult->document()->isUndoAvailable());  // appended lines cannot be undone
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "取り込み\r\nsecond");

    static_cast<QPushButton*>(dlg.Control(IDC_CLEAR))->click();
    EXPECT_TRUE(dlg.m_editResult->document()->isEmpty());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "取り込み\r\nsecond");
    dlg.WriteResult("again");
    EXPECT_EQ(dlg.m_editResult->toPlainText(), "again\n");
}
