// Calls into units that are not built in yet: they do nothing and report nothing.
#include "sim_hooks.h"

void ShowSelForm() {}
void ShowSel2Form() {}
void SaveSituation(const std::string&) {}

void ShowTimeForm() {}
void ShowOptionsForm() {}

void ShowCabItemBrowser() {}
void EditSelectedCabItem() {}

void LoadWorld3D(QWidget*) {}
void LoadRouteSurvey() {}
void PlaceTrainAndScenery(int) {}
void JumpToSegment(int) {}
int SegmentCount() { return 0; }
void FollowTrack() {}
void PlaceCamera() {}
TTrackReadout TrackReadout() { return {}; }

void RenderThreeDPanel() {}
void SetCameraZoom() {}
void Switch3DCardOff() {}
void CloseEngine() {}
