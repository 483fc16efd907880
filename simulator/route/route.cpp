// Unit Drovik3D's route: survey and profile reading, segment links, track following, the scenery
// ring ahead of the train, landmarks and the camera.
#include "route/route.h"

#include <strings.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>

#include "app/sim_state.h"
#include "platform/numbers.h"
#include "platform/paths.h"
#include "route/engine3d.h"

namespace Drovik3D {

namespace {

constexpr double kUnitsPerMetre = 50.0;
constexpr double kDegrees = 3.14159265358979323846 / 180.0;
const char* const kKindWords[5] = {"track", "tree", "house", "palm", "grass"};

TRouteState state;

int Random(int n)
{
    return static_cast<int>(SimRandom() % static_cast<unsigned>(n));
}

// The file's lines without their "\r"; false when it cannot be read.
bool ReadLines(const std::string& path, std::vector<std::string>* lines)
{
    std::ifstream in(plat_path_resolve(path), std::ios::binary);
    if (!in)
        return false;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines->push_back(line);
    }
    return true;
}

bool Blank(const std::string& line)
{
    return line.find_first_not_of(" \t") == std::string::npos;
}

// The leading number of a line and the text after it; false when there is none.
bool LeadingNumber(const std::string& line, double* value, std::string* rest)
{
    char* end = nullptr;
    const double v = plat_strtod(line.c_str(), &end);
    if (end == line.c_str() || !std::isfinite(v))
        return false;
    *value = v;
    *rest = std::string(end);
    return true;
}

void DebugLine(const std::string& text)
{
    if (SimState.routeDebug)
        std::fputs(text.c_str(), SimState.routeDebug);
}

bool ValidSegment(int index)
{
    return index >= 0 && index < static_cast<int>(state.segments.size());
}

// Segments of the loop: the route runs 1 .. count - 1; segment 0 only leads into it.
bool OnLoop(int index)
{
    return index >= 1 && index < state.current.count;
}

TPoint3 Minus(const TPoint3& a, const TPoint3& b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

// One segment from `start` to `end`; the profile cursor moves past the landmark it takes.
void BuildSegment(const TPoint3& start, const TPoint3& end, int i, float* routeKm,
                  const std::vector<std::pair<double, std::string>>& profile, size_t* profileAt)
{
    const TPoint3 v = Minus(end, start);
    const double length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    TTrackSegment& s = state.segments[static_cast<size_t>(i)];
    s.start = start;
    s.routeKm = *routeKm;
    // An entry left behind would hold up every later one.
    while (*profileAt < profile.size() && profile[*profileAt].first < s.routeKm - 0.02) {
        DebugLine(plat_format("profile entry %s at %g km skipped at %g km\n", profile[*profileAt].second.c_str(),
                              profile[*profileAt].first, static_cast<double>(s.routeKm)));
        ++*profileAt;
    }
    if (*profileAt < profile.size() && std::fabs(s.routeKm - profile[*profileAt].first) < 0.02) {
        s.landmark = profile[*profileAt].second;
        ++*profileAt;
    }
    *routeKm = static_cast<float>(*routeKm + length / kUnitsPerMetre / 1000.0);
    s.index = i;
    s.name = "test name";
    s.forwardKind = s.backwardKind = 1;
    s.forwardNext = i + 1;
    s.backwardNext = i == 0 ? 1 : i - 1;
    s.spots[0] = {start, SegmentHeading(start, end, length)};
    for (int k = 1; k <= 3; ++k)
        s.spots[k] = RandomScenerySpot(s.spots[0]);
    s.spots[4] = {start, 0.0f};
}

void PlaceSlot(int segment, int slot, bool lookUp)
{
    const TTrackSegment& s = state.segments[static_cast<size_t>(segment)];
    for (int kind = 0; kind < 5; ++kind) {
        TPlacement& rec = state.ring[slot][kind];
        if (lookUp)
            rec.object = state.worldObjects ? Engine3D().GetObjectUsingName(FindSlotObjects(slot, kind)) : nullptr;
        if (kind == 0)
            PlaceSceneryObject(rec, {PointAlongHeading(s.spots[0].point, 1250, s.spots[0].heading), s.spots[0].heading});
        else
            PlaceSceneryObject(rec, s.spots[kind]);
    }
    if (!s.landmark.empty())
        PlaceLandmark(s.landmark, s.spots[0]);
}

}  // namespace

TRouteState& Route()
{
    return state;
}

bool LoadLandmarks(const std::string& root, std::string* error)
{
    const std::string path = root + "\\routes\\landmarks.txt";
    std::vector<std::string> lines;
    if (!ReadLines(path, &lines)) {
        *error = "The landmarks file " + path + " could not be read.";
        return false;
    }
    while (!lines.empty() && Blank(lines.back()))
        lines.pop_back();
    if (lines.size() > static_cast<size_t>(kMaxLandmarks)) {
        *error = "The landmarks file " + path + " has more than 50 lines.";
        return false;
    }
    state.landmarks.clear();
    for (size_t n = 0; n < lines.size(); ++n) {
        TLandmarkRec rec;
        std::string rest;
        if (!LeadingNumber(lines[n], &rec.offset, &rest)) {
            rec.offset = 8.0;
            const size_t blank = lines[n].find(' ');
            rest = blank == std::string::npos ? "" : lines[n].substr(blank);
        }
        rec.name = rest.size() > 1 ? rest.substr(1, kNameLength) : "adsign1";
        DebugLine(plat_format("%d   %g   >%s<\n", static_cast<int>(n), rec.offset, rec.name.c_str()));
        rec.place.object = state.worldObjects ? Engine3D().GetObjectUsingName(rec.name) : nullptr;
        state.landmarks.push_back(rec);
    }
    DebugLine("-------------------------------------------------\n");
    return true;
}

bool BuildRoute(std::vector<TPoint3> points, const std::vector<std::pair<double, std::string>>& profile,
                const std::string& surveyName, std::string* error)
{
    std::vector<TPoint3> kept;
    for (const TPoint3& p : points) {
        if (kept.empty() || p.x != kept.back().x || p.y != kept.back().y || p.z != kept.back().z)
            kept.push_back(p);
    }
    if (kept.size() < static_cast<size_t>(kMinSurveyPoints)) {
        *error = "The route survey " + surveyName + " has fewer than 8 different points.";
        return false;
    }
    if (kept.size() > static_cast<size_t>(kMaxSurveyPoints)) {
        *error = "The route survey " + surveyName + " has more than 5002 points.";
        return false;
    }
    const int built = static_cast<int>(kept.size()) - 1;
    state.segments.assign(static_cast<size_t>(built), TTrackSegment{});
    float routeKm = 0.0f;
    size_t profileAt = 0;
    for (int i = 0; i < built; ++i)
        BuildSegment(kept[static_cast<size_t>(i)], kept[static_cast<size_t>(i) + 1], i, &routeKm, profile, &profileAt);
    // The loop closes through segment 1; the last segment built is never entered.
    state.segments[static_cast<size_t>(built - 2)].forwardNext = 1;
    state.segments[static_cast<size_t>(built - 2)].backwardNext = built - 3;
    state.segments[1].backwardNext = built - 2;
    state.current = TCurrentSegment{};
    state.current.count = built - 1;
    return true;
}

bool LoadRouteSurvey(const std::string& root, std::string* error)
{
    state.current.endOfRoute = false;
    if (!LoadLandmarks(root, error))
        return false;
    const std::string surveyPath = root + "\\routes\\Tarrow-Venn\\Tarr_Venn_survey.txt";
    const std::string profilePath = root + "\\routes\\Tarrow-Venn\\track_profile.txt";
    std::vector<std::string> survey, profileLines;
    if (!ReadLines(surveyPath, &survey)) {
        *error = "The route survey " + surveyPath + " could not be read.";
        return false;
    }
    if (!ReadLines(profilePath, &profileLines)) {
        *error = "The track profile " + profilePath + " could not be read.";
        return false;
    }
    std::vector<TPoint3> points;
    for (size_t n = 0; n < survey.size(); ++n) {
        if (Blank(survey[n]))
            continue;
        if (points.size() > static_cast<size_t>(kMaxSurveyPoints)) {
            *error = "The route survey " + surveyPath + " has more than 5002 points.";
            return false;
        }
        TPoint3 p;
        char tail = 0;
        if (plat_sscanf(survey[n].c_str(), "%lf %lf %lf %c", &p.x, &p.y, &p.z, &tail) != 3 || !std::isfinite(p.x) ||
            !std::isfinite(p.y) || !std::isfinite(p.z)) {
            *error = "Line " + std::to_string(n + 1) + " of the route survey " + surveyPath + " is not a point.";
            return false;
        }
        points.push_back(p);
    }
    std::vector<std::pair<double, std::string>> profile;
    for (const std::string& line : profileLines) {
        double km;
        std::string rest;
        if (Blank(line) || !LeadingNumber(line, &km, &rest))
            continue;
        const std::string name = rest.substr(0, kNameLength);
        profile.emplace_back(km, name.empty() ? name : name.substr(1));
    }
    return BuildRoute(std::move(points), profile, surveyPath, error);
}

int NextSegmentIndex(int index)
{
    if (!ValidSegment(index))
        return 0;
    const TTrackSegment& s = state.segments[static_cast<size_t>(index)];
    const bool forward = state.current.direction > 0;
    const int kind = forward ? s.forwardKind : s.backwardKind;
    const int next = forward ? s.forwardNext : s.backwardNext;
    if (kind == 1)
        return next;
    if ((next & 0xFF) == 1)
        return forward ? s.forwardAlt1 : s.backwardAlt1;
    return forward ? s.forwardAlt2 : s.backwardAlt2;
}

void LoadSegment(int index)
{
    TCurrentSegment& c = state.current;
    c.segment = state.segments[static_cast<size_t>(index)];
    c.start = c.segment.start;
    c.next = NextSegmentIndex(index);
    if (c.next == 0 || !ValidSegment(c.next)) {
        c.endOfRoute = true;
        return;
    }
    c.end = state.segments[static_cast<size_t>(c.next)].start;
    c.vector = Minus(c.end, c.start);
    c.length = std::sqrt(c.vector.x * c.vector.x + c.vector.y * c.vector.y + c.vector.z * c.vector.z);
    c.riseSign = c.vector.z > 0 ? 1 : c.vector.z < 0 ? -1 : 0;
    c.rise = c.length > 0 ? std::fabs(c.vector.z / c.length) : 0.0;
    c.along = 0.0;
    c.fraction = 0.0;
}

void ReverseDirection()
{
    TCurrentSegment& c = state.current;
    std::swap(c.start, c.end);
    const int newCurrent = c.next;
    c.riseSign = -c.riseSign;
    c.direction = -c.direction;
    c.along = c.length - c.along;
    c.vector = {-c.vector.x, -c.vector.y, -c.vector.z};
    if (ValidSegment(newCurrent)) {
        const TPoint3 position = c.segment.start;
        c.segment = state.segments[static_cast<size_t>(newCurrent)];
        c.segment.start = position;
    }
    c.next = NextSegmentIndex(newCurrent);
}

void FollowTrack(double stepMetres, bool reverse)
{
    TCurrentSegment& c = state.current;
    if (state.segments.empty())
        return;
    if (reverse)
        ReverseDirection();
    // At the end of the route the train holds its position.
    if (c.endOfRoute)
        return;
    const double d = stepMetres * kUnitsPerMetre;
    if (d >= c.length - c.along) {
        if (c.next == 0 || !ValidSegment(c.next)) {
            c.endOfRoute = true;
            return;
        }
        LoadSegment(c.next);
        RecycleScenery();
        return;
    }
    c.along += d;
    c.fraction = c.along / c.length;
    c.segment.start = {c.start.x + c.fraction * c.vector.x, c.start.y + c.fraction * c.vector.y,
                       c.start.z + c.fraction * c.vector.z};
}

float SegmentHeading(const TPoint3& start, const TPoint3& end, double length)
{
    const double dx = end.x - start.x;
    const double dy = end.y - start.y;
    if (length <= 0)
        return 0.0f;
    const double a = std::acos(std::min(1.0, std::fabs(dx) / length)) / kDegrees;
    double h = 0.0;
    if (dx > 0)
        h = dy > 0 ? 90 - a : dy == 0 ? 90 : 90 + a;
    else if (dx == 0 && dy < 0)
        h = 180;
    else if (dx < 0)
        h = dy < 0 ? 270 - a : dy == 0 ? 270 : 270 + a;
    return static_cast<float>(h);
}

TPoint3 PointAlongHeading(const TPoint3& p, double distance, double heading)
{
    TPoint3 q{p.x, p.y, 0.0};
    if (heading <= 90) {
        const double a = heading * kDegrees;
        q.x += distance * std::sin(a);
        q.y += distance * std::cos(a);
    } else if (heading <= 180) {
        const double a = (heading - 90) * kDegrees;
        q.x += distance * std::cos(a);
        q.y -= distance * std::sin(a);
    } else if (heading <= 270) {
        const double a = (heading - 180) * kDegrees;
        q.x -= distance * std::sin(a);
        q.y -= distance * std::cos(a);
    } else {
        const double a = (heading - 270) * kDegrees;
        q.x -= distance * std::cos(a);
        q.y += distance * std::sin(a);
    }
    return q;
}

TScenerySpot RandomScenerySpot(const TScenerySpot& spot0)
{
    const double lateral = 1000 + Random(4000);
    const double along = Random(2500);
    const TPoint3 q = PointAlongHeading(spot0.point, along, spot0.heading);
    double side = spot0.heading - 90;
    if (side < 0)
        side += 360;
    const double sign = Random(100) >= 50 ? 1.0 : -1.0;
    return {PointAlongHeading(q, sign * lateral, side), 0.0f};
}

std::string FindSlotObjects(int slot, int kind)
{
    const char* word = kind >= 0 && kind < 5 ? kKindWords[kind] : "tree";
    return word + std::to_string(slot);
}

void PlaceSceneryObject(TPlacement& rec, const TScenerySpot& spot)
{
    if (rec.object) {
        TEngine3D& e = Engine3D();
        e.SetObjectLocation(rec.object, spot.point.x, spot.point.y, spot.point.z);
        double box[2][3] = {};
        e.GetObjectBoundingBox(rec.object, box);
        e.SetObjectLocation(rec.object, spot.point.x, spot.point.y, spot.point.z - box[0][2]);
        e.RotateObjectZ(rec.object, rec.heading - spot.heading);
    }
    rec.heading = spot.heading;
}

void PlaceLandmark(const std::string& name, const TScenerySpot& spot0)
{
    for (TLandmarkRec& rec : state.landmarks) {
        if (strcasecmp(rec.name.c_str(), name.c_str()) == 0) {
            PlaceSceneryObject(rec.place,
                               {PointAlongHeading(spot0.point, rec.offset * kUnitsPerMetre, spot0.heading - 90),
                                spot0.heading});
            return;
        }
    }
}

double EngineHeading(int index)
{
    if (!ValidSegment(index))
        return 0.0;
    const double h = state.segments[static_cast<size_t>(index)].spots[0].heading;
    return h <= 270 ? 270 - h : 630 - h;
}

void InitCamera(DROVIK_HANDLE camera)
{
    TEngine3D& e = Engine3D();
    e.SetCameraTilt(camera, 0.0);
    state.targetHead = state.currentHead = EngineHeading(state.current.segment.index);
    e.SetCameraHeadAngle(camera, state.currentHead);
}

bool PlaceTrainAndScenery(int start, bool view3D, DROVIK_HANDLE camera)
{
    if (!OnLoop(start))
        return false;
    state.current.direction = 1;
    state.current.endOfRoute = false;
    LoadSegment(start);
    int s = start;
    for (int slot = 5; slot >= 0; --slot) {
        PlaceSlot(s, slot, true);
        s = NextSegmentIndex(s);
    }
    state.nextScenerySegment = s;
    LoadSegment(start);
    state.slotToRecycle = 5;
    if (view3D)
        InitCamera(camera);
    return true;
}

void RecycleScenery()
{
    if (ValidSegment(state.nextScenerySegment))
        PlaceSlot(state.nextScenerySegment, state.slotToRecycle, false);
    state.nextScenerySegment = NextSegmentIndex(state.nextScenerySegment);
    state.slotToRecycle = state.slotToRecycle == 0 ? 5 : state.slotToRecycle - 1;
    state.targetHead = EngineHeading(NextSegmentIndex(state.current.segment.index));
}

bool JumpToSegment(int n)
{
    if (!OnLoop(n))
        return false;
    state.current.endOfRoute = false;
    LoadSegment(n);
    int s = n;
    for (int i = 0; i < 3; ++i)
        s = NextSegmentIndex(s);
    state.nextScenerySegment = s;
    RecycleScenery();
    return true;
}

void PlaceCamera(DROVIK_HANDLE camera)
{
    TEngine3D& e = Engine3D();
    const TPoint3& p = state.current.segment.start;
    e.SetCameraLocation(camera, p.x, p.y, p.z + 150);
    if (std::fabs(state.currentHead - state.targetHead) < 0.14)
        return;
    state.currentHead += state.currentHead < state.targetHead ? 0.12 : -0.12;
    if (std::fabs(state.currentHead - state.targetHead) > 10)
        state.currentHead = state.targetHead;
    e.SetCameraHeadAngle(camera, state.currentHead);
}

}  // namespace Drovik3D
