// The dialog's own behaviour where it does not show from outside: the size pair, the close
// button's stop request, destruction.

#include "app/CaptureState.h"
#include "ui/LumoraDlg.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

TEST(Dialog, StartsLargeWithTheClipboardTickedAndKeepsOneSizeChecked)
{
    CLumoraDlg dlg;
    EXPECT_TRUE(dlg.m_btnLarge->isChecked());
    EXPECT_FALSE(dlg.m_btnSmall->isChecked());
    EXPECT_TRUE(dlg.m_chkClipboard->isChecked());
    for (QRadioButton* const clicked : {dlg.m_btnLarge, dlg.m_btnSmall, dlg.m_btnSmall, dlg.m_btnLarge}) {
        clicked->click();
        EXPECT_TRUE(clicked->isChecked());
        EXPECT_NE(dlg.m_btnLarge->isChecked(), dlg.m_btnSmall->isChecked());
    }
}

TEST(Dialog, CloseAcceptsAndStopsARunAndDestructionCallsNoHandler)
{
    auto dlg = std::make_unique<CLumoraDlg>();
    QTimer::singleShot(0, dlg.get(), [&] { static_cast<QPushButton*>(dlg->Control(IDOK))->click(); });
    QTimer::singleShot(5000, dlg.get(), [&] { dlg->done(-1); });  // a hang fails instead
    EXPECT_EQ(dlg->exec(), QDialog::Accepted);
    EXPECT_EQ(g_stopRequested, 1);  // a run in progress ends at the end of its pass

    dlg->m_comboCamera->addItems({"one", "two"});
    dlg->show();
    dlg->m_comboCamera->showPopup();
    g_cameraIndex = 7;
    dlg.reset();
    EXPECT_EQ(g_cameraIndex, 7);  // no selection handler ran on the half-destroyed dialog
}
