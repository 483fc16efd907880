// Traction model files: defaults, the cab picture, loading a model and drive mode.
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>

#include "app/ini_file.h"
#include "app/main_window.h"
#include "app/sim_state.h"
#include "app/sound_fx.h"
#include "cab/cab_items.h"
#include "cab/cab_picture.h"
#include "cab/loco_physics_form.h"
#include "cab/traction_model.h"
#include "cab_fixture.h"
#include "train/brake.h"
#include "train/physics.h"
#include "train/vehicle.h"

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

using TractionModelTest = CabTest;

TEST_F(TractionModelTest, EveryKeyHasItsDefault)
{
    const TIniFile empty((root / "none.ini").string());
    TTractionSettings s;
    ASSERT_TRUE(ReadTractionSettings(empty, &s));
    EXPECT_EQ(s.top, 10);
    EXPECT_EQ(s.left, 10);
    EXPECT_EQ(s.height, 100);
    EXPECT_EQ(s.width, 200);
    EXPECT_EQ(s.clock, "NULL");
    EXPECT_EQ(s.brakeType, "auto");
    EXPECT_EQ(s.tractionType, "ELE");
    EXPECT_EQ(s.runSound, kDefaultRunSound);

    const TPhysicsKeys k = ReadPhysicsKeys(empty);
    const std::pair<std::string, const char*> physics[] = {
        {k.tractionType, "nil"}, {k.description, "nil"}, {k.yearComm, "1900"},
        {k.model, "nil"},        {k.mass, "100"},        {k.maxTraction, "200"},
        {k.maxIndBrk, "200"},    {k.powerHp, "200"},     {k.numAxles, "6"},
        {k.brakeType, "auto"}};
    for (const auto& [value, def] : physics) EXPECT_EQ(value, def);
}

TEST_F(TractionModelTest, PhysicsKeysWriteBackAndReadAgain)
{
    WriteIni("TESTLOCO", "3d_top=5\r\n");
    TIniFile ini(IniPath("TESTLOCO"));
    TPhysicsKeys k;
    k.tractionType = "SUB";
    k.mass = "42.5";
    k.brakeType = "ep";
    ASSERT_TRUE(WritePhysicsKeys(ini, k));
    const TPhysicsKeys back = ReadPhysicsKeys(TIniFile(IniPath("TESTLOCO")));
    EXPECT_EQ(back.tractionType, "SUB");
    EXPECT_EQ(back.mass, "42.5");
    EXPECT_EQ(back.brakeType, "ep");
    EXPECT_EQ(back.numAxles, "6");
    EXPECT_EQ(TIniFile(IniPath("TESTLOCO")).ReadString("cab layout", "3d_top", ""), "5");
}

TEST_F(TractionModelTest, IniPlacesThePanelAndSetsTheModel)
{
    WriteIni("TESTLOCO", "3d_top=20\r\n3d_left=30\r\n3d_height=150\r\n3d_width=400\r\n",
             "[general]\r\ntraction_type=SUB\r\n[loco physics]\r\nbrake_type=ep\r\n"
             "[sound]\r\nrun1=electric.wav\r\n");
    ASSERT_TRUE(ReadTractionIni(IniPath("TESTLOCO")));
    EXPECT_EQ(window->ThreeDPanel->geometry(), QRect(30, 20, 400, 150));
    EXPECT_EQ(window->InfoBoxLabel1->geometry(), QRect(450, 20, 120, 150));
    EXPECT_TRUE(EpBrake);
    EXPECT_EQ(TractionType, ttSUB);
    EXPECT_EQ(SoundRunFile, "electric.wav");
    EXPECT_EQ(TractionTypeLabel(), "Subway/LRV");

    WriteIni("OTHER", "", "[general]\r\ntraction_type=XYZ\r\n");
    ASSERT_TRUE(ReadTractionIni(IniPath("OTHER")));
    EXPECT_EQ(TractionType, ttSUB);  // an unknown code keeps the previous type
    EXPECT_FALSE(EpBrake);
    EXPECT_EQ(SoundRunFile, kDefaultRunSound);
}

TEST_F(TractionModelTest, TractionCodesAndTheirLabels)
{
    const struct {
        const char* code;
        TTractionType type;
        const char* label;
    } cases[] = {{"DEL", ttDEL, "Diesel-Electric"}, {"ELE", ttELE, "Electric Loco"},
                 {"DMU", ttDMU, "DMU"},             {"EMU", ttEMU, "EMU"},
                 {"STE", ttSTE, "Steam Loco"},      {"SUB", ttSUB, "Subway/LRV"},
                 {"HST", ttHST, "HST"}};
    for (const auto& c : cases) {
        WriteIni("TESTLOCO", "", std::string("[general]\r\ntraction_type=") + c.code + "\r\n");
        ASSERT_TRUE(ReadTractionIni(IniPath("TESTLOCO")));
        EXPECT_EQ(TractionType, c.type) << c.code;
        EXPECT_EQ(TractionTypeLabel(), c.label) << c.code;
    }
}

TEST_F(TractionModelTest, PhysicsFormCaptionLabelsAndMissingFile)
{
    WriteIni("TESTLOCO", "", "[general]\r\ntraction_type=SUB\r\n");
    const std::string ini = IniPath("TESTLOCO");
    {
        std::lock_guard guard(SimLock);
        SimState.paths.traction = ini.substr(0, ini.size() - 4);
    }
    QString title;
    QString type;
    QStringList labels;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* form = qobject_cast<TPhysEditForm*>(QApplication::activeModalWidget())) {
            title = form->windowTitle();
            type = form->tractType->text();
            for (const QLabel* label : form->findChildren<QLabel*>()) labels << label->text();
            form->reject();
        }
    });
    closer.start(10);
    ShowPhysicsForm();
    EXPECT_EQ(title, "Edit: physics values");
    EXPECT_EQ(type, "SUB");
    for (const char* text : {"Traction Type:", "Short Description:", "Year Built:", "Engine Model:",
                             "Mass (tonnes) :", "maxTraction (kN) :", "maxIndBrake (kN) :",
                             "Power (BHP) :", "numAxles :", "Brake (auto/ep) :"})
        EXPECT_TRUE(labels.contains(text)) << text;
    EXPECT_TRUE(BoxTexts().empty());
}

// A model folder without its INI file: the form shows the defaults and OK makes the file.
TEST_F(TractionModelTest, PhysicsFormWithoutAnIniFileWritesOneOnOk)
{
    fs::create_directories(root / "traction" / "NEWLOCO");
    const std::string base = (root / "traction" / "NEWLOCO" / "NEWLOCO").string();
    {
        std::lock_guard guard(SimLock);
        SimState.paths.traction = base;
    }
    QStringList shown;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* form = qobject_cast<TPhysEditForm*>(QApplication::activeModalWidget())) {
            for (QLineEdit* edit : {form->tractType, form->mass, form->numAxles, form->brk_mode})
                shown << edit->text();
            form->mass->setText("84");
            form->accept();
        }
    });
    closer.start(10);
    ShowPhysicsForm();
    EXPECT_EQ(shown, QStringList({"nil", "100", "6", "auto"}));
    EXPECT_TRUE(BoxTexts().empty());
    const TPhysicsKeys k = ReadPhysicsKeys(TIniFile(base + ".ini"));
    ASSERT_TRUE(fs::exists(base + ".ini"));
    EXPECT_EQ(k.mass, "84");
    EXPECT_EQ(k.tractionType, "nil");
    EXPECT_EQ(k.yearComm, "1900");
    EXPECT_EQ(k.brakeType, "auto");
}

// A number the model cannot take is refused when OK is pressed: the dialog stays open with
// what was typed, and the INI file stays as it was.
TEST_F(TractionModelTest, PhysicsFormRefusesBadNumbersOnOk)
{
    WriteIni("TESTLOCO", "", "[loco physics]\r\nmass=84\r\nnumAxles=4\r\n");
    const std::string ini = IniPath("TESTLOCO");
    {
        std::lock_guard guard(SimLock);
        SimState.paths.traction = ini.substr(0, ini.size() - 4);
    }
    const auto read = [&] {
        std::ifstream in(ini, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::string before = read();
    const struct {
        QLineEdit* TPhysEditForm::*field;
        const char* text;
        const char* message;
    } cases[] = {
        {&TPhysEditForm::mass, "heavy", "Mass must be a number above 0 and at most 2000 (tonnes)."},
        {&TPhysEditForm::mass, "0", "Mass must be a number above 0 and at most 2000 (tonnes)."},
        {&TPhysEditForm::mass, "-84", "Mass must be a number above 0 and at most 2000 (tonnes)."},
        {&TPhysEditForm::numAxles, "-3", "numAxles must be a whole number from 1 to 32."},
        {&TPhysEditForm::numAxles, "4.5", "numAxles must be a whole number from 1 to 32."},
        {&TPhysEditForm::traction, "", "maxTraction must be a whole number from 0 to 10000 (kN)."},
        {&TPhysEditForm::indbrake, "x", "maxIndBrake must be a whole number from 0 to 10000 (kN)."},
        {&TPhysEditForm::power, "-1", "Power must be a whole number from 0 to 100000 (BHP)."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        plat_message_box_clear_records();
        bool openAfterOk = false;
        QString typed;
        QTimer worker;
        bool done = false;
        QObject::connect(&worker, &QTimer::timeout, [&] {
            auto* form = qobject_cast<TPhysEditForm*>(QApplication::activeModalWidget());
            if (!form || done)
                return;
            done = true;
            (form->*c.field)->setText(c.text);
            form->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
            openAfterOk = form->isVisible();
            typed = (form->*c.field)->text();
            form->reject();
        });
        worker.start(10);
        ShowPhysicsForm();
        EXPECT_TRUE(openAfterOk);
        EXPECT_EQ(typed, c.text);
        EXPECT_EQ(BoxTexts(), std::vector<std::string>{c.message});
        EXPECT_EQ(read(), before);
    }
}

TEST_F(TractionModelTest, TractionFileDialogTitleFilterAndFolder)
{
    WriteIni("TESTLOCO", "");
    QString title;
    QStringList filters;
    QString folder;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            title = dialog->windowTitle();
            filters = dialog->nameFilters();
            folder = dialog->directory().absolutePath();
            dialog->reject();
        }
    });
    closer.start(10);
    EXPECT_EQ(SelectTractionFile(), "");
    EXPECT_EQ(title, "Select traction INI file.");
    EXPECT_EQ(filters, QStringList({"traction files (*.ini)"}));
    EXPECT_EQ(folder.toStdString(), fs::canonical(root / "traction").string());
}

TEST_F(TractionModelTest, ANumberThatIsNoIntegerAbandonsTheRead)
{
    WriteIni("TESTLOCO", "3d_top=twelve\r\n", "[general]\r\ntraction_type=HST\r\n");
    EXPECT_FALSE(ReadTractionIni(IniPath("TESTLOCO")));
    EXPECT_EQ(TractionType, ttELE);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"'twelve' is not a valid integer value"});
}

TEST_F(TractionModelTest, CabLayoutKeyIsWrittenInPlace)
{
    const std::string before =
        "; cab of the test loco\r\n[cab layout]\r\n3d_top=10\r\n3d_left=10\r\n"
        "control1=TESTLOCO.throttle, 300:50\r\n\r\n[general]\r\ntraction_type=ELE\r\n";
    fs::create_directories(root / "traction" / "TESTLOCO");
    std::ofstream(IniPath("TESTLOCO"), std::ios::binary) << before;
    ASSERT_TRUE(WriteCabLayoutKey(IniPath("TESTLOCO"), "3d_top", "40"));
    ASSERT_TRUE(WriteCabLayoutKey(IniPath("TESTLOCO"), "3d_left", "25"));
    std::string expected = before;
    expected.replace(expected.find("3d_top=10"), 9, "3d_top=40");
    expected.replace(expected.find("3d_left=10"), 10, "3d_left=25");
    EXPECT_EQ(ReadAll(IniPath("TESTLOCO")), expected);

    const std::string absent = IniPath("ABSENT");
    EXPECT_FALSE(WriteCabLayoutKey(absent, "3d_top", "40"));
    EXPECT_FALSE(fs::exists(absent));
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{absent + "\rError: file not found."});
}

TEST_F(TractionModelTest, JpegPictureRoundTripsAndABadFileIsRefused)
{
    QImage picture(64, 32, QImage::Format_RGB32);
    picture.fill(QColor(200, 100, 50));
    const std::string path = (root / "pic.jpg").string();
    std::string error;
    ASSERT_TRUE(SaveJpegFile(path, picture, 95, &error)) << error;
    const QImage back = LoadJpegFile(path, &error);
    ASSERT_EQ(back.size(), QSize(64, 32));
    const QColor c = back.pixelColor(10, 10);
    EXPECT_NEAR(c.red(), 200, 4);
    EXPECT_NEAR(c.green(), 100, 4);
    EXPECT_NEAR(c.blue(), 50, 4);

    const std::string whole = ReadAll(path);
    std::ofstream(path, std::ios::binary) << whole.substr(0, 20);
    EXPECT_TRUE(LoadJpegFile(path, &error).isNull());
    EXPECT_NE(error.find(path), std::string::npos);
    std::ofstream(path, std::ios::binary) << "not a picture";
    EXPECT_TRUE(LoadJpegFile(path, &error).isNull());
    EXPECT_TRUE(LoadJpegFile((root / "absent.jpg").string(), &error).isNull());
}

// Position of the first marker 0xFF code in a JPEG file.
size_t Marker(const std::string& jpeg, unsigned char code)
{
    for (size_t i = 0; i + 1 < jpeg.size(); ++i)
        if (jpeg[i] == char(0xFF) && jpeg[i + 1] == char(code)) return i;
    return std::string::npos;
}

// A cab picture cut short, or claiming more pixels than a cab can use, is refused with its
// reason; the model then shows as in error.
TEST_F(TractionModelTest, TruncatedOrOversizeCabPictureIsRefused)
{
    WriteStandardModel();
    const fs::path file = root / "traction" / "TESTLOCO" / "TESTLOCO-cab.jpg";
    const std::string whole = ReadAll(file.string());
    const size_t scan = Marker(whole, 0xDA);
    const size_t frame = Marker(whole, 0xC0);
    ASSERT_NE(scan, std::string::npos);
    ASSERT_NE(frame, std::string::npos);
    const auto claiming = [&](int width, int height) {
        std::string bytes = whole.substr(0, scan + 40);
        bytes[frame + 5] = char(height >> 8);
        bytes[frame + 6] = char(height & 0xFF);
        bytes[frame + 7] = char(width >> 8);
        bytes[frame + 8] = char(width & 0xFF);
        return bytes;
    };
    const struct {
        const char* what;
        std::string bytes;
        const char* reason;
    } cases[] = {
        {"cut in the scan", whole.substr(0, scan + (whole.size() - scan) / 2),
         "Premature end of JPEG file"},
        {"16384 x 16384, 641 bytes", claiming(16384, 16384).substr(0, 641),
         "the picture is 16384 x 16384 pixels, more than 4096 on a side"},
        {"4097 wide", claiming(4097, 10), "the picture is 4097 x 10 pixels, more than 4096 on a side"},
    };
    const std::string path = SimState.paths.root + "\\traction\\TESTLOCO\\TESTLOCO-cab.jpg";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::ofstream(file, std::ios::binary) << c.bytes;
        plat_message_box_clear_records();
        LoadTractionModel("TESTLOCO");
        EXPECT_EQ(BoxTexts(), std::vector<std::string>{path + ": " + c.reason});
        EXPECT_EQ(window->windowTitle(), "TESTLOCO: ERROR!");
        EXPECT_TRUE(window->cab_bkgd->pixmap().isNull());
    }
}

TEST_F(TractionModelTest, ModelWithPictureAndLeversIsReady)
{
    WriteStandardModel();
    LoadTractionModel("TESTLOCO");
    EXPECT_EQ(window->windowTitle(), "TESTLOCO: Ready");
    EXPECT_EQ(window->ThreeDPanel->text(), "Select 'Start Sim' from the File menu");
    EXPECT_EQ(window->ThreeDPanel->geometry(), QRect(0, 0, 579, 218));
    ASSERT_FALSE(window->cab_bkgd->pixmap().isNull());
    EXPECT_EQ(window->cab_bkgd->pixmap().size(), QSize(793, 524));
    EXPECT_EQ(SimState.paths.traction, SimState.paths.root + "\\traction\\TESTLOCO\\TESTLOCO");
    auto* clock = window->cab_bkgd->findChild<QLabel*>("digital_clock");
    ASSERT_NE(clock, nullptr);
    EXPECT_EQ(clock->pos(), QPoint(700, 40));
    SimState.clock = 9.5 / 24.0;
    ShowSimClock();
    EXPECT_EQ(clock->text(), "09:30:00");
}

// A number that is not an integer abandons the load where it stands: in the 3D window's
// place nothing of the layout is loaded; in one item's place the items after it are not.
TEST_F(TractionModelTest, ANumberThatIsNoIntegerAbandonsTheModelLoad)
{
    WriteStandardModel();
    const std::string standard = ReadAll(IniPath("TESTLOCO"));
    const auto load = [&](const std::string& from, const std::string& to) {
        std::string text = standard;
        text.replace(text.find(from), from.size(), to);
        std::ofstream(IniPath("TESTLOCO"), std::ios::binary) << text;
        plat_message_box_clear_records();
        LoadTractionModel("TESTLOCO");
    };

    load("3d_top=0", "3d_top=12a");
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"'12a' is not a valid integer value"});
    EXPECT_EQ(window->windowTitle(), "TESTLOCO: ERROR!");
    EXPECT_EQ(window->ThreeDPanel->text(), "Error: check 'TESTLOCO' in the traction folder");
    EXPECT_EQ(CabItems.leverCount, 0);
    EXPECT_EQ(CabItems.gaugeCount, 0);

    load("TESTLOCO.reverser, 300:120", "TESTLOCO.reverser, 300:1x0");
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"'1x0' is not a valid integer value"});
    EXPECT_EQ(CabItems.leverCount, 1);
    EXPECT_EQ(CabItems.gaugeCount, 0);
    EXPECT_EQ(CabItems.lightCount, 0);
    EXPECT_EQ(window->windowTitle(), "TESTLOCO: Ready");  // a lever was loaded
}

TEST_F(TractionModelTest, MissingPictureOrLeversIsAnError)
{
    // Without a [cab layout] section and without a picture.
    WriteIni("BARE", "", "[general]\r\ntraction_type=DEL\r\n");
    LoadTractionModel("BARE");
    EXPECT_EQ(window->windowTitle(), "BARE: ERROR!");
    EXPECT_EQ(window->ThreeDPanel->text(), "Error: check 'BARE' in the traction folder");
    EXPECT_EQ(TractionType, ttELE);  // the INI is read only with its picture

    // A picture but no lever: the window keeps its default place.
    WritePicture("BARE");
    LoadTractionModel("BARE");
    EXPECT_EQ(window->windowTitle(), "BARE: ERROR!");
    EXPECT_EQ(window->ThreeDPanel->geometry(), QRect(10, 10, 200, 100));
    EXPECT_EQ(TractionType, ttDEL);
    EXPECT_EQ(CabItems.leverCount, 0);
}

TEST_F(TractionModelTest, OnlyConsecutiveItemsLoad)
{
    WritePicture("TESTLOCO");
    WriteIni("TESTLOCO",
             "control1=TESTLOCO.throttle, 300:50\r\ncontrol3=TESTLOCO.reverser, 300:120\r\n"
             "clock=analog, 40:500\r\n");
    WriteItem("TESTLOCO.throttle", LeverFile(16, 17));
    WriteItem("TESTLOCO.reverser", LeverFile(3, 4));
    LoadTractionModel("TESTLOCO");
    EXPECT_EQ(CabItems.leverCount, 1);
    EXPECT_EQ(CabItems.levers[2], nullptr);
    auto* clock = window->cab_bkgd->findChild<QWidget*>("analog_clock");
    ASSERT_NE(clock, nullptr);
    EXPECT_EQ(clock->geometry(), QRect(500, 40, 60, 60));
}

TEST_F(TractionModelTest, DriveModeLoadsTheTrainsModelAndSetsTheLevers)
{
    WriteStandardModel();
    ClearConsist(Consist);
    TVehicleRec loco;
    loco.name = "TESTLOCO";
    loco.isTraction = 1;
    AddVehicle(Consist, 0, loco);
    SimState.editorMode = true;
    window->Button1->show();

    SetupDriveMode();
    EXPECT_FALSE(SimState.editorMode);
    EXPECT_EQ(SimState.tractionModel, "TESTLOCO");
    EXPECT_EQ(window->windowTitle(), "TESTLOCO: Ready");
    EXPECT_FALSE(window->Button1->isVisibleTo(window.get()));
    EXPECT_FALSE(window->CIT_menu->menuAction()->isEnabled());
    EXPECT_EQ(Physics.cleanliness, kRailDirty);
    ASSERT_EQ(CabItems.leverCount, 4);
    EXPECT_EQ(CabItems.levers[0]->Value(), 1);  // throttle
    EXPECT_EQ(CabItems.levers[1]->Value(), 1);  // reverser
    EXPECT_EQ(CabItems.levers[2]->Value(), 1);  // automatic brake
    EXPECT_NE(window->InfoBoxLabel1->text().indexOf("Electric Loco"), -1);

    // The same model is not loaded again.
    TvexaTracker* first = CabItems.levers[0];
    first->SetValue(12);
    SetupDriveMode();
    EXPECT_EQ(CabItems.levers[0], first);
    EXPECT_EQ(first->Value(), 1);

    Consist.count = 0;  // a train without vehicles drives the default model
    SetupDriveMode();
    EXPECT_EQ(SimState.tractionModel, kDefaultTractionModel);
    EXPECT_EQ(window->windowTitle(), QString(kDefaultTractionModel) + ": ERROR!");
    ClearConsist(Consist);
}

TEST_F(TractionModelTest, SubwayThrottleStartsAtFive)
{
    WriteStandardModel("SUB");
    LoadTractionModel("TESTLOCO");
    SetInitialLevers();
    EXPECT_EQ(CabItems.levers[0]->Value(), 5);
    EXPECT_EQ(CabItems.levers[0]->BackBitmap().pixel(20, 60) & 0xFFFFFF, FrameColour(4));
    EXPECT_EQ(CabItems.levers[2]->Value(), 0);  // the automatic brake stays
}

TEST_F(TractionModelTest, DriveModeSwitchesSoundOnOnlyWhenAvailable)
{
    WriteStandardModel();
    SoundAvailable = false;  // the sound library did not start, or a start failed
    SetupDriveMode();
    EXPECT_FALSE(SimState.soundOn);
    SoundAvailable = true;
    SetupDriveMode();
    EXPECT_TRUE(SimState.soundOn);
    SoundAvailable = false;
}

}  // namespace
