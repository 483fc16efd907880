// Cab items: levers, gauges, switches and lights on the cab picture, bound to simulation slots.
#include "cab/cab_items.h"

#include <QLabel>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <mutex>
#include <random>
#include <utility>

#include "app/ini_file.h"
#include "app/integer_text.h"
#include "app/main_window.h"
#include "app/qt_message_box.h"
#include "app/sim_state.h"
#include "app/sound_fx.h"
#include "cab/cab_item_files.h"
#include "cab/traction_model.h"
#include "platform/msgbox.h"
#include "platform/numbers.h"
#include "platform/paths.h"
#include "train/brake.h"
#include "train/physics.h"

TCabItems CabItems;
int TractionType = ttELE;
TSimSlot Horn;

namespace {

// Light colours as (lit, unlit) pairs.
constexpr std::pair<TColor, TColor> kLightPairs[] = {{0x0000FF, 0x000080},
                                                     {0x00FFFF, 0x008080},
                                                     {0x008000, 0x00FF00},
                                                     {0xFF0000, 0x800000},
                                                     {0xFFFFFF, 0x808080}};

std::mt19937 LineVoltRandom{std::random_device{}()};

// The variables, each with the function names that bind it.
struct TBinding {
    const char* function;
    TSimSlot* slot;
};

const std::array<TBinding, 18>& Bindings()
{
    static const std::array<TBinding, 18> table = {{
        {"throttle-brake", &Physics.throttle},
        {"throttle", &Physics.throttle},
        {"controller", &Physics.throttle},
        {"reverser", &Physics.reverser},
        {"autobrake", &AutoBrake},
        {"indbrake", &IndBrake},
        {"speed", &Physics.speed},
        {"wheelslip", &Physics.wheelslip},
        {"motorAmp", &Physics.motorAmp},
        {"BPpress", &Brake.BP},
        {"BCpress", &Brake.BC},
        {"ERpress", &Brake.ER},
        {"MRpress", &Brake.MR},
        {"BPflow", &Brake.FLOW},
        {"horn", &Horn},
        {"sander", &Physics.sander},
        {"brakeAmp", &BrakeAmp},
        {"lineVolt", &Physics.lineVolt},
    }};
    return table;
}

// The item number of a binding ("g3" -> 3, "c10" -> 10); 0 when it has none.
int ItemNumber(const std::string& name)
{
    long n = 0;
    if (name.size() < 2 || !plat_parse_int(std::string_view(name).substr(1), &n) || n < 1 ||
        n > kMaxCabItems)
        return 0;
    return int(n);
}

template <class T>
T* Item(const std::array<T*, kMaxCabItems>& items, int n)
{
    return n >= 1 && n <= kMaxCabItems ? items[size_t(n - 1)] : nullptr;
}

void SetValve(int position)
{
    BrakeValve = position;
}

void SetService(double reduction)
{
    BrakeValve = bvService;
    Brake.reduction = reduction;
}

double RandomLineVolt()
{
    return std::normal_distribution<double>(25.0, 1.0)(LineVoltRandom);
}

// Reads a slot from its item; true when a lever or switch supplied the value.
bool ReadSlot(TSimSlot& slot)
{
    UpdateSimSlot(slot);
    const int n = ItemNumber(slot.name);
    switch (n == 0 ? 0 : slot.name[0]) {
    case 'c': return Item(CabItems.levers, n) != nullptr;
    case 'p': return Item(CabItems.pushSwitches, n) != nullptr;
    case 't': return Item(CabItems.toggleSwitches, n) != nullptr;
    default: return false;
    }
}

// The automatic brake handle's positions 1-6 for the automatic air brake.
void MapAutoBrakeHandle()
{
    switch (PhysRound(AutoBrake.value)) {
    case 1: SetValve(bvRelease); break;
    case 2: SetValve(bvRunning); break;
    case 3: SetValve(bvLap); break;
    case 4: SetService(10); break;
    case 5: SetService(25); break;
    case 6: SetValve(bvEmergency); break;
    default: break;
    }
}

// True when the item's function binds the slot.
bool BindsTo(const QWidget* item, const TSimSlot& slot)
{
    return item && SimSlotByFunction(item->toolTip().toLatin1().toStdString()) == &slot;
}

// A shown variable shows on its bound item and on every other gauge and light of its function:
// the slot names only the one bound last.
void ShowOnEveryItem(const TSimSlot& slot)
{
    const int n = ItemNumber(slot.name);
    TQuorrGauge* boundGauge = slot.name[0] == 'g' ? Item(CabItems.gauges, n) : nullptr;
    TShape* boundLight = slot.name[0] == 'l' ? Item(CabItems.lights, n) : nullptr;
    for (TQuorrGauge* gauge : CabItems.gauges)
        if (gauge && (gauge == boundGauge || BindsTo(gauge, slot)))
            gauge->SetProgress(PhysRound(slot.value));
    for (TShape* light : CabItems.lights)
        if (light && (light == boundLight || BindsTo(light, slot)))
            SetLightItem(light, slot.value);
}

template <class T>
void Place(T* item, const TCabItemValue& place, const std::string& name)
{
    item->move(place.left, place.top);
    item->setObjectName(QString::fromLatin1(name));
    item->setToolTip(QString::fromLatin1(place.function));
    // Shown unless its file hid it.
    const bool hiddenByFile =
        item->testAttribute(Qt::WA_WState_ExplicitShowHide) && item->isHidden();
    if (item->parentWidget() && !hiddenByFile)
        item->show();
}

template <class T, class Read>
T* ReadItem(const CitFile& file, const std::string& path, Read read)
{
    return ReadItemControl<T>(file, path, read, CabParent());
}

// Puts item n (null when its file failed) in place of any earlier one, counts it and binds its
// function to the variable prefix + n.
template <class T>
bool Install(T* item, std::array<T*, kMaxCabItems>& items, int& count, int n,
             const TCabItemValue& place, const std::string& name, const char* prefix)
{
    if (!item)
        return false;
    delete items[size_t(n - 1)];
    items[size_t(n - 1)] = item;
    Place(item, place, name);
    count = std::max(count, n);
    BindSimVariable(place.function, prefix + std::to_string(n));
    return true;
}

template <class T>
void FreeAll(std::array<T*, kMaxCabItems>& items, int& count)
{
    for (T*& item : items) {
        delete item;
        item = nullptr;
    }
    count = 0;
}

}  // namespace

QWidget* CabParent()
{
    return VaruRor ? VaruRor->cab_bkgd : nullptr;
}

bool ParseCabItemValue(const std::string& full, TCabItemValue* out)
{
    const std::string value = full.substr(0, kMaxValueLength);
    TCabItemValue v;
    const size_t comma = value.find(',');
    v.stem = value.substr(0, comma);
    const size_t dot = v.stem.find('.');
    if (dot != std::string::npos)
        v.function = v.stem.substr(dot + 1);
    std::string top, left;
    const size_t gap = value.find(", ");
    if (gap != std::string::npos) {
        const size_t colon = value.find(':', gap + 2);
        top = value.substr(gap + 2, colon == std::string::npos ? colon : colon - gap - 2);
        if (colon != std::string::npos)
            left = value.substr(colon + 1);
    }
    std::string error;
    for (auto [text, field] : {std::pair{&top, &v.top}, std::pair{&left, &v.left}}) {
        if (!IntegerText(*text, -32768, 32767, field, &error)) {
            ShowMessage(error);
            return false;
        }
    }
    *out = std::move(v);
    return true;
}

bool BindSimVariable(const std::string& functionName, const std::string& itemName)
{
    std::lock_guard guard(SimLock);
    bool matched = false;
    for (const TBinding& b : Bindings()) {
        if (functionName == b.function) {
            b.slot->name = itemName.substr(0, 4);
            matched = true;
        }
    }
    return matched;
}

TSimSlot* SimSlotByFunction(const std::string& functionName)
{
    for (const TBinding& b : Bindings())
        if (functionName == b.function)
            return b.slot;
    return nullptr;
}

void ClearLeverBindings()
{
    std::lock_guard guard(SimLock);
    Physics.throttle.name.clear();
    AutoBrake.name.clear();
    Physics.reverser.name.clear();
}

void UpdateSimSlot(TSimSlot& slot)
{
    const int n = ItemNumber(slot.name);
    if (n == 0)
        return;
    switch (slot.name[0]) {
    case 'c':
        if (TvexaTracker* lever = Item(CabItems.levers, n))
            slot.value = lever->Value();
        break;
    case 'p':
        if (TBitBtn* button = Item(CabItems.pushSwitches, n))
            slot.value = button->Tag();
        break;
    case 't':
        if (TSpeedButton* button = Item(CabItems.toggleSwitches, n))
            slot.value = button->Down() ? 1.0 : 0.0;
        break;
    case 'g':
    case 'l': ShowOnEveryItem(slot); break;
    default: break;
    }
}

TvexaTracker* BoundLever(const TSimSlot& slot)
{
    if (slot.name.empty() || slot.name[0] != 'c')
        return nullptr;
    return Item(CabItems.levers, ItemNumber(slot.name));
}

void SetLightItem(TShape* light, double value)
{
    const int on = PhysRound(value);
    for (const auto& [lit, unlit] : kLightPairs) {
        if (on == 0 && light->BrushColor() == lit) {
            light->SetBrushColor(unlit);
            return;
        }
        if (on == 1 && light->BrushColor() == unlit) {
            light->SetBrushColor(lit);
            return;
        }
    }
}

void MapThrottleBrakeLever()
{
    const double x = 8.0 - Physics.throttle.value;
    if (x >= 0) {
        Physics.throttle.value = 0.0;
        DynBrakeLevel.value = x;
    } else {
        Physics.throttle.value = std::fabs(x);
        DynBrakeLevel.value = 0.0;
    }
}

void MapSubwayLever()
{
    const double x = 4.0 - Physics.throttle.value;
    if (x >= 0) {
        static constexpr double notches[] = {0, 2, 4, 8};
        const int step = PhysRound(x);
        if (step >= 0 && step <= 3)
            Physics.throttle.value = notches[step];
        AutoBrake.value = 0.0;
    } else {
        Physics.throttle.value = 0.0;
        AutoBrake.value = std::fabs(x);
    }
    DynBrakeLevel.value = 2.0 * AutoBrake.value;
    IndBrake.value = 0.0;
}

void MapReverser()
{
    if (Physics.moving != 0)
        return;
    switch (PhysRound(Physics.reverser.value)) {
    case 1: Physics.direction.value = 1.0; break;
    case 2: Physics.direction.value = 0.0; break;
    case 3: Physics.direction.value = -1.0; break;
    default: break;
    }
}

void UpdateCabItems()
{
    TPhysics& p = Physics;
    UpdateSimSlot(p.reverser);
    MapReverser();
    for (TSimSlot* slot : {&AutoBrake, &Brake.BP, &p.speed, &p.sander, &Horn})
        UpdateSimSlot(*slot);
    if (Horn.value == 1.0) {
        Horn.value = 0.0;
        if (SimState.soundOn)
            SoundHorn();
    }

    switch (TractionType) {
    // The throttle maps work on a value read from the lever: without one they would
    // change the notch again every second.
    case ttDEL:
        if (ReadSlot(p.throttle))
            p.throttle.value -= 1.0;
        for (TSimSlot* slot : {&IndBrake, &p.motorAmp, &p.wheelslip, &Brake.FLOW, &Brake.ER,
                               &Brake.BC})
            UpdateSimSlot(*slot);
        break;
    case ttELE:
        if (ReadSlot(p.throttle))
            MapThrottleBrakeLever();
        UpdateSimSlot(IndBrake);
        UpdateSimSlot(p.motorAmp);
        p.lineVolt.value = RandomLineVolt();
        for (TSimSlot* slot : {&p.lineVolt, &p.wheelslip, &Brake.FLOW, &Brake.ER, &Brake.BC})
            UpdateSimSlot(*slot);
        break;
    case ttSUB: {
        if (ReadSlot(p.throttle))
            MapSubwayLever();
        for (TSimSlot* slot : {&p.wheelslip, &Brake.ER, &Brake.BC})
            UpdateSimSlot(*slot);
        p.motorAmp.value /= 6.0;
        UpdateSimSlot(p.motorAmp);
        UpdateSimSlot(BrakeAmp);
        p.lineVolt.value = RandomLineVolt();
        UpdateSimSlot(p.lineVolt);
        static constexpr double reductions[] = {5, 10, 15, 25};
        const int handle = PhysRound(AutoBrake.value);
        if (handle == 0)
            SetValve(bvRelease);
        else if (handle >= 1 && handle <= 4)
            SetService(reductions[handle - 1]);
        break;
    }
    case ttHST: {
        if (ReadSlot(p.throttle))
            p.throttle.value -= 1.0;
        for (TSimSlot* slot : {&p.wheelslip, &Brake.BP, &Brake.BC, &Brake.MR, &p.motorAmp})
            UpdateSimSlot(*slot);
        static constexpr double reductions[] = {3, 6, 10, 14, 18, 22, 25};
        const int step = PhysRound(AutoBrake.value - 1.0);
        if (step == 0)
            SetValve(bvRelease);
        else if (step >= 1 && step <= 7)
            SetService(reductions[step - 1]);
        break;
    }
    default: break;
    }

    if (!EpBrake)
        MapAutoBrakeHandle();
}

bool CabItemNumberAllowed(const std::string& key, int n)
{
    if (n >= 1 && n <= kMaxCabItems)
        return true;
    ShowMessage("Cab item " + key + " not loaded: at most " + std::to_string(kMaxCabItems) +
                " items of a type.");
    return false;
}

bool LoadCabItem(const TIniFile& ini, const std::string& typeWord, int n, bool* abandoned)
{
    const std::string key = typeWord + std::to_string(n);
    const std::string value = ini.ReadString("cab layout", key, "NULL.NULL, 0:0");
    if (value == "NULL.NULL, 0:0")
        return false;
    if (!CabItemNumberAllowed(key, n))
        return false;
    TCabItemValue place;
    if (!ParseCabItemValue(value, &place)) {
        if (abandoned)
            *abandoned = true;
        return false;
    }
    const std::string path = SimRoot() + "\\cab items\\" + place.stem + ".cit";
    if (!plat_file_exists(path)) {
        ShowMessage(std::string(kCitNotFound) + "\r\" " + path + " \"");
        return false;
    }
    CitFile file;
    try {
        file = cit_read_file(plat_path_resolve(path));
    } catch (const CitError& e) {
        ShowMessage(e.what());
        return false;
    }

    if (typeWord == "control") {
        const size_t index = size_t(n - 1);
        TImageList images;
        auto* lever = ReadItem<TvexaTracker>(
            file, path, [&](const CitFile& f, TvexaTracker& t) { ReadLeverItem(f, t, images); });
        if (!lever)
            return false;
        delete CabItems.levers[index];
        CabItems.levers[index] = lever;
        CabItems.leverImages[index] = std::move(images);
        Place(lever, place, key);
        CabItems.leverCount = std::max(CabItems.leverCount, n);
        lever->SetOnChangedValue(LeverChanged);
        ShowLeverFrame(n, 0);
        lever->setAttribute(Qt::WA_OpaquePaintEvent);
        BindSimVariable(place.function, "c" + std::to_string(n));
    } else if (typeWord == "gauge") {
        return Install(ReadItem<TQuorrGauge>(file, path, ReadGaugeItem), CabItems.gauges,
                       CabItems.gaugeCount, n, place, key, "g");
    } else if (typeWord == "swpush") {
        return Install(ReadItem<TBitBtn>(file, path, ReadPushSwitchItem), CabItems.pushSwitches,
                       CabItems.pushCount, n, place, key, "p");
    } else if (typeWord == "swtogg") {
        return Install(ReadItem<TSpeedButton>(file, path, ReadToggleSwitchItem),
                       CabItems.toggleSwitches, CabItems.toggleCount, n, place, key, "t");
    } else if (typeWord == "light") {
        return Install(ReadItem<TShape>(file, path, ReadLightItem), CabItems.lights,
                       CabItems.lightCount, n, place, key, "l");
    }
    return true;
}

bool LoadLeverImages(int n, const std::string& imageName)
{
    if (n < 1 || n > kMaxCabItems || !CabItems.levers[size_t(n - 1)])
        return false;
    const TvexaTracker* lever = CabItems.levers[size_t(n - 1)];
    TImageList list;
    const int64_t count = int64_t(lever->Maximum()) - lever->Minimum() + 1;
    const std::string folder = SimRoot() + "\\cab items\\images\\";
    for (int64_t k = 1; k <= count; ++k) {
        const std::string path = plat_path_resolve(folder + imageName + std::to_string(k) + ".bmp");
        QImage frame;
        if (!path.empty())
            frame.load(QString::fromLocal8Bit(path.c_str()), "BMP");
        if (frame.isNull()) {
            ShowMessage(kImageListNotFound + imageName + std::to_string(k));
            return false;
        }
        list.width = frame.width();
        list.height = frame.height();
        list.frames.push_back(frame.convertToFormat(QImage::Format_RGB32));
    }
    CabItems.leverImages[size_t(n - 1)] = std::move(list);
    return true;
}

bool SaveControlItem(const std::string& path, int n)
{
    if (n < 1 || n > kMaxCabItems || !CabItems.levers[size_t(n - 1)])
        return false;
    return SaveCabItemFile(path, LeverItemFile(*CabItems.levers[size_t(n - 1)],
                                               CabItems.leverImages[size_t(n - 1)]));
}

bool SaveCabItemFile(const std::string& path, const CitFile& file)
{
    try {
        cit_write_file(plat_path_resolve_for_write(path), file);
    } catch (const CitError& e) {
        ShowMessage(e.what());
        return false;
    }
    return true;
}

void ShowLeverFrame(int n, int frame)
{
    if (n < 1 || n > kMaxCabItems || !CabItems.levers[size_t(n - 1)])
        return;
    const TImageList& list = CabItems.leverImages[size_t(n - 1)];
    if (list.frames.empty())
        return;
    const QImage& picture = list.frames[size_t(std::clamp(frame, 0, int(list.frames.size()) - 1))];
    TvexaTracker* lever = CabItems.levers[size_t(n - 1)];
    QImage back = lever->BackBitmap();
    if (back.isNull()) {
        back = picture;
    } else {
        back = back.convertToFormat(QImage::Format_RGB32);
        QPainter painter(&back);
        painter.drawImage(0, 0, picture);
    }
    lever->SetBackBitmap(back);
}

void LeverChanged(TvexaTracker* sender, int newValue)
{
    // Frames below 0 show frame 0 anyway; value - 1 would overflow at INT_MIN.
    const int frame = newValue > 0 ? newValue - 1 : 0;
    for (int n = 1; n <= kMaxCabItems; ++n)
        if (CabItems.levers[size_t(n - 1)] == sender)
            ShowLeverFrame(n, frame);
}

void CycleTestLights()
{
    for (TShape* light : CabItems.lights) {
        if (!light || light->isHidden())
            continue;
        for (const auto& [lit, unlit] : kLightPairs) {
            if (light->BrushColor() == lit) {
                light->SetBrushColor(unlit);
                break;
            }
            if (light->BrushColor() == unlit) {
                light->SetBrushColor(lit);
                break;
            }
        }
    }
}

void FreeCabItems()
{
    FreeAll(CabItems.levers, CabItems.leverCount);
    FreeAll(CabItems.gauges, CabItems.gaugeCount);
    FreeAll(CabItems.pushSwitches, CabItems.pushCount);
    FreeAll(CabItems.toggleSwitches, CabItems.toggleCount);
    FreeAll(CabItems.lights, CabItems.lightCount);
    for (TImageList& list : CabItems.leverImages)
        list = TImageList{};
    ClearLeverBindings();
}
