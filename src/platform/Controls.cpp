#include "platform/Controls.h"

#include <QAbstractButton>

bool IsChecked(const QAbstractButton* button)
{
    return button->isChecked();
}

void SetChecked(QAbstractButton* button, bool checked)
{
    button->setChecked(checked);
}
