// The rail yard: model INI files, placing and refusing vehicles, and the yard window.
#include "app/sim_state.h"
#include "train/brake.h"
#include "train/train_file.h"
#include "train/yard_form.h"

#include <platform/msgbox.h>

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <filesystem>
#include <functional>
#include <memory>
#include <fstream>

namespace fs = std::filesystem;

namespace {

void WriteFile(const fs::path& path, const std::string& text)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

class YardTest : public ::testing::Test {
protected:
    fs::path root;

    void SetUp() override
    {
        plat_message_box_set_headless(true);
        plat_message_box_clear_records();
        root = fs::path(DROVIK_TEST_BINARY_DIR) /
               ("yard_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(root);
        // Folder names in another letter case, as data authored on Windows may have them.
        WriteFile(root / "Traction/RE-RUZ125/RE-RUZ125.ini",
                  "[general]\ntraction_type=SUB\ndescription=Test unit\n\n[loco physics]\n"
                  "mass=84.5\nlength=18.5\nmaxTraction=250\npower_hp=3000\nmaxBrake=150\n"
                  "numAxles=4\nbrake_type=ep\n");
        WriteFile(root / "Traction/RE-RUZ125/RE-RUZ125-ext.bmp", "BM");
        WriteFile(root / "rolling stock/BOX-40/BOX-40.ini",
                  "[general]\ndescription=Box car\n[data]\nmass=60\nlength=12.5\nxArea=9\n"
                  "maxBrake=80\nnumAxles=4\n");
        WriteFile(root / "rolling stock/BOX-40/box-40-EXT.bmp", "BM");
        WriteFile(root / "rolling stock/NO-PICTURE/NO-PICTURE.ini",
                  "[data]\nmass=20\nlength=10\nxArea=8\nmaxBrake=40\nnumAxles=4\n");
        WriteFile(root / "rolling stock/BAD/BAD.ini", "[data]\nmass=heavy\n");
        fs::create_directories(root / "rail yard");
        EpBrake = false;
    }
    void TearDown() override
    {
        fs::remove_all(root);
        EpBrake = false;
    }
    std::string Root() const { return root.string(); }
    // The yard window over an empty train, with the traction unit placed at position 0.
    std::unique_ptr<TYardForm1> YardWithLoco() const
    {
        TConsist empty;
        ClearConsist(empty);
        auto form = std::make_unique<TYardForm1>(Root(), empty);
        form->FormShow();
        form->ChooseTraction("RE-RUZ125");
        form->DrawGrid1MouseDown(0, 0, false);
        return form;
    }
};

TEST_F(YardTest, TractionInfoFromTheModelIni)
{
    TYardVehicle v;
    v.rec.xArea = 3.0;
    std::vector<std::string> memo;
    std::string error;
    ASSERT_TRUE(ReadTractionInfo(TractionBase(Root(), "RE-RUZ125") + ".ini", "RE-RUZ125", v, memo,
                                 &error));
    EXPECT_EQ(v.rec.name, "RE-RUZ125");
    EXPECT_EQ(v.rec.isTraction, 1);
    EXPECT_DOUBLE_EQ(v.rec.mass, 84.5);
    EXPECT_DOUBLE_EQ(v.rec.length, 18.5);
    EXPECT_EQ(v.rec.maxTraction, 250);
    EXPECT_EQ(v.rec.power, 3000);
    EXPECT_EQ(v.rec.maxBrake, 150);
    EXPECT_EQ(v.rec.numAxles, 4);
    EXPECT_EQ(v.rec.unused, 0);
    EXPECT_DOUBLE_EQ(v.rec.xArea, 3.0);  // kept from before
    EXPECT_EQ(v.tractionType, "SUB");
    EXPECT_TRUE(EpBrake);
    ASSERT_GE(memo.size(), 4u);
    EXPECT_EQ(memo[0], "[general]");
    EXPECT_EQ(memo[1], "traction_type=SUB");
    EXPECT_NE(std::find(memo.begin(), memo.end(), "[loco physics]"), memo.end());
}

TEST_F(YardTest, CarInfoAndBadValues)
{
    TYardVehicle v;
    v.rec.maxTraction = 300;
    std::vector<std::string> memo;
    std::string error;
    ASSERT_TRUE(ReadCarInfo(CarBase(Root(), "BOX-40") + ".ini", "BOX-40", v, memo, &error));
    EXPECT_EQ(v.rec.isTraction, 0);
    EXPECT_EQ(v.rec.maxTraction, 0);
    EXPECT_DOUBLE_EQ(v.rec.mass, 60.0);
    EXPECT_DOUBLE_EQ(v.rec.xArea, 9.0);
    EXPECT_EQ(v.rec.maxBrake, 80);
    EXPECT_EQ(memo.front(), "[general]");

    TVehicleRec before = v.rec;
    memo.clear();
    EXPECT_FALSE(ReadCarInfo(CarBase(Root(), "BAD") + ".ini", "BAD", v, memo, &error));
    EXPECT_EQ(error, "'heavy' is not a valid floating point value");
    EXPECT_EQ(v.rec.name, before.name);
    EXPECT_DOUBLE_EQ(v.rec.mass, before.mass);

    error.clear();
    EXPECT_FALSE(ReadCarInfo(CarBase(Root(), "NONE") + ".ini", "NONE", v, memo, &error));
    EXPECT_TRUE(error.empty());  // a missing file changes nothing and says nothing
}

// Every value comes from the model's lines: a key the file lacks is an empty value, which
// stops the read with the conversion message and leaves the vehicle as it was.
TEST_F(YardTest, MissingKeysAreEmptyValuesNotDefaults)
{
    struct Case {
        bool traction;
        const char* missing;
        const char* error;
    };
    const Case cases[] = {
        {true, "mass", "'' is not a valid floating point value"},
        {true, "power_hp", "'' is not a valid integer value"},
        {true, "numAxles", "'' is not a valid integer value"},
        {false, "xArea", "'' is not a valid floating point value"},
        {false, "maxBrake", "'' is not a valid integer value"},
    };
    const std::string traction =
        "[general]\ntraction_type=DEL\n[loco physics]\nmass=70\nlength=15\nmaxTraction=90\n"
        "power_hp=800\nmaxBrake=40\nnumAxles=4\n";
    const std::string car = "[data]\nmass=20\nlength=10\nxArea=8\nmaxBrake=40\nnumAxles=4\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.missing);
        std::string text = c.traction ? traction : car;
        const std::string line = std::string(c.missing) + "=";
        const size_t at = text.find(line);
        text.erase(at, text.find('\n', at) + 1 - at);
        const fs::path ini = root / "models" / "M.ini";
        WriteFile(ini, text);
        TYardVehicle v;
        v.rec.name = "BEFORE";
        std::vector<std::string> memo;
        std::string error;
        EXPECT_FALSE(c.traction ? ReadTractionInfo(ini.string(), "M", v, memo, &error)
                                : ReadCarInfo(ini.string(), "M", v, memo, &error));
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(v.rec.name, "BEFORE");
    }
}

// Chosen in the yard, a model whose values cannot be read is reported, and the click that
// follows places nothing: neither the vehicle chosen before nor a half-read one.
TEST_F(YardTest, UnreadableModelIsReportedAndNothingIsPlaced)
{
    WriteFile(root / "rolling stock/BAD/BAD-ext.bmp", "BM");
    const std::unique_ptr<TYardForm1> yard = YardWithLoco();
    TYardForm1& form = *yard;
    form.ChooseCar("BOX-40");
    plat_message_box_clear_records();
    form.ChooseCar("BAD");
    ASSERT_EQ(plat_message_box_records().size(), 1u);
    EXPECT_EQ(plat_message_box_records()[0].text, "'heavy' is not a valid floating point value");
    EXPECT_EQ(form.Label3->text(), "No unit selected");
    EXPECT_NE(form.Memo1->toPlainText().indexOf("mass=heavy"), -1);
    form.DrawGrid1MouseDown(1, 0, false);
    EXPECT_EQ(form.EditedConsist().count, 1);
}

// A traction unit's flag is set when its traction type has more than one character, and
// otherwise left as it was.
TEST_F(YardTest, TractionFlagFollowsTheTractionTypeLength)
{
    const struct {
        const char* type;
        int before, after;
    } cases[] = {{"DEL", 0, 1}, {"E", 0, 0}, {"E", 1, 1}, {"", 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.type) + " after " + std::to_string(c.before));
        const fs::path ini = root / "models" / "T.ini";
        WriteFile(ini, std::string("[general]\ntraction_type=") + c.type +
                           "\n[loco physics]\nmass=70\nlength=15\nmaxTraction=90\n"
                           "power_hp=800\nmaxBrake=40\nnumAxles=4\n");
        TYardVehicle v;
        v.rec.isTraction = c.before;
        std::vector<std::string> memo;
        std::string error;
        ASSERT_TRUE(ReadTractionInfo(ini.string(), "T", v, memo, &error)) << error;
        EXPECT_EQ(v.rec.isTraction, c.after);
    }
}

struct ModelNameCase {
    bool traction;
    const char* name;
    bool fits;
};

// Model folder names must fit the record's 16 characters: a longer one is refused when the
// model is chosen, never cut into a train that names a model that does not exist.
TEST_F(YardTest, LongModelNamesAreRefusedWhenChosen)
{
    const ModelNameCase cases[] = {
        {true, "LOCO-16-CHARS-AB", true},
        {true, "LOCO-17-CHARS-ABC", false},
        {false, "CAR-16-CHARS-XYZ", true},
        {false, "CAR-17-CHARACTERS", false},
    };
    for (const ModelNameCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string name = c.name;
        const fs::path dir = root / (c.traction ? "Traction" : "rolling stock") / name;
        WriteFile(dir / (name + ".ini"),
                  "[general]\ntraction_type=DEL\n[loco physics]\nmass=20\nlength=10\n"
                  "maxTraction=90\npower_hp=800\nmaxBrake=40\nnumAxles=4\n"
                  "[data]\nmass=20\nlength=10\nxArea=8\nmaxBrake=40\nnumAxles=4\n");
        WriteFile(dir / (name + "-ext.bmp"), "BM");
        const std::string ini = (c.traction ? TractionBase(Root(), name) : CarBase(Root(), name)) + ".ini";
        const std::string refusal = "The model folder name \"" + name +
                                    "\" is longer than 16 characters and cannot be stored in a "
                                    "train. Rename the folder and its files.";

        // Reading the model's INI refuses the name and leaves the vehicle as it was.
        TYardVehicle v;
        v.rec.name = "BOX-40";
        std::vector<std::string> memo;
        std::string error;
        const bool read = c.traction ? ReadTractionInfo(ini, name, v, memo, &error)
                                     : ReadCarInfo(ini, name, v, memo, &error);
        EXPECT_EQ(read, c.fits);
        EXPECT_EQ(v.rec.name, c.fits ? name : "BOX-40");
        EXPECT_EQ(error, c.fits ? "" : refusal);

        // Chosen in the yard: refused before anything can be placed.
        plat_message_box_clear_records();
        const std::unique_ptr<TYardForm1> yard = YardWithLoco();
        TYardForm1& form = *yard;
        ASSERT_EQ(form.EditedConsist().count, 1);
        QComboBox* box = c.traction ? form.TractionBox : form.CarBox;
        box->setCurrentIndex(box->findText(QString::fromStdString(name)));
        ASSERT_GE(box->currentIndex(), 0);
        if (c.traction) form.ChooseTraction(QString::fromStdString(name));
        else form.ChooseCar(QString::fromStdString(name));
        form.DrawGrid1MouseDown(1, 0, false);
        if (c.fits) {
            EXPECT_TRUE(plat_message_box_records().empty());
            ASSERT_EQ(form.EditedConsist().count, 2);
            EXPECT_EQ(form.EditedConsist().recs[1].name, name);
            EXPECT_EQ(form.Label3->text().toStdString(), name);
            continue;
        }
        ASSERT_EQ(plat_message_box_records().size(), 1u);
        EXPECT_EQ(plat_message_box_records()[0].text, refusal);
        EXPECT_EQ(plat_message_box_records()[0].icon, PLAT_ICON_ERROR);
        EXPECT_EQ(form.EditedConsist().count, 1);
        EXPECT_EQ(form.EditedConsist().recs[0].name, "RE-RUZ125");
        EXPECT_EQ(box->currentIndex(), -1);
        EXPECT_EQ(form.Label3->text(), "No unit selected");
        EXPECT_TRUE(form.Memo1->toPlainText().isEmpty());
        EXPECT_TRUE(form.Current().picturePath.empty());
    }
}

TEST_F(YardTest, PlacingAndRefusing)
{
    TConsist consist;
    ClearConsist(consist);
    TYardVehicle car;
    car.rec.name = "BOX-40";
    car.rec.mass = 60;
    car.rec.numAxles = 4;
    car.tractionType = "DEL";
    std::string message;

    // No picture yet: a click does nothing but still takes the type code.
    EXPECT_EQ(PlaceVehicleAt(consist, car, 0, &message), TPlaceResult::Ignored);
    EXPECT_EQ(car.tractionCode, 0);

    car.picturePath = "x-ext.bmp";
    EXPECT_EQ(PlaceVehicleAt(consist, car, 0, &message), TPlaceResult::Refused);
    EXPECT_EQ(message, "Cannot place a \"Car\" vehicle here.");
    EXPECT_EQ(consist.count, 0);

    TYardVehicle loco = car;
    loco.rec.isTraction = 1;
    loco.rec.name = "RE-RUZ125";
    loco.tractionType = "XYZ";  // unknown: the code stays
    EXPECT_EQ(PlaceVehicleAt(consist, loco, 0, &message), TPlaceResult::Placed);
    EXPECT_EQ(loco.tractionCode, 0);
    EXPECT_EQ(PlaceVehicleAt(consist, car, 1, &message), TPlaceResult::Placed);
    EXPECT_EQ(PlaceVehicleAt(consist, car, 3, &message), TPlaceResult::Ignored);  // a gap
    EXPECT_EQ(PlaceVehicleAt(consist, car, 2, &message), TPlaceResult::Placed);
    EXPECT_EQ(consist.count, 3);
    EXPECT_EQ(PlaceVehicleAt(consist, car, 0, &message), TPlaceResult::Refused);
    EXPECT_EQ(consist.recs[0].name, "RE-RUZ125");
}

TEST_F(YardTest, TractionTypeCodes)
{
    const std::pair<const char*, int> codes[] = {{"DEL", 0}, {"ELE", 1}, {"DMU", 2}, {"EMU", 3},
                                                 {"STE", 4}, {"SUB", 5}, {"HST", 6}, {"ele", 9}};
    for (const auto& [text, code] : codes) EXPECT_EQ(TractionTypeCode(text, 9), code) << text;
}

TEST_F(YardTest, FormTexts)
{
    TConsist empty;
    ClearConsist(empty);
    TYardForm1 form(Root(), empty);
    EXPECT_EQ(form.windowTitle(), "Build Train ");
    EXPECT_EQ(form.TractionBox->placeholderText(), "selected traction here");
    EXPECT_EQ(form.CarBox->placeholderText(), "selected car here");
    EXPECT_EQ(form.Edit1->text(), "Enter Train Name");
    EXPECT_EQ(form.SaveTrainCheckBox->text(), "Save Train to file");
    EXPECT_EQ(form.OkButton->text(), "OK");
    EXPECT_EQ(form.CancelButton->text(), "Cancel");
    QStringList labels;
    for (const QLabel* label : form.findChildren<QLabel*>()) labels << label->text();
    for (const char* text : {"Current Traction:", "Current Car:", "No unit selected", "Train Name:",
                             "index 0", "Alt + Click for Info"})
        EXPECT_TRUE(labels.contains(text)) << text;
}

TEST_F(YardTest, FormMakesUpATrain)
{
    TConsist empty;
    ClearConsist(empty);
    TYardForm1 form(Root(), empty);
    form.FormShow();
    form.FormActivate();
    EXPECT_EQ(form.windowTitle(), "Marshall your train . . .");
    ASSERT_EQ(form.TractionBox->count(), 1);
    EXPECT_EQ(form.TractionBox->itemText(0), "RE-RUZ125");
    EXPECT_EQ(form.CarBox->count(), 3);
    EXPECT_EQ(form.Label3->text(), "No unit selected");
    EXPECT_EQ(form.indexLabel->text(), "index 0");
    EXPECT_EQ(form.countLabel->text(), "Vehicle count: 0");
    EXPECT_EQ(form.TrainPath(), Root() + "\\rail yard\\Enter Train Name.trn");
    EXPECT_EQ(form.CellPicturePath(0), Root() + "\\images\\yard_prompt.bmp");

    form.ChooseCar("BOX-40");
    form.DrawGrid1MouseDown(0, 0, false);
    ASSERT_EQ(plat_message_box_records().size(), 1u);
    EXPECT_EQ(plat_message_box_records()[0].text, "Cannot place a \"Car\" vehicle here.");
    EXPECT_EQ(form.EditedConsist().count, 0);

    form.ChooseTraction("RE-RUZ125");
    EXPECT_EQ(form.Label3->text(), "RE-RUZ125");
    EXPECT_TRUE(form.Memo1->toPlainText().startsWith("[general]\ntraction_type=SUB"));
    form.DrawGrid1MouseDown(0, 0, false);
    form.ChooseCar("BOX-40");
    form.DrawGrid1MouseDown(1, 0, false);
    form.DrawGrid1MouseDown(2, 0, false);
    EXPECT_EQ(form.Current().tractionCode, 5);
    EXPECT_EQ(form.indexLabel->text(), "index: 2");
    EXPECT_EQ(form.EditedConsist().count, 3);
    EXPECT_EQ(form.tonLabel->text(), "Total tonnage (t): 204");  // 84.5 + 60 + 60 = 204.5, to even
    EXPECT_EQ(form.lengthLabel->text(), "Total length (m): 44");  // 43.5, to even
    EXPECT_EQ(form.countLabel->text(), "Vehicle count: 3");
    EXPECT_EQ(form.tractiveLabel->text(), "Total traction(kN): 250");
    EXPECT_EQ(form.CellPicturePath(1), CarBase(Root(), "BOX-40") + "-ext.bmp");
    EXPECT_EQ(form.CellPicturePath(3), "");

    // Alt + click: the placed unit becomes the current vehicle again.
    form.DrawGrid1MouseDown(0, 0, true);
    EXPECT_EQ(form.Label3->text(), "RE-RUZ125");
    EXPECT_EQ(form.Current().rec.isTraction, 1);
    EXPECT_EQ(form.EditedConsist().count, 3);
    form.DrawGrid1MouseDown(4, 3, true);  // an empty position: nothing to show
    EXPECT_EQ(form.Current().rec.name, "RE-RUZ125");
    EXPECT_EQ(form.indexLabel->text(), "index: 19");

    form.Edit1Change("Test Freight");
    EXPECT_EQ(form.TrainPath(), Root() + "\\rail yard\\Test Freight.trn");
    form.Edit1Change("Other.trn");
    EXPECT_EQ(form.TrainPath(), Root() + "\\rail yard\\Other.trn");

    std::string error;
    ASSERT_TRUE(SaveTrain(form.TrainPath(), form.EditedConsist(), &error)) << error;
    TConsist loaded;
    ASSERT_TRUE(LoadTrain(form.TrainPath(), loaded, &error)) << error;
    EXPECT_EQ(loaded.count, 3);
    EXPECT_DOUBLE_EQ(loaded.davisA, form.EditedConsist().davisA);
}

TEST_F(YardTest, FormReportsABadNumberAndKeepsTheVehicle)
{
    TConsist empty;
    ClearConsist(empty);
    TYardForm1 form(Root(), empty);
    form.FormShow();
    form.ChooseCar("BOX-40");
    form.ChooseCar("BAD");
    ASSERT_EQ(plat_message_box_records().size(), 1u);
    EXPECT_EQ(plat_message_box_records()[0].text, "'heavy' is not a valid floating point value");
    EXPECT_EQ(plat_message_box_records()[0].icon, PLAT_ICON_ERROR);
    EXPECT_EQ(form.Current().rec.name, "BOX-40");
}

TEST_F(YardTest, FormNeverTouchesTheDrivenTrain)
{
    TConsist driven;
    ClearConsist(driven);
    TYardForm1 form(Root(), driven);
    form.FormShow();
    form.ChooseTraction("RE-RUZ125");
    form.DrawGrid1MouseDown(0, 0, false);
    EXPECT_EQ(form.EditedConsist().count, 1);
    EXPECT_EQ(driven.count, 0);
}

// Runs the yard through BuildTrain: steps act on the window once it is up, then answer.
TBuildResult RunBuildTrain(const std::string& root, std::function<void(TYardForm1&)> steps,
                           int answer)
{
    QTimer::singleShot(0, [&] {
        auto* form = qobject_cast<TYardForm1*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        steps(*form);
        form->done(answer);
    });
    return BuildTrain(nullptr, root);
}

TEST_F(YardTest, BuildTrainSavesOrLoadsOnOkAndKeepsAllOnCancel)
{
    ClearConsist(Consist);
    SimState.paths.train = "unchanged";
    auto make_up = [](TYardForm1& form) {
        form.ChooseTraction("RE-RUZ125");
        form.DrawGrid1MouseDown(0, 0, false);
        form.ChooseCar("BOX-40");
        form.DrawGrid1MouseDown(1, 0, false);
        form.Edit1Change("Freight");
    };
    EXPECT_EQ(RunBuildTrain(Root(), make_up, 2), TBuildResult::Cancelled);
    EXPECT_EQ(Consist.count, 0);
    EXPECT_EQ(SimState.paths.train, "unchanged");

    auto save = [&](TYardForm1& form) {
        make_up(form);
        form.SaveTrainCheckBox->setChecked(true);
    };
    EXPECT_EQ(RunBuildTrain(Root(), save, 1), TBuildResult::Saved);
    EXPECT_EQ(Consist.count, 2);
    EXPECT_EQ(SimState.paths.train, Root() + "\\rail yard\\Freight.trn");
    EXPECT_EQ(SimState.trainName, "Freight");
    EXPECT_TRUE(fs::exists(root / "rail yard" / "Freight.trn"));
    ASSERT_FALSE(plat_message_box_records().empty());
    EXPECT_EQ(plat_message_box_records().back().text, "Train:  \"Freight\"  was saved to disk.");

    // OK without saving reads the named file back, whatever was placed meanwhile.
    auto place_more = [](TYardForm1& form) {
        EXPECT_EQ(form.Edit1->text(), "Freight");
        form.ChooseCar("BOX-40");
        form.DrawGrid1MouseDown(2, 0, false);
    };
    EXPECT_EQ(RunBuildTrain(Root(), place_more, 1), TBuildResult::Loaded);
    EXPECT_EQ(Consist.count, 2);
    ClearConsist(Consist);
}

// A train to be saved needs a name: OK without one keeps the yard open with the train made up,
// says why, and writes nothing.
TEST_F(YardTest, OkRefusesToSaveATrainWithoutAName)
{
    for (const TYardSave when : {TYardSave::WhenChecked, TYardSave::Always}) {
        for (const char* name : {"", "   "}) {
            SCOPED_TRACE(std::string("name \"") + name + "\"");
            ClearConsist(Consist);
            plat_message_box_clear_records();
            bool openAfterOk = false;
            int placed = 0;
            QTimer::singleShot(0, [&] {
                auto* form = qobject_cast<TYardForm1*>(QApplication::activeModalWidget());
                ASSERT_NE(form, nullptr);
                form->ChooseTraction("RE-RUZ125");
                form->DrawGrid1MouseDown(0, 0, false);
                form->Edit1->setText(name);
                form->Edit1Change(name);
                form->SaveTrainCheckBox->setChecked(when == TYardSave::WhenChecked);
                form->OkButton->click();
                openAfterOk = form->isVisible();
                placed = form->EditedConsist().count;
                form->CancelButton->click();
            });
            EXPECT_EQ(BuildTrain(nullptr, Root(), when), TBuildResult::Cancelled);
            EXPECT_TRUE(openAfterOk);
            EXPECT_EQ(placed, 1);
            ASSERT_EQ(plat_message_box_records().size(), 1u);
            EXPECT_EQ(plat_message_box_records()[0].text,
                      "Train Name may not be empty: the train is saved under it.");
            EXPECT_TRUE(fs::is_empty(root / "rail yard"));
            EXPECT_EQ(Consist.count, 0);
        }
    }
}

}  // namespace
