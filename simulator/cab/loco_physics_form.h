// The loco physics dialog: the traction INI file's [general] and [loco physics] keys.
#pragma once
#include <QDialog>

#include "cab/traction_model.h"

class QLineEdit;

class TPhysEditForm : public QDialog {
    Q_OBJECT
public:
    explicit TPhysEditForm(QWidget* parent = nullptr);
    void FillPhysEditForm(const TPhysicsKeys& keys);
    TPhysicsKeys Keys() const;
    // OK with a number the model cannot take says which and keeps the dialog open as it is.
    void accept() override;

    QLineEdit* tractType;
    QLineEdit* descp;
    QLineEdit* year;
    QLineEdit* engine;
    QLineEdit* mass;
    QLineEdit* traction;
    QLineEdit* indbrake;
    QLineEdit* power;
    QLineEdit* numAxles;
    QLineEdit* brk_mode;
};
