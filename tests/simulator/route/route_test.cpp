// The route: segments built from a survey, their links, following them, the scenery ring, the
// camera, and the route files, against a recording engine.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "../../common/files.h"
#include "../../common/recording_engine3d.h"
#include "app/sim_state.h"
#include "route/route.h"

namespace fs = std::filesystem;
using namespace Drovik3D;

namespace {

// A loop: point 6 repeats point 1, so segment 5 leads back into segment 1.
const std::vector<TPoint3> kLoop = {{0, -2500, 0},  {0, 0, 0},        {0, 2500, 0}, {2500, 2500, 0},
                                    {2500, 0, 0},   {2500, -2500, 0}, {0, 0, 0},    {0, 2500, 0}};

class RouteTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Route() = TRouteState{};
        SetEngine3D(&engine);
        SimRandom.seed(7);
        for (int slot = 0; slot < 6; ++slot) {
            for (const char* kind : {"track", "tree", "house", "palm", "grass"})
                engine.objects[kind + std::to_string(slot)] = 0;
        }
    }
    void TearDown() override
    {
        SetEngine3D(nullptr);
        Route() = TRouteState{};
    }
    void BuildLoop(const std::vector<std::pair<double, std::string>>& profile = {})
    {
        std::string error;
        ASSERT_TRUE(BuildRoute(kLoop, profile, "survey.txt", &error)) << error;
    }
    // The segments visited from `start`, `steps` links on, in the current direction.
    std::vector<int> Walk(int start, int steps)
    {
        std::vector<int> seen{start};
        for (int i = 0; i < steps; ++i)
            seen.push_back(NextSegmentIndex(seen.back()));
        return seen;
    }
    TRecordingEngine3D engine;
};

TEST_F(RouteTest, EightPointSurveyBuildsALoop)
{
    BuildLoop();
    ASSERT_EQ(Route().segments.size(), 7u);
    EXPECT_EQ(Route().current.count, 6);
    EXPECT_EQ(Route().segments[5].forwardNext, 1);
    EXPECT_EQ(Route().segments[1].backwardNext, 5);
    EXPECT_EQ(Route().segments[0].forwardNext, 1);
    EXPECT_EQ(Route().segments[0].backwardNext, 1);
    Route().current.direction = 1;
    EXPECT_EQ(Walk(3, 5), (std::vector<int>{3, 4, 5, 1, 2, 3}));
    Route().current.direction = -1;
    EXPECT_EQ(Walk(3, 5), (std::vector<int>{3, 2, 1, 5, 4, 3}));
    // Kilometres sum length / 50000 in single precision.
    float km = 0.0f;
    const double lengths[] = {2500, 2500, 2500, 2500, 2500, std::sqrt(2.0) * 2500};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(Route().segments[static_cast<size_t>(i)].routeKm, km) << i;
        km = static_cast<float>(km + lengths[i] / 50 / 1000);
    }
    EXPECT_EQ(Route().segments[6].routeKm, km);
    EXPECT_EQ(Route().segments[2].name, "test name");
}

TEST_F(RouteTest, ShortLongAndRepeatedSurveys)
{
    struct survey_case {
        size_t points;
        bool repeat;  // the third point given twice
        bool accepted;
        size_t segments;
        const char* error;
    } cases[] = {
        {2, false, false, 0, "The route survey survey.txt has fewer than 8 different points."},
        {4, false, false, 0, "The route survey survey.txt has fewer than 8 different points."},
        {7, false, false, 0, "The route survey survey.txt has fewer than 8 different points."},
        {7, true, false, 0, "The route survey survey.txt has fewer than 8 different points."},
        {8, true, true, 7, ""},
        {5002, false, true, 5001, ""},
        {5003, false, false, 0, "The route survey survey.txt has more than 5002 points."},
    };
    for (const survey_case& c : cases) {
        SCOPED_TRACE(std::to_string(c.points) + (c.repeat ? " with a repeat" : ""));
        Route() = TRouteState{};
        std::vector<TPoint3> points;
        for (size_t i = 0; i < c.points; ++i) {
            points.push_back({100.0 * static_cast<double>(i), 0, 0});
            if (c.repeat && i == 2)
                points.push_back(points.back());
        }
        std::string error;
        EXPECT_EQ(BuildRoute(points, {}, "survey.txt", &error), c.accepted);
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(Route().segments.size(), c.segments);
        for (size_t i = 0; i + 1 < Route().segments.size(); ++i) {
            const TPoint3& a = Route().segments[i].start;
            const TPoint3& b = Route().segments[i + 1].start;
            ASSERT_FALSE(a.x == b.x && a.y == b.y && a.z == b.z) << "segment " << i << " has length 0";
        }
    }
}

TEST_F(RouteTest, HeadingTables)
{
    struct heading_case {
        double dx, dy;
        float heading;
    } headings[] = {{0, 1, 0},    {1, 1, 45},   {1, 0, 90},   {1, -1, 135},           {0, -1, 180},
                    {-1, -1, 225}, {-1, 0, 270}, {-1, 1, 315}, {1, std::sqrt(3.0), 30}};
    for (const heading_case& c : headings) {
        SCOPED_TRACE(std::to_string(c.dx) + ", " + std::to_string(c.dy));
        EXPECT_NEAR(SegmentHeading({0, 0, 0}, {c.dx, c.dy, 0}, std::hypot(c.dx, c.dy)), c.heading, 1e-4);
    }

    struct along_case {
        double heading, x, y;
    } along[] = {{0, 10, 120},        {90, 110, 20},       {180, 10, -80},       {270, -90, 20},
                 {360, 10, 120},      {30, 60, 106.60254}, {120, 96.60254, -30}, {210, -40, -66.60254},
                 {300, -76.60254, 70}};
    for (const along_case& c : along) {
        SCOPED_TRACE(c.heading);
        const TPoint3 p = PointAlongHeading({10, 20, 5}, 100, c.heading);
        EXPECT_NEAR(p.x, c.x, 1e-4);
        EXPECT_NEAR(p.y, c.y, 1e-4);
        EXPECT_EQ(p.z, 0.0);
    }

    struct engine_case {
        float heading;
        double engine;
    } engine_headings[] = {{0, 270}, {90, 180}, {270, 0}, {271, 359}, {359, 271}};
    Route().segments.resize(1);
    for (const engine_case& c : engine_headings) {
        Route().segments[0].spots[0].heading = c.heading;
        EXPECT_DOUBLE_EQ(EngineHeading(0), c.engine) << c.heading;
    }
}

TEST_F(RouteTest, FollowingMovesAlongCrossesAndTurnsRound)
{
    BuildLoop();
    ASSERT_TRUE(PlaceTrainAndScenery(3, false, nullptr));
    const TCurrentSegment& c = Route().current;
    // Segment 3 runs from (2500, 2500) to (2500, 0): 2500 units, 50 m.
    FollowTrack(10, false);
    EXPECT_DOUBLE_EQ(c.fraction, 0.2);
    EXPECT_DOUBLE_EQ(c.segment.start.x, 2500);
    EXPECT_DOUBLE_EQ(c.segment.start.y, 2000);

    FollowTrack(0, true);
    EXPECT_EQ(c.direction, -1);
    EXPECT_EQ(c.segment.index, 4);
    EXPECT_EQ(c.next, 3);
    EXPECT_DOUBLE_EQ(c.along, 2000);
    EXPECT_DOUBLE_EQ(c.segment.start.y, 2000);

    FollowTrack(0, true);
    EXPECT_EQ(c.direction, 1);
    EXPECT_EQ(c.segment.index, 3);
    const int slot = Route().slotToRecycle;
    const int scenery = Route().nextScenerySegment;
    FollowTrack(45, false);  // 2250 units reach the end of the 2000 left
    EXPECT_EQ(c.segment.index, 4);
    EXPECT_EQ(c.along, 0.0);
    EXPECT_EQ(Route().slotToRecycle, slot - 1);
    EXPECT_EQ(Route().nextScenerySegment, NextSegmentIndex(scenery));
}

TEST_F(RouteTest, ScenerySlotsAheadOfTheTrain)
{
    BuildLoop({{0.1, "adsign1"}});
    engine.objects.erase("palm2");
    engine.objects["adsign1"] = 0;
    engine.bottoms["tree5"] = -30;
    Route().landmarks.push_back({"ADSIGN1", 2.0, {}});
    Route().landmarks.back().place.object = engine.GetObjectUsingName("adsign1");
    engine.calls.clear();

    ASSERT_TRUE(PlaceTrainAndScenery(1, false, nullptr));
    EXPECT_EQ(engine.CallsOf("GetObjectUsingName(").size(), 30u);
    // 29 objects found and the landmark, each set down twice.
    EXPECT_EQ(engine.CallsOf("SetObjectLocation(").size(), 60u);
    EXPECT_TRUE(engine.CallsOf("SetObjectLocation(palm2").empty());
    // Slot 5 dresses the start segment (0, 0) -> (0, 2500): the track piece 1250 along it.
    EXPECT_EQ(engine.CallsOf("SetObjectLocation(track5").back(), "SetObjectLocation(track5, 0, 1250, 0)");
    // A model whose box reaches 30 below its origin is lifted by 30.
    const std::vector<std::string> tree = engine.CallsOf("SetObjectLocation(tree5");
    EXPECT_NE(tree.back().find(", 30)"), std::string::npos) << tree.back();
    // Segment 2 heads east: the landmark stands 2 m x 50 to its left, north of the line.
    EXPECT_EQ(engine.CallsOf("SetObjectLocation(adsign1").back(), "SetObjectLocation(adsign1, 0, 2600, 0)");
    EXPECT_EQ(Route().current.segment.index, 1);

    std::vector<int> slots;
    for (int entered = 0; entered < 7; ++entered) {
        engine.calls.clear();
        FollowTrack(1000, false);
        ASSERT_FALSE(engine.CallsOf("SetObjectLocation(track").empty());
        slots.push_back(engine.CallsOf("SetObjectLocation(track").front()[23] - '0');
    }
    EXPECT_EQ(slots, (std::vector<int>{5, 4, 3, 2, 1, 0, 5}));
}

TEST_F(RouteTest, StartAndJumpOffTheLoopAreRefused)
{
    BuildLoop();
    for (int bad : {-1, 0, 6, 7, 100}) {
        EXPECT_FALSE(PlaceTrainAndScenery(bad, false, nullptr)) << bad;
        EXPECT_FALSE(JumpToSegment(bad)) << bad;
    }
    ASSERT_TRUE(PlaceTrainAndScenery(1, false, nullptr));
    ASSERT_TRUE(JumpToSegment(4));
    EXPECT_EQ(Route().current.segment.index, 4);
    // Three links on from 4 is 2, recycled at once, so 3 comes next.
    EXPECT_EQ(Route().nextScenerySegment, 3);
}

TEST_F(RouteTest, CameraFollowsTheTrainAndTurnsSlowly)
{
    BuildLoop();
    ASSERT_TRUE(PlaceTrainAndScenery(3, false, nullptr));
    DROVIK_HANDLE camera = engine.Camera();
    struct turn_case {
        double current, target, after;
        bool sent;
    } cases[] = {{0, 5, 0.12, true}, {10, 5, 9.88, true}, {0, 20, 20, true}, {0, 0.1, 0, false}, {3, 3.13, 3, false}};
    for (const turn_case& c : cases) {
        SCOPED_TRACE(std::to_string(c.current) + " to " + std::to_string(c.target));
        Route().currentHead = c.current;
        Route().targetHead = c.target;
        engine.calls.clear();
        PlaceCamera(camera);
        EXPECT_NEAR(Route().currentHead, c.after, 1e-12);
        EXPECT_EQ(engine.CallsOf("SetCameraHeadAngle(").size(), c.sent ? 1u : 0u);
        EXPECT_EQ(engine.calls.front(), "SetCameraLocation(camera, 2500, 2500, 150)");
    }
}

class RouteFiles : public RouteTest {
protected:
    void SetUp() override
    {
        RouteTest::SetUp();
        root = fs::temp_directory_path() / ("kestrovane_route_" + std::to_string(std::random_device{}()));
        fs::create_directories(root / "routes" / "Tarrow-Venn");
        SimState.paths.root = root.string();
    }
    void TearDown() override
    {
        CloseRouteDebugFile();
        SimState.paths.root.clear();
        fs::remove_all(root);
        RouteTest::TearDown();
    }
    void Write(const std::string& relative, const std::string& text)
    {
        std::ofstream(root / relative, std::ios::binary) << text;
    }
    fs::path root;
};

TEST_F(RouteFiles, SurveyProfileAndLandmarksAreRead)
{
    std::string survey;
    for (const TPoint3& p : kLoop)
        survey += std::to_string(static_cast<int>(p.x)) + " " + std::to_string(static_cast<int>(p.y)) + " 0\r\n";
    Write("routes/Tarrow-Venn/Tarr_Venn_survey.txt", survey);
    Write("routes/Tarrow-Venn/track_profile.txt",
          "0.1 adsign1\r\n0.12 missed\r\n0.2 ABCDEFGHIJKLMNOPQ\r\n0.25 ABCDEFGHIJKLMNOP\r\n");
    Write("routes/landmarks.txt", "2 adsign1\r\nx adsign9\r\n-3.5 ABCDEFGHIJKLMNOPQ\r\n");
    engine.objects["adsign1"] = 0;
    ASSERT_TRUE(OpenRouteDebugFile());

    std::string error;
    ASSERT_TRUE(LoadRouteSurvey(root.string(), &error)) << error;
    ASSERT_EQ(Route().segments.size(), 7u);
    EXPECT_EQ(Route().segments[2].landmark, "adsign1");
    EXPECT_EQ(Route().segments[3].landmark, "");
    // Sixteen characters after the number, the blank dropped: fifteen remain.
    EXPECT_EQ(Route().segments[4].landmark, "ABCDEFGHIJKLMNO");
    EXPECT_EQ(Route().segments[5].landmark, "ABCDEFGHIJKLMNO");
    ASSERT_EQ(Route().landmarks.size(), 3u);
    EXPECT_EQ(Route().landmarks[1].offset, 8.0);
    EXPECT_EQ(Route().landmarks[1].name, "adsign9");
    EXPECT_EQ(Route().landmarks[2].name, "ABCDEFGHIJKLMNOP");
    EXPECT_NE(Route().landmarks[0].place.object, nullptr);
    EXPECT_EQ(Route().landmarks[1].place.object, nullptr);

    CloseRouteDebugFile();
    EXPECT_EQ(read_file(root / "routes" / "Tarrow-Venn" / "debug.txt"),
              "landmarks section\n"
              "0   2   >adsign1<\n"
              "1   8   >adsign9<\n"
              "2   -3.5   >ABCDEFGHIJKLMNOP<\n"
              "-------------------------------------------------\n"
              "profile entry missed at 0.12 km skipped at 0.15 km\n");
}

TEST_F(RouteFiles, MissingAndOversizedFilesAreRefused)
{
    std::string error;
    EXPECT_FALSE(LoadRouteSurvey(root.string(), &error));
    EXPECT_EQ(error, "The landmarks file " + root.string() + "\\routes\\landmarks.txt could not be read.");

    std::string many;
    for (int i = 0; i < 51; ++i)
        many += "1 sign" + std::to_string(i) + "\n";
    Write("routes/landmarks.txt", many);
    EXPECT_FALSE(LoadRouteSurvey(root.string(), &error));
    EXPECT_EQ(error, "The landmarks file " + root.string() + "\\routes\\landmarks.txt has more than 50 lines.");

    Write("routes/landmarks.txt", "1 sign\n");
    EXPECT_FALSE(LoadRouteSurvey(root.string(), &error));
    EXPECT_EQ(error, "The route survey " + root.string() + "\\routes\\Tarrow-Venn\\Tarr_Venn_survey.txt could not be read.");

    // Four points, one of them repeated: three different, too few for a loop.
    Write("routes/Tarrow-Venn/Tarr_Venn_survey.txt", "0 0 0\n0 0 0\n50 0 0\n90 0 0\n");
    Write("routes/Tarrow-Venn/track_profile.txt", "");
    EXPECT_FALSE(LoadRouteSurvey(root.string(), &error));
    EXPECT_EQ(error, "The route survey " + root.string() +
                         "\\routes\\Tarrow-Venn\\Tarr_Venn_survey.txt has fewer than 8 different points.");

    Write("routes/Tarrow-Venn/Tarr_Venn_survey.txt", "0 0 0\n1 1\n");
    Write("routes/Tarrow-Venn/track_profile.txt", "");
    EXPECT_FALSE(LoadRouteSurvey(root.string(), &error));
    EXPECT_EQ(error, "Line 2 of the route survey " + root.string() +
                         "\\routes\\Tarrow-Venn\\Tarr_Venn_survey.txt is not a point.");
    EXPECT_TRUE(Route().segments.empty());
}

}  // namespace
