// "Select New Direct3D Driver": three drop-down lists over the engine's model, OK and Cancel.
#include "forms/card_driver_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QThread>

namespace {

// Dialog units of an 8-point Arial dialog: a quarter of the average character width, an eighth
// of the character height.
QRect units(int x, int y, int width, int height)
{
    constexpr double horizontal = 1.5, vertical = 1.625;
    return QRect(int(x * horizontal), int(y * vertical), int(width * horizontal), int(height * vertical));
}

}  // namespace

TCardDriverDialog::TCardDriverDialog(const plat_card_dialog_model* model, QWidget* parent)
    : QDialog(parent), model_(model)
{
    setWindowTitle("Select New Direct3D Driver");
    setFont(QFont("Arial", 8));
    setFixedSize(units(0, 0, 179, 84).size());
    const char* names[3] = {"drivers", "devices", "modes"};
    const int tops[3] = {5, 24, 44};
    const char* labels[3] = {"Driver:", "Device:", "Mode:"};
    const int label_widths[3] = {22, 25, 22};
    for (int list = 0; list < 3; ++list) {
        auto* label = new QLabel(labels[list], this);
        label->setGeometry(units(5, tops[list], label_widths[list], 13));
        lists_[list] = new QComboBox(this);
        lists_[list]->setObjectName(names[list]);
        lists_[list]->setGeometry(units(36, tops[list], 138, 13));
        connect(lists_[list], &QComboBox::activated, this, [this, list](int index) { Choose(list, index); });
    }
    auto* ok = new QPushButton("OK", this);
    ok->setGeometry(units(65, 65, 51, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { done(1); });
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setGeometry(units(123, 65, 51, 14));
    connect(cancel, &QPushButton::clicked, this, [this] { done(2); });
    Refill();
}

void TCardDriverDialog::Refill()
{
    for (int list = 0; list < 3; ++list) {
        QSignalBlocker quiet(lists_[list]);
        lists_[list]->clear();
        const int count = model_->count(model_->model, list);
        for (int i = 0; i < count; ++i)
            lists_[list]->addItem(QString::fromLatin1(model_->text(model_->model, list, i)));
        lists_[list]->setCurrentIndex(model_->selected(model_->model, list));
    }
}

void TCardDriverDialog::Choose(int list, int index)
{
    model_->choose(model_->model, list, index);
    Refill();
}

int CardDriverDialog(const plat_card_dialog_model* model)
{
    if (!qApp || QThread::currentThread() != qApp->thread())
        return -1;
    TCardDriverDialog dialog(model);
    return dialog.exec() == 1 ? 1 : 2;
}
