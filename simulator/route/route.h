// Unit Drovik3D's route: the survey's track segments, following them, the scenery ring and the
// camera. World units: 50 to the metre, z up; compass headings clockwise from +y.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "drovik.h"

namespace Drovik3D {

inline constexpr int kMaxSegments = 5001;
inline constexpr int kMaxSurveyPoints = kMaxSegments + 1;
inline constexpr int kMinSurveyPoints = 8;
inline constexpr int kMaxLandmarks = 50;
inline constexpr int kNameLength = 16;

struct TPoint3 {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

struct TScenerySpot {
    TPoint3 point;
    float heading = 0.0f;
};

struct TTrackSegment {
    int32_t index = 0;
    TPoint3 start;
    std::string name;
    std::string landmark;  // up to 16 characters, "" when none
    float routeKm = 0.0f;  // from the route start to this segment's start
    int32_t forwardKind = 1, forwardNext = 0, forwardAlt1 = 0, forwardAlt2 = 0;
    int32_t backwardKind = 1, backwardNext = 0, backwardAlt1 = 0, backwardAlt2 = 0;
    TScenerySpot spots[5];  // 0: the start and the segment's heading; 1-3 beside the line; 4: the start
};

// The segment the train is on; `segment.start` holds the train's position.
struct TCurrentSegment {
    TTrackSegment segment;
    int next = 0;
    TPoint3 start, end, vector;
    double length = 0.0;
    double rise = 0.0;  // |dz| / length
    int riseSign = 0;
    double along = 0.0;
    double fraction = 0.0;
    int direction = 1;  // +1 forward, -1 backward
    int count = 0;      // segments of the route
    bool endOfRoute = false;
};

struct TPlacement {
    DROVIK_HANDLE object = nullptr;
    double heading = 0.0;  // last applied to the object
};

struct TLandmarkRec {
    std::string name;
    double offset = 0.0;  // metres to the right of the line
    TPlacement place;
};

// The route's whole state; every operation runs under SimLock.
struct TRouteState {
    std::vector<TTrackSegment> segments;
    TCurrentSegment current;
    std::vector<TLandmarkRec> landmarks;
    TPlacement ring[6][6];  // slot k, kind: track, tree, house, palm, grass
    int nextScenerySegment = 0;
    int slotToRecycle = 5;
    double targetHead = 0.0;
    double currentHead = 0.0;
    bool worldObjects = true;  // false when no world is loaded: objects are not looked up
};

TRouteState& Route();

// Reads root "\routes\landmarks.txt", the survey and the track profile; false with a message
// naming the file when one is missing, unreadable, too short or too long.
bool LoadRouteSurvey(const std::string& root, std::string* error);
bool LoadLandmarks(const std::string& root, std::string* error);
// Builds segments from survey points as read (repeated consecutive points dropped) and profile
// lines "km name"; false with a message for too few or too many points.
bool BuildRoute(std::vector<TPoint3> points, const std::vector<std::pair<double, std::string>>& profile,
                const std::string& surveyName, std::string* error);

int NextSegmentIndex(int index);
void LoadSegment(int index);
void ReverseDirection();
// One tick: `stepMetres` run since the last; `reverse` asks to turn round first.
void FollowTrack(double stepMetres, bool reverse);

float SegmentHeading(const TPoint3& start, const TPoint3& end, double length);
TPoint3 PointAlongHeading(const TPoint3& p, double distance, double heading);
TScenerySpot RandomScenerySpot(const TScenerySpot& spot0);
std::string FindSlotObjects(int slot, int kind);
void PlaceSceneryObject(TPlacement& rec, const TScenerySpot& spot);
void PlaceLandmark(const std::string& name, const TScenerySpot& spot0);
double EngineHeading(int index);

void InitCamera(DROVIK_HANDLE camera);
// Loads the start segment and dresses six slots of scenery ahead; false for a start off the loop.
bool PlaceTrainAndScenery(int start, bool view3D, DROVIK_HANDLE camera);
void RecycleScenery();
// False for a segment off the loop.
bool JumpToSegment(int n);
void PlaceCamera(DROVIK_HANDLE camera);

}  // namespace Drovik3D
