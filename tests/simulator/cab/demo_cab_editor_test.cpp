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
    // Every property but the colours the dialogs choose from and the lever's back picture
    // (the dialog draws its first frame there), entry by entry.
    static std::vector<std::string> Properties(const fs::path& file)
    {
        std::vector<std::string> shown;
        for (const CitEntry& entry : cit_read_file(file.string()).entries) {
            const std::string& cls = entry.component.class_name;
            for (const CitProperty& p : entry.component.properties) {
                if (p.name == "Brush.Color" ||
                    (cls == "TvexaTracker" && p.name == "BackBitmap.Data") ||
                    (cls == "TQuorrGauge" && (p.name == "ForeColor" || p.name == "BackColor")))
                    continue;
                std::string text = p.value.is_integer() ? std::to_string(p.value.integer)
                                                        : p.value.bytes;
                if (p.value.is_boolean())
                    text = p.value.as_boolean() ? "True" : "False";
                shown.push_back(entry.component.class_name + "." + p.name + "=" + text);
            }
        }
        return shown;
    }
};

TEST_F(DemoCabEditorTest, OkWithoutChangesKeepsEveryItem)
{
    const std::string ini = ReadAll(IniPath("RE-RUZ125"));
    const std::string list = ReadAll(root / "cab items" / "filenames.txt");
    std::map<fs::path, std::vector<std::string>> before;
    for (const auto& entry : fs::directory_iterator(root / "cab items"))
        if (entry.path().extension() == ".cit")
            before[entry.path()] = Properties(entry.path());
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
    EXPECT_EQ(ReadAll(IniPath("RE-RUZ125")), ini);
    // Items without an image name get "default"; the names there stay.
    EXPECT_EQ(ReadAll(root / "cab items" / "filenames.txt").substr(0, list.size() - 2),
              list.substr(0, list.size() - 2));
    for (const auto& [path, properties] : before)
        EXPECT_EQ(Properties(path), properties) << path;

    // Colours outside the dialogs' choices become the choice the group stood at.
    TQuorrGauge speed;
    ReadGaugeItem(cit_read_file((root / "cab items" / "RE-RUZ125.speed.cit").string()), speed);
    EXPECT_EQ(speed.ForeColor(), 0x000000u);
    EXPECT_EQ(speed.BackColor(), 0x000080u);
    TShape light;
    ReadLightItem(cit_read_file((root / "cab items" / "RE-RUZ125.wheelslip.cit").string()), light);
    EXPECT_EQ(light.BrushColor(), 0xFFFFFFu);
}

}  // namespace
