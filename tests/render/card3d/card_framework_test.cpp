// Drivers, devices and modes as data, the choice of a device, the error boxes and the dialog model.
#include <gtest/gtest.h>

#include "platform/card_dialog.h"
#include "platform/msgbox.h"
#include "render/card3d/card3d_framework.h"

namespace {

const std::vector<plat_display_mode> desktop_modes = {
    {800, 600, 32}, {320, 200, 8}, {640, 480, 16}, {1024, 768, 16}, {640, 480, 15}};

class CardFramework : public ::testing::Test {
protected:
    void TearDown() override {
        card3d_free_enumeration();
        plat_card_dialog_set_handler(nullptr);
    }
};

TEST_F(CardFramework, TheOnlySoftwareDeviceIsChosenWindowedInTheSecondPass) {
    ASSERT_EQ(card3d_enumerate_from({{"llvmpipe (LLVM 15.0.6, 256 bits)", true}}, desktop_modes, 16), 0u);
    const card3d_device_record* device = card3d_selected_device();
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->name, "llvmpipe (LLVM 15.0.6, 256 bits)");
    EXPECT_EQ(device->hardware, 0);
    EXPECT_EQ(device->windowed, 1);
    EXPECT_EQ(card3d_selected_driver()->description, "Primary Display Driver");
}

TEST_F(CardFramework, ModesLoseEightBitsAndStartAt640x480x16) {
    ASSERT_EQ(card3d_enumerate_from({{"gpu", false}}, desktop_modes, 16), 0u);
    const card3d_device_record* device = card3d_selected_device();
    ASSERT_NE(device, nullptr);
    std::vector<std::string> texts;
    for (const card3d_mode& m : device->modes) texts.push_back(m.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"800 x 600 x 32", "640 x 480 x 16", "1024 x 768 x 16", "640 x 480 x 15"}));
    EXPECT_EQ(device->current_mode, 1);
}

TEST_F(CardFramework, SelectionFollowsItsFlags) {
    const std::vector<plat_card_device_info> both = {{"gpu", false}, {"llvmpipe", true}};
    const struct {
        int flags;
        uint32_t result;
        const char* device;
        int windowed;
    } cases[] = {
        {0, 0, "gpu", 1},
        {card3d_select::software_only, 0, "llvmpipe", 1},
        {card3d_select::full_screen, 0, "gpu", 0},
        {card3d_select::software_only | card3d_select::full_screen, 0, "llvmpipe", 0},
        {card3d_select::rgb_software, 0, "llvmpipe", -1},
        {card3d_select::primary_driver, 0, "gpu", -1},
        {card3d_select::reference, card3d_codes::no_matching_device, nullptr, -1},
        {card3d_select::secondary_driver, card3d_codes::no_matching_device, nullptr, -1},
    };
    for (const auto& c : cases) {
        card3d_enumerate_from(both, desktop_modes, 16);
        EXPECT_EQ(card3d_select_default_device(c.flags), c.result) << c.flags;
        if (!c.device) continue;
        ASSERT_NE(card3d_selected_device(), nullptr) << c.flags;
        EXPECT_EQ(card3d_selected_device()->name, c.device) << c.flags;
        if (c.windowed >= 0) {
            EXPECT_EQ(card3d_selected_device()->windowed, c.windowed) << c.flags;
        }
    }
}

TEST_F(CardFramework, FullScreenTakesTheHardwareDeviceThatCannotRenderInAWindow) {
    // No mode at the desktop's 16 bits: not desktop-compatible.
    ASSERT_EQ(card3d_enumerate_from({{"gpu", false}}, {{800, 600, 32}}, 16), 0u);
    EXPECT_EQ(card3d_selected_device()->windowed, 0);
    EXPECT_EQ(card3d_select_default_device(card3d_select::full_screen), 0u);
    EXPECT_EQ(card3d_selected_device()->name, "gpu");
}

TEST_F(CardFramework, NothingUsableGivesItsCode) {
    EXPECT_EQ(card3d_enumerate_from({}, desktop_modes, 16), card3d_codes::enumeration_failed);
    EXPECT_EQ(card3d_enumerate_from({{"gpu", false}}, {{320, 200, 8}}, 16), card3d_codes::no_compatible_devices);
    EXPECT_EQ(card3d_selected_device(), nullptr);
}

TEST_F(CardFramework, EachCodeHasItsTextAndBox) {
    const struct {
        uint32_t code;
        const char* text;
    } cases[] = {
        {0x8007000E, "Not enough memory!"},
        {0x81000001, "Enumeration failed. Your system may be in an\nunstable state and need to be rebooted"},
        {0x81000002,
         "Could not find any compatible devices.\n\nTry enabling the reference rasterizer using\nEnableRefRast.reg."},
        {0x81000003, "Could not find any compatible Direct3D\ndevices."},
        {0x81000004, "Generic application error.\n\nEnable debug output for detailed information."},
        {0x82000000, "Generic initialization error.\n\nEnable debug output for detailed information."},
        {0x82000001, "No DirectDraw"},
        {0x82000002, "Could not set Cooperative Level"},
        {0x82000003, "No Direct3D"},
        {0x82000004, "No 3D Device"},
        {0x82000005, "No ZBuffer"},
        {0x82000006, "No Viewport"},
        {0x82000007, "No primary"},
        {0x82000008, "No Clipper"},
        {0x82000009, "Bad display mode"},
        {0x8200000A, "No backbuffer"},
        {0x8200000B, "Nonzerorefcount"},
        {0x8200000C, "No render target"},
        {0x8200000D,
         "This sample requires a 16-bit (or higher) display mode\nto run in a window.\n\nPlease switch your desktop "
         "settings accordingly."},
        {0x8876017C, "There was insufficient video memory to use the\nhardware device."},
        {0x12345678, "Generic application error.\n\nEnable debug output for detailed information."},
    };
    for (const auto& c : cases) EXPECT_EQ(card3d_error_text(c.code), c.text) << std::hex << c.code;

    plat_message_box_set_headless(true);
    plat_message_box_clear_records();
    card3d_show_error(0x82000004, true);
    card3d_show_error(0x82000004, false);
    const auto boxes = plat_message_box_records();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].caption, "Error2");
    EXPECT_EQ(boxes[0].text, "No 3D Device\n\nThis sample will now exit.");
    EXPECT_EQ(boxes[0].icon, PLAT_ICON_ERROR);
    EXPECT_EQ(boxes[1].caption, "Error3");
    EXPECT_EQ(boxes[1].text, "No 3D Device\n\nSwitching to software rasterizer.");
    EXPECT_EQ(boxes[1].icon, PLAT_ICON_WARNING);
}

class CardDialog : public CardFramework {
protected:
    void SetUp() override {
        ASSERT_EQ(card3d_enumerate_from({{"gpu", false}, {"llvmpipe", true}}, desktop_modes, 16), 0u);
        card3d_dialog_open(&model, 1);
    }
    card3d_dialog_model model{};
};

TEST_F(CardDialog, ListsShowDriversDevicesAndWindowedModeFirst) {
    EXPECT_EQ(card3d_dialog_list(&model, 0), std::vector<std::string>{"Primary Display Driver"});
    EXPECT_EQ(card3d_dialog_list(&model, 1), (std::vector<std::string>{"gpu", "llvmpipe"}));
    EXPECT_EQ(card3d_dialog_list(&model, 2),
              (std::vector<std::string>{"Windowed mode", "800 x 600 x 32", "640 x 480 x 16", "1024 x 768 x 16",
                                        "640 x 480 x 15"}));
    EXPECT_EQ(card3d_dialog_selected(&model, 2), 0);
}

TEST_F(CardDialog, OkWithoutAChangeGivesTwoAndKeepsTheChoice) {
    EXPECT_EQ(card3d_dialog_ok(&model), 2);
    EXPECT_EQ(card3d_selected_device()->name, "gpu");
    EXPECT_EQ(card3d_selected_device()->windowed, 1);
}

TEST_F(CardDialog, CancelAfterChangesKeepsNothing) {
    card3d_dialog_choose(&model, 1, 1);
    card3d_dialog_choose(&model, 2, 3);
    // Cancel: the model is dropped.
    EXPECT_EQ(card3d_selected_device()->name, "gpu");
    EXPECT_EQ(card3d_selected_device()->windowed, 1);
    EXPECT_EQ(card3d_selected_device()->current_mode, 1);
}

TEST_F(CardDialog, OkAfterAChangeMakesItCurrent) {
    card3d_dialog_choose(&model, 1, 1);
    EXPECT_EQ(card3d_dialog_list(&model, 2).front(), "Windowed mode");
    card3d_dialog_choose(&model, 2, 3);  // "1024 x 768 x 16"
    EXPECT_EQ(model.windowed, 0);
    EXPECT_EQ(card3d_dialog_ok(&model), 1);
    const card3d_device_record* device = card3d_selected_device();
    EXPECT_EQ(device->name, "llvmpipe");
    EXPECT_EQ(device->windowed, 0);
    EXPECT_EQ(device->modes[device->current_mode].text, "1024 x 768 x 16");
}

TEST_F(CardDialog, WithoutAViewTheDialogCannotShow) { EXPECT_EQ(card3d_driver_dialog(1), -1); }

TEST_F(CardDialog, AViewSeesTheListsAndItsChoiceComesBack) {
    static std::vector<std::string> seen;
    seen.clear();
    plat_card_dialog_set_handler([](const plat_card_dialog_model* m) {
        for (int i = 0; i < m->count(m->model, 1); ++i) seen.push_back(m->text(m->model, 1, i));
        m->choose(m->model, 1, 1);
        return 1;
    });
    EXPECT_EQ(card3d_driver_dialog(1), 1);
    EXPECT_EQ(seen, (std::vector<std::string>{"gpu", "llvmpipe"}));
    EXPECT_EQ(card3d_selected_device()->name, "llvmpipe");

    plat_card_dialog_set_handler([](const plat_card_dialog_model* m) {
        m->choose(m->model, 1, 0);
        return 2;
    });
    EXPECT_EQ(card3d_driver_dialog(1), 2);
    EXPECT_EQ(card3d_selected_device()->name, "llvmpipe");
}

}  // namespace
