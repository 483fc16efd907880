// The Qt view of the driver dialog: it shows the model's lists and hands choices back to it.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <string>
#include <thread>
#include <vector>

#include "forms/card_driver_dialog.h"

namespace {

// A model of one driver, two devices and modes that depend on the device.
struct list_model {
    int device = 0;
    int mode = 0;
    std::vector<std::pair<int, int>> choices;

    std::vector<std::string> list(int which) const {
        if (which == 0) return {"Primary Display Driver"};
        if (which == 1) return {"gpu", "llvmpipe"};
        if (device == 0) return {"Windowed mode", "640 x 480 x 16"};
        return {"Windowed mode", "800 x 600 x 32", "1024 x 768 x 16"};
    }
};

std::string text_buffer;

const plat_card_dialog_model view_of(list_model& m) {
    return {&m,
            [](void* p, int list) { return static_cast<int>(static_cast<list_model*>(p)->list(list).size()); },
            [](void* p, int list, int index) {
                text_buffer = static_cast<list_model*>(p)->list(list)[index];
                return text_buffer.c_str();
            },
            [](void* p, int list) {
                const auto* m = static_cast<list_model*>(p);
                return list == 1 ? m->device : list == 2 ? m->mode : 0;
            },
            [](void* p, int list, int index) {
                auto* m = static_cast<list_model*>(p);
                m->choices.emplace_back(list, index);
                if (list == 1) m->device = index;
                if (list == 2) m->mode = index;
            }};
}

QStringList items(const QComboBox* box) {
    QStringList texts;
    for (int i = 0; i < box->count(); ++i) texts << box->itemText(i);
    return texts;
}

TEST(CardDialogView, ShowsTheModelsListsAndRefillsAfterAChoice) {
    list_model model;
    const plat_card_dialog_model exposed = view_of(model);
    TCardDriverDialog dialog(&exposed);
    EXPECT_EQ(dialog.windowTitle(), "Select New Direct3D Driver");
    auto* drivers = dialog.findChild<QComboBox*>("drivers");
    auto* devices = dialog.findChild<QComboBox*>("devices");
    auto* modes = dialog.findChild<QComboBox*>("modes");
    ASSERT_TRUE(drivers && devices && modes);
    EXPECT_EQ(items(drivers), QStringList{"Primary Display Driver"});
    EXPECT_EQ(items(devices), (QStringList{"gpu", "llvmpipe"}));
    EXPECT_EQ(items(modes), (QStringList{"Windowed mode", "640 x 480 x 16"}));

    emit devices->activated(1);
    EXPECT_EQ(model.choices, (std::vector<std::pair<int, int>>{{1, 1}}));
    EXPECT_EQ(devices->currentIndex(), 1);
    EXPECT_EQ(items(modes), (QStringList{"Windowed mode", "800 x 600 x 32", "1024 x 768 x 16"}));
}

TEST(CardDialogView, OffTheGuiThreadItCannotShow) {
    list_model model;
    const plat_card_dialog_model exposed = view_of(model);
    int answer = 0;
    std::thread other([&] { answer = CardDriverDialog(&exposed); });
    other.join();
    EXPECT_EQ(answer, -1);
}

}  // namespace
