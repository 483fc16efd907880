// Traction models: the traction INI file, the cab picture and layout, drive mode.
#include "cab/traction_model.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>

#include <cmath>
#include <mutex>

#include "app/info_box.h"
#include "app/ini_file.h"
#include "app/integer_text.h"
#include "app/main_window.h"
#include "app/qt_message_box.h"
#include "app/sim_state.h"
#include "app/sound_fx.h"
#include "cab/cab_items.h"
#include "cab/cab_layout.h"
#include "cab/cab_picture.h"
#include "cab/clock_control.h"
#include "cab/loco_physics_form.h"
#include "platform/msgbox.h"
#include "platform/numbers.h"
#include "platform/paths.h"
#include "train/brake.h"
#include "train/physics.h"
#include "train/vehicle.h"
#include "train/yard_form.h"

bool SoundAvailable = false;

namespace {

std::string LoadedModel;
QPointer<QWidget> LoadedInto;  // the cab picture the model's items were loaded onto
QPointer<TClock> AnalogClock;
QPointer<QLabel> DigitalClock;
bool DigitalShown = false;

std::string CabItemList()
{
    return SimRoot() + "\\cab items\\filenames.txt";
}

bool ReadInt(const TIniFile& ini, const char* key, const char* def, int* out)
{
    std::string error;
    if (!IntegerText(ini.ReadString("cab layout", key, def), -32768, 32767, out, &error)) {
        ShowMessage(error);
        return false;
    }
    return true;
}

QTime SimTime()
{
    double days;
    {
        std::lock_guard guard(SimLock);
        days = SimState.clock;
    }
    const double fraction = days - std::floor(days);
    const long long ms = std::llround(fraction * 86400000.0) % 86400000;
    return QTime::fromMSecsSinceStartOfDay(int(ms));
}

void SetCaption(const std::string& text)
{
    if (VaruRor)
        VaruRor->setWindowTitle(QString::fromLatin1(text));
}

void SetPanelText(const std::string& text)
{
    if (VaruRor)
        VaruRor->ThreeDPanel->setText(QString::fromLatin1(text));
}

// Sets lever of a slot to value and shows frame.
void SetLever(const TSimSlot& slot, int value, int frame)
{
    TvexaTracker* lever = BoundLever(slot);
    if (!lever)
        return;
    lever->SetValue(value);
    for (int n = 1; n <= kMaxCabItems; ++n)
        if (CabItems.levers[size_t(n - 1)] == lever)
            ShowLeverFrame(n, frame);
}

}  // namespace

void RefreshInfoBox()
{
    if (!VaruRor)
        return;
    std::string text;
    {
        std::lock_guard guard(SimLock);
        text = InfoBoxText(CollectInfoBoxValues());
    }
    VaruRor->ShowInfoBox(text);
}

bool ReadTractionSettings(const TIniFile& ini, TTractionSettings* out)
{
    TTractionSettings s;
    if (!ReadInt(ini, "3d_top", "10", &s.top) || !ReadInt(ini, "3d_left", "10", &s.left) ||
        !ReadInt(ini, "3d_height", "100", &s.height) || !ReadInt(ini, "3d_width", "200", &s.width))
        return false;
    s.clock = ini.ReadString("cab layout", "clock", "NULL");
    s.brakeType = ini.ReadString("loco physics", "brake_type", "auto");
    s.tractionType = ini.ReadString("general", "traction_type", "ELE");
    s.runSound = ini.ReadString("sound", "run1", kDefaultRunSound);
    *out = std::move(s);
    return true;
}

TPhysicsKeys ReadPhysicsKeys(const TIniFile& ini)
{
    TPhysicsKeys k;
    k.tractionType = ini.ReadString("general", "traction_type", "nil");
    k.description = ini.ReadString("general", "description", "nil");
    k.yearComm = ini.ReadString("general", "yearComm", "1900");
    k.model = ini.ReadString("general", "model", "nil");
    k.mass = ini.ReadString("loco physics", "mass", "100");
    k.maxTraction = ini.ReadString("loco physics", "maxTraction", "200");
    k.maxIndBrk = ini.ReadString("loco physics", "maxIndBrk", "200");
    k.powerHp = ini.ReadString("loco physics", "power_hp", "200");
    k.numAxles = ini.ReadString("loco physics", "numAxles", "6");
    k.brakeType = ini.ReadString("loco physics", "brake_type", "auto");
    return k;
}

bool WritePhysicsKeys(TIniFile& ini, const TPhysicsKeys& k)
{
    return ini.WriteString("general", "traction_type", k.tractionType) &&
           ini.WriteString("general", "description", k.description) &&
           ini.WriteString("general", "yearComm", k.yearComm) &&
           ini.WriteString("general", "model", k.model) &&
           ini.WriteString("loco physics", "mass", k.mass) &&
           ini.WriteString("loco physics", "maxTraction", k.maxTraction) &&
           ini.WriteString("loco physics", "maxIndBrk", k.maxIndBrk) &&
           ini.WriteString("loco physics", "power_hp", k.powerHp) &&
           ini.WriteString("loco physics", "numAxles", k.numAxles) &&
           ini.WriteString("loco physics", "brake_type", k.brakeType);
}

std::string TractionModelBase(const std::string& model)
{
    return TractionBase(SimRoot(), model);
}

std::string ModelNameOfFile(const std::string& path)
{
    return QFileInfo(QString::fromLocal8Bit(path.c_str())).completeBaseName().toStdString();
}

std::string SelectTractionFile()
{
    const std::string folder = plat_path_resolve(SimRoot() + "\\traction\\");
    // Qt's own dialog matches the pattern without regard to case, so "*.INI" files show too.
    const QString file = QFileDialog::getOpenFileName(
        VaruRor, "Select traction INI file.", QString::fromLocal8Bit(folder.c_str()),
        "traction files (*.ini)", nullptr, QFileDialog::DontUseNativeDialog);
    return file.isEmpty() ? std::string() : ModelNameOfFile(file.toLocal8Bit().toStdString());
}

bool ReadTractionIni(const std::string& iniPath)
{
    const TIniFile ini(iniPath);
    TTractionSettings s;
    if (!ReadTractionSettings(ini, &s))
        return false;
    if (VaruRor) {
        VaruRor->ThreeDPanel->setGeometry(s.left, s.top, s.width, s.height);
        VaruRor->InfoBoxLabel1->setGeometry(s.left + s.width + 20, s.top, 120, s.height);
    }
    std::lock_guard guard(SimLock);
    EpBrake = s.brakeType == "ep";
    TractionType = TractionTypeCode(s.tractionType, TractionType);
    SoundRunFile = s.runSound;
    return true;
}

bool WriteCabLayoutKey(const std::string& iniPath, const std::string& key, const std::string& value)
{
    if (!plat_file_exists(iniPath)) {
        ShowMessage(iniPath + "\r" + kFileNotFound);
        return false;
    }
    TIniFile ini(iniPath);
    if (!ini.WriteString("cab layout", key, value)) {
        ShowMessage(iniPath + "\r" + "Error: cannot write the file.");
        return false;
    }
    return true;
}

void SaveItemPosition(const std::string& key, int left, int top)
{
    std::string base;
    {
        std::lock_guard guard(SimLock);
        base = SimState.paths.traction;
    }
    const std::string iniPath = base + ".ini";
    const std::string value = TIniFile(iniPath).ReadString("cab layout", key, "NULL");
    if (value == "NULL")
        return;
    const std::string stem = value.substr(0, value.find(','));
    WriteCabLayoutKey(iniPath, key,
                      stem + ", " + std::to_string(top) + ":" + std::to_string(left));
}

void WriteItemBitmapName(const std::string& itemName, const std::string& imageName)
{
    TIniFile list(CabItemList());
    if (!list.WriteString("filenames", itemName, imageName))
        ShowMessage(CabItemList() + "\r" + "Error: cannot write the file.");
}

std::string ReadItemBitmapName(const std::string& itemName)
{
    return TIniFile(CabItemList()).ReadString("filenames", itemName, "default");
}

bool LoadCabItem(const std::string& typeWord, int n)
{
    std::string base;
    {
        std::lock_guard guard(SimLock);
        base = SimState.paths.traction;
    }
    return LoadCabItem(TIniFile(base + ".ini"), typeWord, n);
}

void LoadCabLayout(const std::string& iniPath)
{
    if (!plat_file_exists(iniPath))
        return;
    CabItems.leverCount = CabItems.gaugeCount = CabItems.pushCount = CabItems.toggleCount =
        CabItems.lightCount = 0;
    const TIniFile ini(iniPath);
    bool abandoned = false;
    for (const char* type : {"control", "gauge", "swpush", "swtogg", "light"}) {
        for (int n = 1; LoadCabItem(ini, type, n, &abandoned); ++n) {
        }
        if (abandoned)
            return;
    }
    LoadCabClock(ini);
}

void LoadCabClock(const TIniFile& ini)
{
    const std::string value = ini.ReadString("cab layout", "clock", "NULL");
    if (value == "NULL")
        return;
    TCabItemValue place;
    if (!ParseCabItemValue(value, &place))
        return;
    if (place.stem != "digital") {
        if (!AnalogClock)
            AnalogClock = new TClock(CabParent());
        AnalogClock->setGeometry(place.left, place.top, 60, 60);
        AnalogClock->SetClkArrowColor(Qt::white);
        AnalogClock->SetClkFaceColor(Qt::black);
        AnalogClock->SetDisplayTime(SimTime());
        AnalogClock->setObjectName("analog_clock");
        AnalogClock->show();
        if (DigitalClock)
            DigitalClock->hide();
        DigitalShown = false;
    } else {
        if (!DigitalClock)
            DigitalClock = new QLabel(CabParent());
        DigitalClock->move(place.left, place.top);
        DigitalClock->setStyleSheet("color: yellow; background-color: black;");
        DigitalClock->setAutoFillBackground(true);
        DigitalClock->setText(QString::fromLatin1(SimClockText()));
        DigitalClock->adjustSize();
        DigitalClock->setObjectName("digital_clock");
        DigitalClock->show();
        delete AnalogClock.data();
        DigitalShown = true;
    }
}

std::string SimClockText()
{
    return SimTime().toString("hh:mm:ss").toStdString();
}

void ShowSimClock()
{
    if (DigitalShown && DigitalClock)
        DigitalClock->setText(QString::fromLatin1(SimClockText()));
    else if (AnalogClock)
        AnalogClock->SetDisplayTime(SimTime());
}

void LoadTractionModel(const std::string& requested)
{
    FreeCabItems();
    if (VaruRor)
        VaruRor->cab_bkgd->setPixmap(QPixmap());

    const std::string model = requested.empty() ? kDefaultTractionModel : requested;
    const std::string base = TractionModelBase(model);
    {
        std::lock_guard guard(SimLock);
        SimState.paths.traction = base;
        SimState.tractionModel = model;
    }
    LoadedModel = requested;
    LoadedInto = CabParent();

    bool picture = false;
    bool iniRead = true;
    if (plat_file_exists(base + "-cab.jpg")) {
        std::string error;
        const QImage image = LoadJpegFile(base + "-cab.jpg", &error);
        if (image.isNull()) {
            ShowMessage(error);
        } else {
            picture = true;
            if (VaruRor) {
                VaruRor->cab_bkgd->setAlignment(Qt::AlignLeft | Qt::AlignTop);
                VaruRor->cab_bkgd->setPixmap(QPixmap::fromImage(image));
            }
            // A bad number abandons the load: no items, so the model shows as in error.
            iniRead = ReadTractionIni(base + ".ini");
            if (iniRead) {
                SetCaption(model + ": Ready");
                SetPanelText("Select 'Start Sim' from the File menu");
            }
        }
    }
    if (iniRead)
        LoadCabLayout(base + ".ini");
    if (!picture || CabItems.leverCount == 0) {
        SetCaption(model + ": ERROR!");
        SetPanelText("Error: check '" + model + "' in the traction folder");
    }
}

const std::string& LoadedTractionModel()
{
    return LoadedModel;
}

void SetInitialLevers()
{
    std::lock_guard guard(SimLock);
    if (BoundLever(Physics.throttle)) {
        if (TractionType == ttSUB) {
            SetLever(Physics.throttle, 5, 4);
        } else {
            SetLever(Physics.throttle, 1, 0);
            SetLever(AutoBrake, 1, 0);
        }
    }
    SetLever(Physics.reverser, 1, 0);
}

std::string TractionTypeLabel()
{
    static const char* const labels[] = {"Diesel-Electric", "Electric Loco", "DMU", "EMU",
                                         "Steam Loco",      "Subway/LRV",    "HST"};
    std::lock_guard guard(SimLock);
    return TractionType >= ttDEL && TractionType <= ttHST ? labels[TractionType] : "";
}

void SetupDriveMode()
{
    LeaveEditorMode();
    std::string model;
    bool leavingEditor;
    {
        std::lock_guard guard(SimLock);
        leavingEditor = SimState.editorMode;
        SimState.editorMode = false;
        if (Consist.count > 0)
            model = Consist.recs[0].name;
        SimState.paths.traction = TractionBase(SimState.paths.root,
                                               model.empty() ? kDefaultTractionModel : model);
        Physics.cleanliness = kRailDirty;
        SimState.soundOn = SoundAvailable;
        PhysicsInit();
    }
    if (VaruRor) {
        VaruRor->Button1->hide();
        VaruRor->CIT_menu->menuAction()->setEnabled(false);
        VaruRor->LoadSituation1->setEnabled(true);
        VaruRor->NewSituation2->setEnabled(true);
        VaruRor->SelectTrain1->setEnabled(true);
    }
    // After the editor the model is loaded afresh: its INI file may have changed, and the
    // caption and panel show drive mode again.
    if (leavingEditor || !LoadedInto || LoadedInto != CabParent() || model != LoadedModel)
        LoadTractionModel(model);
    {
        std::lock_guard guard(SimLock);
        SimState.tractionModel = model.empty() ? kDefaultTractionModel : model;
    }
    RefreshInfoBox();
    SetInitialLevers();
}

void ShowPhysicsForm()
{
    std::string base;
    {
        std::lock_guard guard(SimLock);
        base = SimState.paths.traction;
    }
    const std::string iniPath = base + ".ini";
    if (base.empty()) {
        ShowMessage(iniPath + "\r" + kFileNotFound);
        return;
    }
    // A missing file shows the defaults and is made on OK.
    TIniFile ini(iniPath);
    TPhysEditForm form(VaruRor);
    form.setWindowTitle("Edit: physics values");
    form.FillPhysEditForm(ReadPhysicsKeys(ini));
    if (form.exec() != QDialog::Accepted)
        return;
    if (!WritePhysicsKeys(ini, form.Keys()))
        ShowMessage(iniPath + "\r" + "Error: cannot write the file.");
}
