// Calls from the main window and the tick into the units that own them, each in its place in
// the calling order. The tick calls its hooks holding SimLock; the GUI handlers call theirs
// without it, so a hook that shows a dialog takes SimLock itself only around the simulation
// variables.
#pragma once
#include <string>

#include "app/sim_space.h"  // first screen and situations

class QWidget;

// Traction model and cab layout.
void SetupDriveMode();         // leave editor mode, reset physics, load model, cab and items
void EnterEditorMode();        // the cab layout editor
void ShowPhysicsForm();        // edits the traction model's physics keys
std::string TractionTypeLabel();

// Timetable and options windows.
void ShowTimeForm();
void ShowOptionsForm();

// Cab items.
void UpdateCabItems();      // once a second: exchange every bound variable with its item
void ShowSimClock();        // the simulated clock on the digital or analogue clock item
void CycleTestLights();     // swaps every visible light's colour within its pair
void ShowCabItemBrowser();  // "Cab Items" / "Insert . . ."
void EditSelectedCabItem(); // "Cab Items" / "Edit . . ."

// 3D view, route and track following.
// Called under SimLock with messages held: the warnings show once the lock is released.
void LoadWorld3D(QWidget* panel);  // on failure the 3D view and card flags go off
bool LoadRouteSurvey();            // false after its message: the start stops
bool PlaceTrainAndScenery(int start);  // false after its message for a start off the loop
void JumpToSegment(int n);
int SegmentCount();
int CurrentSegment();  // the segment the train is on; the start segment until a route runs
void FollowTrack();
void PlaceCamera();

// Where the train is, for the information box.
struct TTrackReadout {
    double routeKm = 0.0;  // the current segment's route kilometre
    double x = 0.0;        // the train's position, engine units
    double y = 0.0;
    double heading = 0.0;  // the segment's compass heading
};
TTrackReadout TrackReadout();

// Engine calls of the 3D view.
void RenderThreeDPanel();  // renders the world into the 3D panel from the camera
void SetCameraZoom();      // sends the stored zoom to the camera
void Switch3DCardOff();
void CloseEngine();
