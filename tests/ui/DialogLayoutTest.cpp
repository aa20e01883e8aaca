// The dialog as the template draws it: frame, captions, places, tab order.

#include "platform/DialogUnits.h"
#include "ui/LumoraDlg.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>

#include <vector>

namespace {

struct Expected {
    int id;
    const char* caption;
    int x, y, w, h;
};

// The template, written out again by hand so that a slip in the table shows here.
const Expected kTemplate[] = {
    {IDOK, "閉じる", 292, 25, 70, 21},
    {IDCANCEL, "キャンセル", 312, 47, 50, 16},
    {IDC_RESULT, "", 7, 7, 280, 218},
    {IDC_START_CAPTURE, "取り込み開始", 293, 101, 69, 20},
    {IDC_STOP_CAPTURE, "取り込み終了", 294, 125, 68, 20},
    {IDC_CLEAR, "クリア", 296, 165, 66, 18},
    {IDC_SIZE_LARGE, "大画面", 300, 64, 36, 10},
    {IDC_SIZE_SMALL, "小画面", 300, 77, 36, 10},
    {IDC_CLIPBOARD, "クリップ", 300, 187, 34, 10},
    {IDC_STATIC, "ボード格納", 308, 201, 36, 11},
    {IDC_CAMERA, "", 290, 5, 72, 30},
};

QString CaptionOf(const QWidget* widget)
{
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    return {};
}

// Base units as the template conversion defines them, computed here independently.
int PixelsX(int dlu, const QFont& font)
{
    const QFontMetrics metrics(font);
    const int average = (metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 26 + 1) / 2;
    return (dlu * average + 2) / 4;
}

int PixelsY(int dlu, const QFont& font)
{
    return (dlu * QFontMetrics(font).height() + 4) / 8;
}

}  // namespace

TEST(DialogLayout, FrameIsFixedTitledAndMinimisableOnly)
{
    const CLumoraDlg dlg;
    EXPECT_EQ(dlg.windowTitle(), QString("Lumora Ver.2.2.3"));
    EXPECT_EQ(dlg.minimumSize(), dlg.maximumSize());
    EXPECT_EQ(dlg.width(), PixelsX(369, dlg.font()));
    EXPECT_EQ(dlg.height(), PixelsY(232, dlg.font()));
    const Qt::WindowFlags flags = dlg.windowFlags();
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowCloseButtonHint);
    EXPECT_EQ(dlg.font().pointSize(), 9);
}

TEST(DialogLayout, CaptionsShowInAJapaneseFont)
{
    const CLumoraDlg dlg;
    const QFontInfo used(dlg.font());
    EXPECT_TRUE(used.family().contains("IPA") || used.family().contains("Gothic") || used.family().contains("CJK"))
        << used.family().toStdString();
    EXPECT_TRUE(QFontMetrics(dlg.font()).inFont(QChar(u'取')));
}

TEST(DialogLayout, EveryControlSitsOnItsTemplateRectangle)
{
    const CLumoraDlg dlg;
    for (const Expected& item : kTemplate) {
        SCOPED_TRACE(item.id);
        const QWidget* const widget = dlg.Control(item.id);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(CaptionOf(widget), QString::fromUtf8(item.caption));
        const QRect rect = widget->geometry();
        EXPECT_EQ(rect.x(), PixelsX(item.x, dlg.font()));
        EXPECT_EQ(rect.y(), PixelsY(item.y, dlg.font()));
        EXPECT_EQ(rect.width(), PixelsX(item.w, dlg.font()));
        if (item.id != IDC_CAMERA) {  // its template height is the open drop-down's
            EXPECT_EQ(rect.height(), PixelsY(item.h, dlg.font()));
        }
    }
}

TEST(DialogLayout, ControlsHaveTheirKindsAndTheCancelButtonIsHidden)
{
    const CLumoraDlg dlg;
    EXPECT_TRUE(dlg.Control(IDCANCEL)->isHidden());
    EXPECT_FALSE(dlg.Control(IDOK)->isHidden());
    EXPECT_EQ(dlg.m_editResult, dlg.Control(IDC_RESULT));
    EXPECT_EQ(dlg.m_editResult->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_FALSE(dlg.m_editResult->isReadOnly());
    EXPECT_EQ(dlg.m_editResult->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(dlg.m_comboCamera, dlg.Control(IDC_CAMERA));
    EXPECT_FALSE(dlg.m_comboCamera->isEditable());
    EXPECT_FALSE(dlg.m_btnLarge->autoExclusive());
    EXPECT_FALSE(dlg.m_btnSmall->autoExclusive());
}

TEST(DialogLayout, TabGoesThroughTheTabStopsInTemplateOrder)
{
    CLumoraDlg dlg;
    const std::vector<int> order{IDOK, IDC_RESULT, IDC_START_CAPTURE, IDC_STOP_CAPTURE, IDC_CLEAR, IDC_CLIPBOARD,
                                 IDC_CAMERA};
    std::vector<int> seen;
    const QWidget* widget = dlg.Control(IDOK);
    do {
        for (const int id : order)
            if (dlg.Control(id) == widget)
                seen.push_back(id);
        widget = widget->nextInFocusChain();
    } while (widget != dlg.Control(IDOK) && seen.size() < order.size() + 1);
    EXPECT_EQ(seen, order);
    for (const int id : {IDC_SIZE_LARGE, IDC_SIZE_SMALL, IDC_STATIC})
        EXPECT_FALSE(dlg.Control(id)->focusPolicy() & Qt::TabFocus) << id;
}

TEST(DialogLayout, IconComesInThreeSizes)
{
    const CLumoraDlg dlg;
    const QList<QSize> sizes = dlg.windowIcon().availableSizes();
    for (const int size : {16, 32, 48})
        EXPECT_TRUE(sizes.contains(QSize(size, size))) << size;
}
