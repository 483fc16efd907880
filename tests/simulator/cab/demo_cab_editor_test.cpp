// The demo cab through its dialogs: OK without changes writes every item back as it was.
#include "app/main_window.h"
#include "cab/cab_item_editors.h"
#include "cab/cab_item_files.h"
#include "cab/cab_items.h"
#include "cab/traction_model.h"
#include "demo_cab.h"
#include "editor_fixture.h"

namespace {

namespace fs = std::filesystem;

class DemoCabEditorTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        fs::create_directories(root / "traction" / "RE-RUZ125");
        std::ofstream(IniPath("RE-RUZ125"), std::ios::binary)
            << "[general]\r\ntraction_type=ELE\r\n\r\n[cab layout]\r\n3d_top=10\r\n";
        ASSERT_TRUE(WriteDemoCab(root.string(), "RE-RUZ125"));
        EditCabLayout("RE-RUZ125");
        plat_message_box_clear_records();
    }
    // Every file an editor's OK may write, as it stands.
    std::map<fs::path, std::string> Files()
    {
        std::map<fs::path, std::string> files;
        for (const auto& entry : fs::directory_iterator(root / "cab items"))
            if (entry.is_regular_file())
                files[entry.path()] = ReadAll(entry.path());
        files[IniPath("RE-RUZ125")] = ReadAll(IniPath("RE-RUZ125"));
        return files;
    }
};

// The demo's needle and light colours are not among the dialogs' choices: they stay as they are.
TEST_F(DemoCabEditorTest, OkWithoutChangesWritesTheSameBytes)
{
    const auto before = Files();
    ASSERT_GT(CabItems.leverCount, 0);
    ASSERT_GT(CabItems.gaugeCount, 0);

    int opened = 0;
    for (const TCabItemType type : {citLever, citGauge, citToggle, citPush, citLight}) {
        for (int n = 1; n <= CabItemCount(type); ++n) {
            QTimer timer;
            QObject::connect(&timer, &QTimer::timeout, [&] {
                if (auto* form = qobject_cast<TCabItemForm*>(QApplication::activeModalWidget())) {
                    ++opened;
                    form->okButton->click();
                }
            });
            timer.start(5);
            EditCabItem(type, n, false);
        }
    }
    EXPECT_EQ(opened, CabItems.leverCount + CabItems.gaugeCount + CabItems.toggleCount +
                          CabItems.pushCount + CabItems.lightCount);
    EXPECT_TRUE(BoxTexts().empty());
    const auto after = Files();
    ASSERT_EQ(after.size(), before.size());
    for (const auto& [path, bytes] : before)
        EXPECT_TRUE(after.at(path) == bytes) << path;

    // The speedometer's needle colours are shown as they are.
    int speedGauge = 0;
    for (int n = 1; n <= CabItems.gaugeCount; ++n)
        if (CabItems.gauges[size_t(n - 1)]->toolTip() == "speed")
            speedGauge = n;
    ASSERT_GT(speedGauge, 0);
    TGaugeEditForm form;
    FillGaugeEdit(form, speedGauge);
    EXPECT_EQ(form.colourGroup1->Items().value(form.colourGroup1->ItemIndex()),
              "other: red 240, green 80, blue 48");
    EXPECT_EQ(form.colourGroup2->Items().value(form.colourGroup2->ItemIndex()),
              "other: red 192, green 0, blue 0");

    TQuorrGauge speed;
    ReadGaugeItem(cit_read_file((root / "cab items" / "RE-RUZ125.speed.cit").string()), speed);
    EXPECT_EQ(speed.ForeColor(), 0x3050F0u);
    EXPECT_EQ(speed.BackColor(), 0x0000C0u);
}

}  // namespace
