// Traction models: the traction INI file, the cab picture and layout, drive mode.
#pragma once
#include <string>

#include "app/sim_hooks.h"

class TIniFile;

// The model loaded when a train names none.
inline constexpr const char* kDefaultTractionModel = "RE-RUZ125";
inline constexpr const char* kDefaultRunSound = "diesel_idle.wav";
inline constexpr const char* kFileNotFound = "Error: file not found.";

// Sound can be switched on: the sound library started and no start of the sounds has failed
// since. Drive mode switches sound on only when this is set.
extern bool SoundAvailable;

// The traction INI file's settings, with the defaults for missing keys.
struct TTractionSettings {
    int top = 10;  // the 3D window on the cab picture
    int left = 10;
    int height = 100;
    int width = 200;
    std::string clock = "NULL";
    std::string brakeType = "auto";
    std::string tractionType = "ELE";
    std::string runSound = kDefaultRunSound;
};
// False, with the conversion error shown, when a 3D window field is not an integer.
bool ReadTractionSettings(const TIniFile& ini, TTractionSettings* out);

// The keys the loco physics dialog edits, with the defaults it shows for a missing key.
struct TPhysicsKeys {
    std::string tractionType = "nil";
    std::string description = "nil";
    std::string yearComm = "1900";
    std::string model = "nil";
    std::string mass = "100";
    std::string maxTraction = "200";
    std::string maxIndBrk = "200";
    std::string powerHp = "200";
    std::string numAxles = "6";
    std::string brakeType = "auto";
};
TPhysicsKeys ReadPhysicsKeys(const TIniFile& ini);
// Writes every key in the order of the dialog; false when the file cannot be written.
bool WritePhysicsKeys(TIniFile& ini, const TPhysicsKeys& keys);

// root "\traction\" model "\" model
std::string TractionModelBase(const std::string& model);
// The model name of a traction INI path (the file name without folder and extension).
std::string ModelNameOfFile(const std::string& path);

std::string SelectTractionFile();
bool ReadTractionIni(const std::string& iniPath);
bool WriteCabLayoutKey(const std::string& iniPath, const std::string& key,
                       const std::string& value);
void SaveItemPosition(const std::string& key, int left, int top);
void WriteItemBitmapName(const std::string& itemName, const std::string& imageName);
std::string ReadItemBitmapName(const std::string& itemName);
bool LoadCabItem(const std::string& typeWord, int n);
void LoadCabLayout(const std::string& iniPath);
void LoadCabClock(const TIniFile& ini);
void LoadTractionModel(const std::string& model);
void SetInitialLevers();
// The name of the model whose cab is shown ("" before the first load).
const std::string& LoadedTractionModel();
// Shows the information box's values now.
void RefreshInfoBox();
// The digital clock's text for the simulated clock.
std::string SimClockText();
