// Calls into units that are not built in yet: they do nothing and report nothing; a query
// answers what holds while its unit is not running.
#include "sim_hooks.h"

#include <mutex>

#include "sim_state.h"

void LoadWorld3D(QWidget*) {}
void LoadRouteSurvey() {}
void PlaceTrainAndScenery(int) {}
void JumpToSegment(int) {}
int SegmentCount() { return 0; }
int CurrentSegment()
{
    std::lock_guard guard(SimLock);
    return SimState.startSegment;
}
void FollowTrack() {}
void PlaceCamera() {}
TTrackReadout TrackReadout() { return {}; }

void RenderThreeDPanel() {}
void SetCameraZoom() {}
void Switch3DCardOff() {}
void CloseEngine() {}
