#pragma once
// Check state of buttons, the way the dialog code asks for it.

class QAbstractButton;

bool IsChecked(const QAbstractButton* button);
void SetChecked(QAbstractButton* button, bool checked);
