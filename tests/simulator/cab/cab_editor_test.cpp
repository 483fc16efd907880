// Cab item dialogs: new and changed items saved to their files, cancelled and refused ones not.
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include "cab/cab_item_editors.h"
#include "cab/cab_item_files.h"
#include "cab/cab_items.h"
#include "editor_fixture.h"
#include "app/main_window.h"
#include "train/brake.h"
#include "train/physics.h"
#include "app/sim_state.h"
#include "cab/traction_model.h"

namespace {

namespace fs = std::filesystem;

class CabEditorTest : public EditorTest {
protected:
    CitFile ItemFile(const std::string& stem)
    {
        return cit_read_file((root / "cab items" / (stem + ".cit")).string());
    }
    static void Place(TCabItemForm& form, const char* function, int height, int width, int top,
                      int left)
    {
        form.modelName->setText(function);
        form.height->setText(QString::number(height));
        form.width->setText(QString::number(width));
        form.top->setText(QString::number(top));
        form.left->setText(QString::number(left));
    }
    // The files an apply may write, as they are now.
    std::vector<std::string> Files()
    {
        return {ReadAll(IniPath("TESTLOCO")), ReadAll(root / "cab items" / "filenames.txt"),
                ReadAll(root / "cab items" / "TESTLOCO.speed.cit")};
    }
};

TEST_F(CabEditorTest, NewLeverIsSavedWithItsFramesAndReadsBack)
{
    for (int k = 1; k <= 4; ++k) WriteImage("lev" + std::to_string(k), 30, 60, 0x101010 * k);
    QString caption, title;
    ASSERT_TRUE(OnModal<TConEditForm>([] { EditControlItem(5, true); }, [&](TConEditForm& f) {
        caption = f.windowTitle();
        title = f.editTitle->text();
        Place(f, "brakeAmp", 60, 30, 100, 200);
        f.thumbHeight->setText("10");
        f.thumbWidth->setText("12");
        f.minValue->setText("0");
        f.maxValue->setText("3");
        f.bitmap->setText("lev");
        f.RadioGroup1->SetItemIndex(1);
        f.okButton->click();
    }));
    EXPECT_EQ(caption, "ControlEdit");
    EXPECT_EQ(title, "Edit: control5 (TrackBar)");
    EXPECT_TRUE(BoxTexts().empty());
    ASSERT_EQ(CabItems.leverCount, 5);
    TvexaTracker* lever = CabItems.levers[4];
    EXPECT_EQ(lever->geometry(), QRect(200, 100, 30, 60));
    EXPECT_TRUE(lever->isVisibleTo(window->cab_bkgd));
    EXPECT_EQ(Value("control5"), "TESTLOCO.brakeAmp, 100:200");
    EXPECT_EQ(ImageName("control5"), "lev");

    TvexaTracker read;
    TImageList images;
    ReadLeverItem(ItemFile("TESTLOCO.brakeAmp"), read, images);
    EXPECT_EQ(read.geometry(), QRect(200, 100, 30, 60));
    EXPECT_EQ(read.toolTip(), "brakeAmp");
    EXPECT_EQ(read.Orientation(), vtbVertical);
    EXPECT_EQ(read.TumbHeight(), 10);
    EXPECT_EQ(read.TumbWidth(), 12);
    EXPECT_EQ(read.Minimum(), 0);
    EXPECT_EQ(read.Maximum(), 3);
    ASSERT_EQ(images.frames.size(), 4u);
    EXPECT_EQ(images.frames[2].pixel(5, 5) & 0xFFFFFF, 0x303030u);

    LoadTractionModel("TESTLOCO");
    ASSERT_EQ(CabItems.leverCount, 5);
    EXPECT_EQ(CabItems.levers[4]->pos(), QPoint(200, 100));
    EXPECT_EQ(BrakeAmp.name, "c5");
}

TEST_F(CabEditorTest, ChangedGaugeFillsAppliesAndReadsBack)
{
    WriteImage("dial", 8, 8, 0x123456);
    TGaugeEditForm form;
    FillGaugeEdit(form, 1);
    EXPECT_EQ(form.windowTitle(), "GaugeEditForm");
    EXPECT_EQ(form.modelName->text(), "speed");
    EXPECT_EQ(form.height->text(), "120");
    EXPECT_EQ(form.width->text(), "40");
    EXPECT_EQ(form.top->text(), "240");
    EXPECT_EQ(form.left->text(), "400");
    EXPECT_EQ(form.minValue->text(), "0");
    EXPECT_EQ(form.maxValue->text(), "160");
    EXPECT_EQ(form.progress->text(), "0");
    EXPECT_EQ(form.bitmap->text(), "dial");
    EXPECT_EQ(form.RadioGroup1->ItemIndex(), 4);   // 270 needle
    EXPECT_EQ(form.colourGroup1->ItemIndex(), 2);  // white
    EXPECT_EQ(form.colourGroup2->ItemIndex(), 0);  // maroon

    // A range wholly above the old one goes through.
    form.minValue->setText("200");
    form.maxValue->setText("300");
    form.progress->setText("250");
    form.RadioGroup1->SetItemIndex(1);
    form.colourGroup1->SetItemIndex(1);
    form.colourGroup2->SetItemIndex(2);
    form.top->setText("50");
    ASSERT_TRUE(ApplyGaugeEdit(form, 1));
    EXPECT_TRUE(BoxTexts().empty());
    EXPECT_EQ(Value("gauge1"), "TESTLOCO.speed, 50:400");
    EXPECT_EQ(ImageName("gauge1"), "dial");

    TQuorrGauge read;
    ReadGaugeItem(ItemFile("TESTLOCO.speed"), read);
    EXPECT_EQ(read.geometry(), QRect(400, 50, 40, 120));
    EXPECT_EQ(read.MinValue(), 200);
    EXPECT_EQ(read.MaxValue(), 300);
    EXPECT_EQ(read.Progress(), 250);
    EXPECT_EQ(read.Kind(), gkVneedle);
    EXPECT_EQ(read.ForeColor(), 0x0000FFu);
    EXPECT_EQ(read.BackColor(), 0x800000u);
    EXPECT_EQ(read.BackBitmap().pixel(1, 1) & 0xFFFFFF, 0x123456u);
}

// A new range starting at or above the old maximum is set whole, not cut by the old one.
TEST_F(CabEditorTest, LeverRangeAboveTheOldOneGoesThrough)
{
    TConEditForm form;
    FillControlEdit(form, 2);
    ASSERT_EQ(form.maxValue->text(), "3");
    form.minValue->setText("3");
    form.maxValue->setText("6");
    ASSERT_TRUE(ApplyControlEdit(form, 2));
    EXPECT_EQ(CabItems.levers[1]->Minimum(), 3);
    EXPECT_EQ(CabItems.levers[1]->Maximum(), 6);
}

TEST_F(CabEditorTest, RadioMapsBothWays)
{
    struct KindCase {
        TGaugeKind kind;
        int position;
        TGaugeKind afterOk;
    };
    // Text and pie have no position of their own: they get one after the others, and OK keeps
    // them.
    for (const KindCase& c : {KindCase{gkHneedle, 0, gkHneedle}, {gk90needle, 7, gk90needle},
                              {gk180Lneedle, 6, gk180Lneedle}, {gkPie, 8, gkPie},
                              {gkText, 8, gkText}}) {
        CabItems.gauges[0]->SetKind(c.kind);
        TGaugeEditForm form;
        FillGaugeEdit(form, 1);
        EXPECT_EQ(form.RadioGroup1->ItemIndex(), c.position) << int(c.kind);
        EXPECT_EQ(form.RadioGroup1->Items()[0], "H needle");
        EXPECT_EQ(form.RadioGroup1->Items().size(), c.position == 8 ? 9 : 8) << int(c.kind);
        ASSERT_TRUE(ApplyGaugeEdit(form, 1));
        EXPECT_EQ(CabItems.gauges[0]->Kind(), c.afterOk) << int(c.kind);
    }
    CabItems.gauges[0]->SetKind(gkPie);
    TGaugeEditForm pie;
    FillGaugeEdit(pie, 1);
    EXPECT_EQ(pie.RadioGroup1->Items()[8], "Pie");
    const std::pair<const char*, TColor> lights[] = {{"Yellow", 0x00FFFF}, {"Red", 0x0000FF},
                                                     {"Green", 0x00FF00}, {"Blue", 0xFF0000},
                                                     {"White", 0xFFFFFF}};
    for (const auto& [name, colour] : lights) {
        TLightForm form;
        FillLightEdit(form, 1);
        form.RadioGroup1->SetItemIndex(int(form.RadioGroup1->Items().indexOf(name)));
        ASSERT_TRUE(ApplyLightEdit(form, 1));
        EXPECT_EQ(CabItems.lights[0]->BrushColor(), colour) << name;
        TLightForm again;
        FillLightEdit(again, 1);
        EXPECT_EQ(again.RadioGroup1->Items()[again.RadioGroup1->ItemIndex()], name);
    }
}

TEST_F(CabEditorTest, NewSwitchesAndLightAreSaved)
{
    WriteImage("tog", 64, 16, 0x0000FF);

    ASSERT_TRUE(OnModal<TSwitchPushForm>([] { EditSwPushItem(2, true); }, [](TSwitchPushForm& f) {
        EXPECT_EQ(f.windowTitle(), "Switch_Push");
        EXPECT_EQ(f.editTitle->text(), "Edit: swpush2 (TBitBtn)");
        Place(f, "horn", 20, 20, 10, 30);
        f.bitmap->setText("no such picture");
        f.okButton->click();
    }));
    ASSERT_TRUE(OnModal<TSwitchTogForm>([] { EditSwTogItem(2, true); }, [](TSwitchTogForm& f) {
        EXPECT_EQ(f.windowTitle(), "SwitchTogForm");
        EXPECT_EQ(f.editTitle->text(), "Edit: swtogg2 (TSpeedButton)");
        Place(f, "sander", 16, 16, 10, 60);
        f.bitmap->setText("tog");
        f.groupid->setText("3");
        f.okButton->click();
    }));
    ASSERT_TRUE(OnModal<TLightForm>([] { EditLightItem(2, true); }, [](TLightForm& f) {
        EXPECT_EQ(f.windowTitle(), "LightForm");
        EXPECT_EQ(f.editTitle->text(), "Edit: light2 (TShape)");
        EXPECT_EQ(f.RadioGroup1->ItemIndex(), 4);
        EXPECT_EQ(f.okButton->objectName(), "Button2");
        Place(f, "wheelslip", 12, 12, 10, 90);
        f.RadioGroup1->SetItemIndex(2);
        f.shapeRadioGroup->SetItemIndex(1);
        f.okButton->click();
    }));
    EXPECT_TRUE(BoxTexts().empty());

    TBitBtn push;
    ReadPushSwitchItem(ItemFile("TESTLOCO.horn"), push);
    EXPECT_EQ(push.geometry(), QRect(30, 10, 20, 20));
    EXPECT_EQ(push.Glyph().pixel(2, 2) & 0xFFFFFF, 0x00FF00u);  // the default picture
    EXPECT_EQ(Value("swpush2"), "TESTLOCO.horn, 10:30");
    EXPECT_EQ(ImageName("swpush2"), "no such picture");

    TSpeedButton toggle;
    ReadToggleSwitchItem(ItemFile("TESTLOCO.sander"), toggle);
    EXPECT_EQ(toggle.GroupIndex(), 3);
    EXPECT_TRUE(toggle.AllowAllUp());
    EXPECT_EQ(toggle.NumGlyphs(), 4);
    EXPECT_EQ(toggle.Glyph().width(), 64);
    EXPECT_EQ(Value("swtogg2"), "TESTLOCO.sander, 10:60");

    TShape light;
    ReadLightItem(ItemFile("TESTLOCO.wheelslip"), light);
    EXPECT_EQ(light.BrushColor(), 0x00FF00u);
    EXPECT_EQ(light.Shape(), stRectangle);
    EXPECT_EQ(light.PenWidth(), 2);
    EXPECT_EQ(Value("light2"), "TESTLOCO.wheelslip, 10:90");
    EXPECT_EQ(ImageName("light2"), "");
    EXPECT_EQ(CabItems.pushCount, 2);
    EXPECT_EQ(CabItems.toggleCount, 2);
    EXPECT_EQ(CabItems.lightCount, 2);
}

// Without its picture file an item keeps its own picture; a new one says what is missing.
TEST_F(CabEditorTest, MissingPictureKeepsTheItemsOwnOrSaysSo)
{
    fs::remove(root / "images" / "default.bmp");
    const QImage before = CabItems.pushSwitches[0]->Glyph();
    ASSERT_FALSE(before.isNull());
    TSwitchPushForm form;
    FillSwPushEdit(form, 1);
    form.bitmap->setText("absent");
    ASSERT_TRUE(ApplySwPushEdit(form, 1));
    EXPECT_TRUE(BoxTexts().empty());
    EXPECT_EQ(CabItems.pushSwitches[0]->Glyph(), before);

    CreateSwPushItem(2);
    TSwitchPushForm added;
    FillSwPushEdit(added, 2);
    added.modelName->setText("sander");
    added.bitmap->setText("absent");
    ASSERT_TRUE(ApplySwPushEdit(added, 2));
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Cannot open file \"" + root.string() +
                                                   "\\images\\default.bmp\""});
    EXPECT_TRUE(CabItems.pushSwitches[1]->Glyph().isNull());
}

TEST_F(CabEditorTest, CancelledNewGaugeLeavesCabAndFiles)
{
    const auto files = Files();
    QString title;
    ASSERT_TRUE(OnModal<TGaugeEditForm>([] { EditGaugeItem(3, true); }, [&](TGaugeEditForm& f) {
        title = f.editTitle->text();
        f.cancelButton->click();
    }));
    EXPECT_EQ(title, "Edit: gauge3 (TGauge)");
    EXPECT_EQ(CabItems.gaugeCount, 2);
    EXPECT_EQ(CabItems.gauges[2], nullptr);
    EXPECT_EQ(window->cab_bkgd->findChild<QWidget*>("gauge3"), nullptr);
    EXPECT_EQ(Files(), files);

    // Cancel on an existing item changes nothing either.
    ASSERT_TRUE(OnModal<TGaugeEditForm>([] { EditGaugeItem(1, false); }, [](TGaugeEditForm& f) {
        f.width->setText("5");
        f.cancelButton->click();
    }));
    EXPECT_EQ(CabItems.gauges[0]->width(), 40);
    EXPECT_EQ(Files(), files);
}

TEST_F(CabEditorTest, BadFieldIsRefusedAndChangesNothing)
{
    const auto files = Files();
    struct Case {
        const char* field;
        std::string text;
        std::string message;
    };
    const Case cases[] = {
        {"width", "abc", "Width must be a whole number from 0 to 4096."},
        {"width", "12.5", "Width must be a whole number from 0 to 4096."},
        {"width", "99999", "Width must be a whole number from 0 to 4096."},
        {"top", "-5000", "Top must be a whole number from -4096 to 4096."},
        {"maxValue", "", "Maximum value must be a whole number."},
        {"maxValue", "-5", "Minimum must be below maximum."},
        {"maxValue", "10", "Minimum must be below maximum."},
        {"progress", "161", "Initial Value must be a whole number from 10 to 160."},
        {"progress", "9", "Initial Value must be a whole number from 10 to 160."},
        {"modelName", "", "Model name may not be empty."},
        {"modelName", "   ", "Model name may not be empty."},
        {"modelName", "speed, 1",
         "'speed, 1' cannot be a model name: it may not hold , : = \\ or /"},
        {"modelName", std::string(90, 'x'), "'" + std::string(90, 'x') +
                                                        "' is too long for a model name"},
    };
    for (const Case& c : cases) {
        plat_message_box_clear_records();
        TGaugeEditForm form;
        FillGaugeEdit(form, 1);
        form.height->setText("77");
        form.minValue->setText("10");
        form.findChild<QLineEdit*>(c.field)->setText(QString::fromStdString(c.text));
        EXPECT_FALSE(ApplyGaugeEdit(form, 1)) << c.field << " " << c.text;
        EXPECT_EQ(BoxTexts(), std::vector<std::string>{c.message});
        EXPECT_EQ(Files(), files) << c.field << " " << c.text;
        // The gauge keeps every value, those of the good fields before the bad one too.
        EXPECT_EQ(CabItems.gauges[0]->height(), 120) << c.field << " " << c.text;
        EXPECT_EQ(CabItems.gauges[0]->MinValue(), 0) << c.field << " " << c.text;
    }
}

TEST_F(CabEditorTest, LeverThumbAndRangeAreChecked)
{
    const struct {
        const char* field;
        const char* text;
        std::string message;
    } cases[] = {
        {"thumbHeight", "500", "Thumb height must be a whole number from 0 to 59."},
        {"thumbHeight", "-1", "Thumb height must be a whole number from 0 to 59."},
        {"thumbWidth", "x", "Thumb width must be a whole number from 0 to 4096."},
        {"minValue", "3", "Minimum must be below maximum."},
        {"minValue", "heavy", "Minimum value must be a whole number."},
    };
    const auto files = Files();
    for (const auto& c : cases) {
        plat_message_box_clear_records();
        TConEditForm form;
        FillControlEdit(form, 2);
        form.height->setText("60");
        form.maxValue->setText("3");
        form.findChild<QLineEdit*>(c.field)->setText(c.text);
        EXPECT_FALSE(ApplyControlEdit(form, 2)) << c.field << " " << c.text;
        EXPECT_EQ(BoxTexts(), std::vector<std::string>{c.message});
        EXPECT_EQ(Files(), files);
    }
}

// OK on a bad field leaves the dialog open with what was typed; Cancel then leaves all as it was.
TEST_F(CabEditorTest, BadFieldKeepsTheDialogAndItsText)
{
    const auto files = Files();
    bool openAfterOk = false;
    QString typed;
    ASSERT_TRUE(OnModal<TGaugeEditForm>([] { EditGaugeItem(1, false); }, [&](TGaugeEditForm& f) {
        f.height->setText("80");
        f.maxValue->setText("ten");
        f.okButton->click();
        openAfterOk = f.isVisible();
        typed = f.maxValue->text();
        f.cancelButton->click();
    }));
    EXPECT_TRUE(openAfterOk);
    EXPECT_EQ(typed, "ten");
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Maximum value must be a whole number."});
    EXPECT_EQ(CabItems.gauges[0]->height(), 120);
    EXPECT_EQ(Files(), files);
}

// A new item without a function name is refused: no file, no key, no item.
TEST_F(CabEditorTest, NewItemWithoutModelNameIsRefused)
{
    const auto list = ReadAll(root / "cab items" / "filenames.txt");
    const auto ini = ReadAll(IniPath("TESTLOCO"));
    bool openAfterOk = false;
    ASSERT_TRUE(OnModal<TSwitchPushForm>([] { EditSwPushItem(2, true); }, [&](TSwitchPushForm& f) {
        EXPECT_EQ(f.modelName->text(), "");
        Place(f, " ", 20, 20, 10, 30);
        f.okButton->click();
        openAfterOk = f.isVisible();
        f.cancelButton->click();
    }));
    EXPECT_TRUE(openAfterOk);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Model name may not be empty."});
    EXPECT_EQ(ReadAll(IniPath("TESTLOCO")), ini);
    EXPECT_EQ(ReadAll(root / "cab items" / "filenames.txt"), list);
    for (const auto& entry : fs::directory_iterator(root / "cab items"))
        EXPECT_EQ(entry.path().filename().string().find(".."), std::string::npos) << entry.path();
    EXPECT_EQ(CabItems.pushCount, 1);
    EXPECT_EQ(CabItems.pushSwitches[1], nullptr);
}

TEST_F(CabEditorTest, EleventhItemIsRefused)
{
    EXPECT_FALSE(OnModal<TConEditForm>([] { EditControlItem(11, true); },
                                       [](TConEditForm& f) { f.cancelButton->click(); }));
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{
                              "Cab item control11 not loaded: at most 10 items of a type."});
    EXPECT_EQ(CabItems.leverCount, 4);
}

TEST_F(CabEditorTest, EditMenuOpensTheSelectedItemsDialog)
{
    EXPECT_TRUE(window->CIT_menu->menuAction()->isEnabled());
    EXPECT_TRUE(window->Insert1->isEnabled());
    EXPECT_TRUE(window->Edit_menu->isEnabled());

    // Nothing selected: nothing opens, and a message says why.
    EXPECT_FALSE(OnModal<QDialog>([&] { window->Edit_menu->trigger(); },
                                  [](QDialog& d) { d.reject(); }));
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{
                              "No cab item is selected: click one with the right mouse button first."});
    plat_message_box_clear_records();

    QWidget* gauge = CabItems.gauges[1];
    EditorRightButtonDown(gauge->geometry().center());
    EditorRightButtonUp(gauge->geometry().center());
    ASSERT_EQ(SelectedCabItem(), gauge);
    QString title;
    ASSERT_TRUE(OnModal<TGaugeEditForm>([&] { window->Edit_menu->trigger(); },
                                        [&](TGaugeEditForm& f) {
                                            title = f.editTitle->text();
                                            f.left->setText("300");
                                            f.okButton->click();
                                        }));
    EXPECT_EQ(title, "Edit: gauge2 (TGauge)");
    EXPECT_TRUE(SelectedCabItemPlaced());
    EXPECT_EQ(gauge->x(), 300);
    EXPECT_EQ(ItemFrameRect(), gauge->geometry().adjusted(-5, -5, 5, 5));
    EXPECT_EQ(Value("gauge2"), "TESTLOCO.BPpress, 240:300");
}

}  // namespace
