// The dialog's own behaviour: defaults, the size pair, the ways it ends, data exchange.

#include "app/CaptureState.h"
#include "ui/LumoraDlg.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

namespace {
// Runs the dialog modally and has act poke it once it is up; returns exec()'s result.
int RunModal(CLumoraDlg& dlg, const std::function<void()>& act)
{
    QTimer::singleShot(0, &dlg, act);
    QTimer::singleShot(5000, &dlg, [&] { dlg.done(-1); });  // a hang fails instead
    return dlg.exec();
}
}  // namespace

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

TEST(Dialog, EveryWayOfClosingStopsARunEscAndTheWindowManagerCancel)
{
    const std::pair<std::function<void(CLumoraDlg&)>, int> cases[] = {
        {[](CLumoraDlg& dlg) { static_cast<QPushButton*>(dlg.Control(IDOK))->click(); }, QDialog::Accepted},
        {[](CLumoraDlg& dlg) { QTest::keyClick(dlg.m_chkClipboard, Qt::Key_Escape); }, QDialog::Rejected},
        {[](CLumoraDlg& dlg) { dlg.close(); }, QDialog::Rejected},
    };
    for (const auto& [close, result] : cases) {
        g_stopRequested = 0;
        CLumoraDlg dlg;
        EXPECT_EQ(RunModal(dlg, [&] { close(dlg); }), result);
        EXPECT_EQ(g_stopRequested, 1);
    }
}

TEST(Dialog, DataExchangeKeepsTheChosenOfTwoSameNamedCamerasAndDestructionCallsNoHandler)
{
    auto dlg = std::make_unique<CLumoraDlg>();
    dlg->m_comboCamera->addItems({"USB Camera", "USB Camera"});
    dlg->m_comboCamera->setCurrentIndex(1);
    dlg->UpdateData(true);
    dlg->UpdateData(false);
    EXPECT_EQ(dlg->m_comboCamera->currentIndex(), 1);

    dlg->show();
    dlg->m_comboCamera->showPopup();
    g_cameraIndex = 7;
    dlg.reset();
    EXPECT_EQ(g_cameraIndex, 7);  // no selection handler ran on the half-destroyed dialog
}
