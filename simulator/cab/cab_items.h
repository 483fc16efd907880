// Cab items: levers, gauges, switches and lights on the cab picture, bound to simulation slots.
#pragma once
#include <array>
#include <cstddef>
#include <string>

#include "app/qt_message_box.h"
#include "app/sim_slot.h"
#include "cab/cab_controls.h"
#include "cab/cit_stream.h"
#include "cab/gauge.h"
#include "cab/trackbar.h"

class TIniFile;

// Items of each type are numbered 1 .. kMaxCabItems.
inline constexpr int kMaxCabItems = 10;
// A cab layout value is read up to this length.
inline constexpr size_t kMaxValueLength = 100;

// Traction type numbers; they select the lever and brake-handle maps.
enum TTractionType : int { ttDEL = 0, ttELE, ttDMU, ttEMU, ttSTE, ttSUB, ttHST };

// The loaded cab's items; index n - 1 holds item n. GUI thread only.
struct TCabItems {
    std::array<TvexaTracker*, kMaxCabItems> levers{};
    std::array<TImageList, kMaxCabItems> leverImages;
    std::array<TQuorrGauge*, kMaxCabItems> gauges{};
    std::array<TBitBtn*, kMaxCabItems> pushSwitches{};
    std::array<TSpeedButton*, kMaxCabItems> toggleSwitches{};
    std::array<TShape*, kMaxCabItems> lights{};
    int leverCount = 0;
    int gaugeCount = 0;
    int pushCount = 0;
    int toggleCount = 0;
    int lightCount = 0;
};
extern TCabItems CabItems;

// The current traction type number (ttELE until a model says otherwise); guarded by SimLock.
extern int TractionType;
// "horn": set to 1 by its push switch, played and reset once a second.
extern TSimSlot Horn;

// Messages of this unit.
inline constexpr const char* kCitNotFound = "CIT file not found: ";
inline constexpr const char* kImageListNotFound = "Cannot open imagelist file: ";

// The widget the items are placed on (the main window's cab picture); null without a window.
QWidget* CabParent();

// A cab layout value "model.function, top:left" taken apart.
struct TCabItemValue {
    std::string stem;      // before the first ","
    std::string function;  // the stem after its first "."; "" when it has none
    int top = 0;
    int left = 0;
};
// False, with a message naming the bad number, when top or left is not an integer.
bool ParseCabItemValue(const std::string& value, TCabItemValue* out);

// Stores itemName in the slot of every variable that functionName binds; true when one matched.
bool BindSimVariable(const std::string& functionName, const std::string& itemName);
// The slot a function name binds, or null.
TSimSlot* SimSlotByFunction(const std::string& functionName);
// Empties the bindings of the throttle, automatic brake and reverser.
void ClearLeverBindings();

// Exchanges one slot with its bound item.
void UpdateSimSlot(TSimSlot& slot);
// The once-a-second exchange of every bound variable, with the traction type's maps. Hold
// SimLock; GUI thread.
void UpdateCabItems();
void SetLightItem(TShape* light, double value);
void MapThrottleBrakeLever();
void MapSubwayLever();
void MapReverser();

// The lever a slot is bound to, or null.
TvexaTracker* BoundLever(const TSimSlot& slot);

// True when n lies within 1 .. kMaxCabItems; otherwise false with the message that item key
// is not loaded.
bool CabItemNumberAllowed(const std::string& key, int n);
// Reads a ".cit" file into a new control of type T with that parent; null, with a message
// naming the file, when it fails.
template <class T, class Read>
T* ReadItemControl(const CitFile& file, const std::string& path, Read read, QWidget* parent)
{
    auto* item = new T(parent);
    try {
        read(file, *item);
    } catch (const CitError& e) {
        delete item;
        ShowMessage(path + "\r" + e.what());
        return nullptr;
    }
    return item;
}

// Loads item n of a type from the traction INI file's `cab layout` key; false when the key is
// absent, its file is missing or unreadable, or n lies beyond kMaxCabItems (with a message).
// A top or left that is not an integer also sets *abandoned: the layout load stops there.
bool LoadCabItem(const TIniFile& ini, const std::string& typeWord, int n,
                 bool* abandoned = nullptr);
// Fills lever n's image list from root "\cab items\images\" imageName k ".bmp"; a missing
// frame leaves the list as it was.
bool LoadLeverImages(int n, const std::string& imageName);
// Writes lever n with its image list to path; false with a message on failure.
bool SaveControlItem(const std::string& path, int n);
// Writes a cab item file to path; false with a message on failure, the old file kept.
bool SaveCabItemFile(const std::string& path, const CitFile& file);
// Draws frame `frame` of lever n's image list onto its back bitmap, the index clamped to
// the list; nothing when the list is empty.
void ShowLeverFrame(int n, int frame);
// The levers' value-changed handler: frame newValue - 1.
void LeverChanged(TvexaTracker* sender, int newValue);
// Swaps the colour of every visible light within its pair.
void CycleTestLights();
// Frees every item, empties the arrays and clears the lever bindings.
void FreeCabItems();
