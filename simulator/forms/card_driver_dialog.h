// "Select New Direct3D Driver": the engine's driver dialog shown as a Qt dialog over its model.
#pragma once
#include <QDialog>

#include "platform/card_dialog.h"

class QComboBox;

class TCardDriverDialog : public QDialog {
public:
    explicit TCardDriverDialog(const plat_card_dialog_model* model, QWidget* parent = nullptr);

private:
    void Refill();
    void Choose(int list, int index);

    const plat_card_dialog_model* model_;
    QComboBox* lists_[3];
};

// The platform's dialog handler: modal on the GUI thread; -1 on any other thread or without an application.
int CardDriverDialog(const plat_card_dialog_model* model);
