// The dialog's notice: a short message over the foot of the result box, where the user
// looks for results, that goes away by itself and is never part of the box's text.

#include "ui/LumoraDlg.h"

#include <QLabel>
#include <QPlainTextEdit>

#include <chrono>

namespace {
constexpr std::chrono::milliseconds kNoticeShown{4000};
constexpr int kNoticeMargin = 6;  // pixels between the notice and the box's edges
}  // namespace

void CLumoraDlg::CreateNotice()
{
    m_notice = new QLabel(this);
    m_notice->setWordWrap(true);
    m_notice->setMargin(kNoticeMargin);
    m_notice->setFrameShape(QFrame::Box);
    // The colours of a tooltip: it must stand out from the results under it.
    m_notice->setAutoFillBackground(true);
    m_notice->setBackgroundRole(QPalette::ToolTipBase);
    m_notice->setForegroundRole(QPalette::ToolTipText);
    m_notice->hide();
    m_noticeTimer.setSingleShot(true);
    m_noticeTimer.setInterval(kNoticeShown);
    connect(&m_noticeTimer, &QTimer::timeout, m_notice, &QWidget::hide);
}

void CLumoraDlg::PlaceNotice(const QString& text)
{
    const QRect box = m_editResult->geometry();
    m_notice->setText(text);
    m_notice->setFixedWidth(box.width() - 2 * kNoticeMargin);
    m_notice->adjustSize();
    m_notice->move(box.left() + kNoticeMargin, box.bottom() - kNoticeMargin - m_notice->height());
    m_notice->raise();
    m_notice->show();
}

void CLumoraDlg::ShowNotice(const QString& text)
{
    PlaceNotice(text);
    m_noticeTimer.start();  // a second notice stays its own full time
    Announce(text);
}

void CLumoraDlg::ShowProgress(const QString& text)
{
    if (m_noticeTimer.isActive())
        return;  // a notice has its full time first; the progress comes back after it
    PlaceNotice(text);
}

void CLumoraDlg::EndProgress()
{
    if (!m_noticeTimer.isActive())
        m_notice->hide();
}
