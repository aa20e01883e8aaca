#pragma once
// A drop-down list that tells when its popup closes, chosen or dismissed.

#include <QComboBox>

#include <functional>
#include <utility>

class DropDownList : public QComboBox {
public:
    explicit DropDownList(QWidget* parent) : QComboBox(parent) { setEditable(false); }

    void SetOnPopupClosed(std::function<void()> handler) { onPopupClosed_ = std::move(handler); }

    void hidePopup() override
    {
        QComboBox::hidePopup();
        if (onPopupClosed_)
            onPopupClosed_();
    }

private:
    std::function<void()> onPopupClosed_;
};
