// The dialog's own states and handlers: defaults, the size pair, closing.

#include "app/CaptureState.h"
#include "ui/LumoraDlg.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <memory>
#include <random>

namespace {

QPushButton* Button(const CLumoraDlg& dlg, int id)
{
    return static_cast<QPushButton*>(dlg.Control(id));
}

// Runs the dialog modally and has `act` poke it once it is up; returns exec()'s result.
template <typename Action>
int RunModal(CLumoraDlg& dlg, Action act)
{
    QTimer::singleShot(0, &dlg, [&] { act(); });
    QTimer::singleShot(5000, &dlg, [&] { dlg.done(-1); });  // a test that hangs fails instead
    return dlg.exec();
}

}  // namespace

TEST(DialogBehaviour, StartsWithLargeSizeClipboardTickedEmptyBoxAndFocusOnClose)
{
    const CLumoraDlg dlg;
    EXPECT_TRUE(dlg.m_btnLarge->isChecked());
    EXPECT_FALSE(dlg.m_btnSmall->isChecked());
    EXPECT_TRUE(dlg.m_chkClipboard->isChecked());
    EXPECT_TRUE(dlg.m_editResult->document()->isEmpty());
    EXPECT_EQ(dlg.focusWidget(), dlg.Control(IDOK));
    EXPECT_TRUE(Button(dlg, IDOK)->isDefault());
    EXPECT_EQ(g_stopRequested, 0);
}

TEST(DialogBehaviour, SizeButtonsKeepExactlyOneCheckedWhateverIsClicked)
{
    CLumoraDlg dlg;
    dlg.m_btnLarge->click();  // clicking the checked one leaves it checked
    EXPECT_TRUE(dlg.m_btnLarge->isChecked());
    EXPECT_FALSE(dlg.m_btnSmall->isChecked());

    std::mt19937 random(7);
    for (int i = 0; i < 200; ++i) {
        QRadioButton* const clicked = (random() & 1) != 0 ? dlg.m_btnLarge : dlg.m_btnSmall;
        clicked->click();
        ASSERT_TRUE(clicked->isChecked()) << i;
        ASSERT_NE(dlg.m_btnLarge->isChecked(), dlg.m_btnSmall->isChecked()) << i;
    }
}

TEST(DialogBehaviour, CloseButtonRequestsStopAndAccepts)
{
    CLumoraDlg dlg;
    const int result = RunModal(dlg, [&] { Button(dlg, IDOK)->click(); });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(g_stopRequested, 1);
}

TEST(DialogBehaviour, EscRejectsAndAlsoRequestsStop)
{
    CLumoraDlg dlg;
    const int result = RunModal(dlg, [&] { QTest::keyClick(dlg.Control(IDOK), Qt::Key_Escape); });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(g_stopRequested, 1);  // so that a capture run cannot outlive the dialog
}

TEST(DialogBehaviour, WindowCloseActsLikeEsc)
{
    CLumoraDlg dlg;
    const int result = RunModal(dlg, [&] { dlg.close(); });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(g_stopRequested, 1);
}

TEST(DialogBehaviour, EnterOutsideTheBoxPressesClose)
{
    CLumoraDlg dlg;
    const int result = RunModal(dlg, [&] { QTest::keyClick(dlg.m_chkClipboard, Qt::Key_Return); });
    EXPECT_EQ(result, QDialog::Accepted);
}

TEST(DialogBehaviour, EnterInsideTheBoxBreaksTheLineAndKeepsTheDialogOpen)
{
    CLumoraDlg dlg;
    const int result = RunModal(dlg, [&] {
        dlg.m_editResult->setFocus();
        QTest::keyClicks(dlg.m_editResult, "ab");
        QTest::keyClick(dlg.m_editResult, Qt::Key_Return);
        QTest::keyClicks(dlg.m_editResult, "c");
        EXPECT_TRUE(dlg.isVisible());
        dlg.done(42);
    });
    EXPECT_EQ(result, 42);
    EXPECT_EQ(dlg.m_editResult->toPlainText(), QString("ab\nc"));
}

TEST(DialogBehaviour, DataExchangeReadsAndWritesTheResultText)
{
    CLumoraDlg dlg;
    dlg.m_editResult->setPlainText("typed");
    dlg.UpdateData(true);
    EXPECT_EQ(dlg.m_strResult, QString("typed"));
    dlg.m_strResult = "one\r\ntwo\r\n";
    dlg.UpdateData(false);
    EXPECT_EQ(dlg.m_editResult->toPlainText(), QString("one\ntwo\n"));
}

TEST(DialogBehaviour, DataExchangeKeepsTheChosenOfTwoSameNamedCameras)
{
    CLumoraDlg dlg;
    dlg.m_comboCamera->clear();
    dlg.m_comboCamera->addItems({"USB Camera", "USB Camera"});
    dlg.m_comboCamera->setCurrentIndex(1);
    dlg.UpdateData(true);
    dlg.UpdateData(false);
    EXPECT_EQ(dlg.m_comboCamera->currentIndex(), 1);
}

TEST(DialogBehaviour, DestroyingAShownDialogWithItsListOpenCallsNoHandler)
{
    auto dlg = std::make_unique<CLumoraDlg>();
    dlg->m_comboCamera->addItems({"one", "two"});
    dlg->show();
    dlg->m_comboCamera->showPopup();
    g_cameraIndex = 7;
    dlg.reset();
    EXPECT_EQ(g_cameraIndex, 7);  // no selection handler ran on the half-destroyed dialog
}
