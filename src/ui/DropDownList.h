#pragma once
// A drop-down list that tells when its popup closes, chosen or dismissed, and that a screen
// reader knows by its accessible name whatever it holds: on Linux Qt would name a drop-down
// list by its current item, and an empty list by nothing.

#include <QComboBox>

#include <functional>

class DropDownList : public QComboBox {
public:
    explicit DropDownList(QWidget* parent);

    void SetOnPopupClosed(std::function<void()> handler);
    void hidePopup() override;

private:
    std::function<void()> onPopupClosed_;
};
