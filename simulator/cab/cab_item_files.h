// Cab item files: the streamed components of a ".cit" file read into cab controls and back.
#pragma once
#include "cab/cab_controls.h"
#include "cab/cit_stream.h"
#include "cab/gauge.h"
#include "cab/trackbar.h"

// Entry names of the item kinds.
inline constexpr const char* kLeverEntry = "TBAR";
inline constexpr const char* kImageListEntry = "IMGL";
inline constexpr const char* kGaugeEntry = "TQUORRGAUGE";
inline constexpr const char* kPushSwitchEntry = "TBITBTN";
inline constexpr const char* kToggleSwitchEntry = "TSPEEDBUTTON";
inline constexpr const char* kLightEntry = "TSHAPE";

// Each reader sets the control's size, position, visibility, hint and own properties from the
// item's entry; properties the file lacks keep the control's values. A missing entry or a
// value of the wrong kind throws CitError. A lever without an "IMGL" entry gets no frames.
void ReadLeverItem(const CitFile& file, TvexaTracker& lever, TImageList& images);
void ReadGaugeItem(const CitFile& file, TQuorrGauge& gauge);
void ReadPushSwitchItem(const CitFile& file, TBitBtn& button);
void ReadToggleSwitchItem(const CitFile& file, TSpeedButton& button);
void ReadLightItem(const CitFile& file, TShape& light);

// The item's file contents; the component is named "cit".
CitFile LeverItemFile(const TvexaTracker& lever, const TImageList& images);
CitFile GaugeItemFile(const TQuorrGauge& gauge);
CitFile PushSwitchItemFile(const TBitBtn& button);
CitFile ToggleSwitchItemFile(const TSpeedButton& button);
CitFile LightItemFile(const TShape& light);
