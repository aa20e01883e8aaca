#include "ui/DropDownList.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>

#include <utility>

namespace {

// Named by its accessible name, its current item being its value; its popup list is its
// child and showing that list its action, as with Qt's own drop-down lists.
class DropDownListAccessible : public QAccessibleWidget {
public:
    explicit DropDownListAccessible(DropDownList* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    QString text(QAccessible::Text kind) const override
    {
        switch (kind) {
        case QAccessible::Name: return List().accessibleName();
        case QAccessible::Value: return List().currentText();
        default: return QAccessibleWidget::text(kind);
        }
    }

    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(List().view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child != nullptr && child->object() == List().view() ? 0 : -1;
    }

    QStringList actionNames() const override { return QAccessibleWidget::actionNames() << showMenuAction(); }
    void doAction(const QString& name) override
    {
        if (name == showMenuAction())
            List().showPopup();
        else
            QAccessibleWidget::doAction(name);
    }

private:
    DropDownList& List() const { return *static_cast<DropDownList*>(widget()); }
};

QAccessibleInterface* DropDownListFactory(const QString&, QObject* object)
{
    auto* const list = dynamic_cast<DropDownList*>(object);
    return list != nullptr ? new DropDownListAccessible(list) : nullptr;  // Qt's registry owns it
}

}  // namespace

DropDownList::DropDownList(QWidget* parent) : QComboBox(parent)
{
    QAccessible::installFactory(DropDownListFactory);  // Qt keeps each factory once
    setEditable(false);
}

void DropDownList::SetOnPopupClosed(std::function<void()> handler)
{
    onPopupClosed_ = std::move(handler);
}

void DropDownList::hidePopup()
{
    QComboBox::hidePopup();
    if (onPopupClosed_)
        onPopupClosed_();
}
