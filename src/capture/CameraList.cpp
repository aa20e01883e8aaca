#include "capture/CameraList.h"

#include "app/CaptureState.h"
#include "ui/LumoraDlg.h"

#include <QComboBox>

namespace {
// -1 when the list has no selection; a run then hands -1 to OpenCV as it is.
void StoreCameraSelection(const QComboBox& combo)
{
    g_cameraIndex = combo.currentIndex();
}
}  // namespace

void FitDropDownHeight(QComboBox& combo, int rows)
{
    combo.setMaxVisibleItems(rows);
}

void CLumoraDlg::FillCameraList()
{
    m_comboCamera->clear();
    for (int i = 0; i < g_cameraCount; ++i)
        m_comboCamera->addItem(g_cameraNames[i]);
    FitDropDownHeight(*m_comboCamera, g_cameraCount + 1);
    // The first item added became current and was stored through OnCameraSelChange.
    if (g_cameraCount > 0)
        m_comboCamera->setCurrentIndex(0);
}

void CLumoraDlg::OnCameraSelChange()
{
    StoreCameraSelection(*m_comboCamera);
}

void CLumoraDlg::OnCameraSelEndCancel()
{
    StoreCameraSelection(*m_comboCamera);
}
