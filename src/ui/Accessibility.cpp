// The dialog as screen readers know it: every control named in Japanese like the captions,
// the clipboard box's two-line caption read as one, and results said as they come.

#include "ui/LumoraDlg.h"

#include "platform/Announcer.h"
#include "ui/ResultBox.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>

namespace {

// Qt tells a radio button that is not auto-exclusive for a check box. The size buttons are
// each a group of their own only so that their handlers decide: to the user they are one
// choice of two, read as radio buttons.
class SizeButtonAccessible : public QAccessibleWidget {
public:
    explicit SizeButtonAccessible(QRadioButton* button) : QAccessibleWidget(button, QAccessible::RadioButton) {}

    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Name && Button().accessibleName().isEmpty() ? Button().text()
                                                                                : QAccessibleWidget::text(kind);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = Button().isChecked();
        return state;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override
    {
        if (name == pressAction())
            Button().click();
    }

private:
    QRadioButton& Button() const { return *static_cast<QRadioButton*>(widget()); }
};

QAccessibleInterface* SizeButtonFactory(const QString&, QObject* object)
{
    // Asked as soon as a button exists, before it is made not auto-exclusive: every radio
    // button of the program is taken.
    auto* const button = qobject_cast<QRadioButton*>(object);
    return button != nullptr ? new SizeButtonAccessible(button) : nullptr;  // Qt's registry owns it
}

}  // namespace

void CLumoraDlg::InstallAccessibleInterfaces()
{
    QAccessible::installFactory(SizeButtonFactory);  // Qt keeps each factory once
}

void CLumoraDlg::NameForAssistiveTools()
{
    m_editResult->setAccessibleName(QStringLiteral("読み取り結果"));
    m_editResult->setAccessibleDescription(
        QStringLiteral("読み取ったコードの内容を一行ずつ表示します。コンテキストメニューから画面の読み取りと、"
                       "読み取った内容に応じた操作ができます。"));
    // The box's own parts, which a screen reader lists under it: its page and its scroll bar.
    m_editResult->viewport()->setAccessibleName(QStringLiteral("読み取り結果"));
    QScrollBar* const scrollBar = m_editResult->verticalScrollBar();
    scrollBar->setAccessibleName(QStringLiteral("読み取り結果のスクロールバー"));
    scrollBar->parentWidget()->setAccessibleName(QStringLiteral("読み取り結果のスクロールバー"));
    m_comboCamera->setAccessibleName(QStringLiteral("カメラ"));
    m_comboCamera->setAccessibleDescription(QStringLiteral("取り込み開始で開くカメラ"));
    // The box's caption goes on in the label under it; read as one, and the label tied to it.
    m_chkClipboard->setAccessibleName(QStringLiteral("クリップボード格納"));
    m_chkClipboard->setAccessibleDescription(QStringLiteral("読み取った内容をクリップボードにも格納します"));
    static_cast<QLabel*>(Control(IDC_STATIC))->setBuddy(m_chkClipboard);
    m_announcer = std::make_unique<Announcer>();
}

void CLumoraDlg::Announce(const QString& text)
{
    m_announcer->Announce(text);
}

void CLumoraDlg::contextMenuEvent(QContextMenuEvent* event)
{
    if (event->reason() != QContextMenuEvent::Keyboard)
        return QDialog::contextMenuEvent(event);
    static_cast<ResultBox*>(m_editResult)->OpenContextMenu();
}
