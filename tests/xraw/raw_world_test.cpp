// Raw triangle worlds: reading lines of nine numbers, writing triangle fans, and refused writes.
#include <climits>
#include <filesystem>
#include <string>
#include <vector>

#include "drovik.h"
#include "world/engine_state.h"
#include "world_files.h"

namespace {

const std::string raw_data = std::string(DROVIK_TEST_DATA) + "/raw";

class RawWorld : public WorldFiles {
protected:
    int load_raw(const std::string& name, const std::string& text) {
        write(name, text);
        return Drovik_engine_load_world(name.c_str(), folder_.c_str(), "", 4);
    }
};

void expect_corners(const polygon* p, const std::vector<corner>& expected) {
    const std::vector<corner> got = corners_of(p);
    ASSERT_EQ(got.size(), expected.size());
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_DOUBLE_EQ(got[i].x, expected[i].x) << i;
        EXPECT_DOUBLE_EQ(got[i].y, expected[i].y) << i;
        EXPECT_DOUBLE_EQ(got[i].z, expected[i].z) << i;
    }
}

// The triangle of the world whose first point lies at height z.
const polygon* triangle_at(double z) {
    for (const polygon* p : world_polygons()) {
        if (p->points->z == z) return p;
    }
    return nullptr;
}

TEST_F(RawWorld, EmptyFileIsAnEmptyWorld) {
    ASSERT_EQ(load_raw("empty.raw", ""), 0) << engine_get_last_error();
    EXPECT_TRUE(world_polygons().empty());
}

TEST_F(RawWorld, ShortLineEndsTheReadWhateverFollows) {
    ASSERT_EQ(Drovik_engine_load_world("short_third_line.raw", raw_data.c_str(), "", 4), 0) << engine_get_last_error();
    ASSERT_EQ(world_polygons().size(), 2u);
    // Corners are added at the head: the points run third, second, first, with the cords
    // (1, 1), (0, 1), (0, 0) and normal light.
    const polygon* first = triangle_at(0);
    ASSERT_NE(first, nullptr);
    expect_corners(first, {{100, 100, 0}, {100, 0, 0}, {0, 0, 0}});
    EXPECT_DOUBLE_EQ(first->points->bitmap_x, 1);
    EXPECT_DOUBLE_EQ(first->points->bitmap_y, 1);
    EXPECT_DOUBLE_EQ(first->points->next->bitmap_x, 0);
    EXPECT_DOUBLE_EQ(first->points->next->bitmap_y, 1);
    EXPECT_EQ(first->points->brightness, 8);
    EXPECT_EQ(first->bitmap_name, nullptr);
    EXPECT_NE(triangle_at(10), nullptr);
}

TEST_F(RawWorld, LinesEndingInCarriageReturnsReadAsPlainLines) {
    const std::string lines = "0 0 0 100 0 0 100 100 0\n-5.5 2 3e1    4 5 6    7 8.25 9\n";
    ASSERT_EQ(load_raw("lf.raw", lines), 0) << engine_get_last_error();
    std::vector<std::vector<corner>> plain;
    for (const polygon* p : world_polygons()) plain.push_back(corners_of(p));
    ASSERT_EQ(Drovik_engine_load_world("crlf.raw", raw_data.c_str(), "", 4), 0) << engine_get_last_error();
    const std::vector<polygon*> crlf = world_polygons();
    ASSERT_EQ(crlf.size(), plain.size());
    ASSERT_EQ(plain.size(), 2u);
    for (size_t i = 0; i < crlf.size(); ++i) expect_corners(crlf[i], plain[i]);
}

TEST_F(RawWorld, QuadIsWrittenAsAFanAndReadsBackReversed) {
    write("quad.wld",
          "BEGIN_DESIGN:\nBEGIN_MODULE: MAIN\n\tPOLYGON:\n\t\tCOLOR: 1 2 3\n\t\tBITMAP: NO_BITMAP\n"
          "\t\tTRANSPARENT: -1\n\t\tROTATED: NO\n\t\tLIGHT_DIMINUTION: 0\n\t\tNUM_OF_POINTS: 4\n"
          "\t\t\t0 0 0 0 0 100\n\t\t\t10 0 0 0 0 100\n\t\t\t10 20 0 0 0 100\n\t\t\t0 20 0.5 0 0 100\n"
          "END_MODULE: MAIN\nEND_DESIGN:\n");
    ASSERT_EQ(Drovik_engine_load_world("quad.wld", folder_.c_str(), "", 4), 0) << engine_get_last_error();
    ASSERT_EQ(Drovik_engine_save("quad.raw", nullptr, 0), 0) << engine_get_last_error();
    const polygon* quad = world_polygons()[0];
    const std::vector<corner> p = corners_of(quad);  // made coplanar when read
    ASSERT_EQ(p.size(), 4u);
    const std::string text = read_file(in_folder("quad.raw"));
    EXPECT_EQ(text.rfind("0.000000 0.000000 ", 0), 0u);
    EXPECT_EQ(occurrences(text, "\r\n"), 2);
    EXPECT_EQ(text.find("\n"), text.find("\r\n") + 1);
    ASSERT_EQ(Drovik_engine_load_world("quad.raw", folder_.c_str(), "", 4), 0) << engine_get_last_error();
    const std::vector<polygon*> read = world_polygons();
    ASSERT_EQ(read.size(), 2u);
    // Lines (p1, p2, p3) and (p1, p3, p4), each read back last corner first; six decimals apart.
    const polygon* second = read[0]->points->y == p[3].y ? read[0] : read[1];
    const polygon* first = second == read[0] ? read[1] : read[0];
    const std::vector<std::vector<corner>> expected = {{p[2], p[1], p[0]}, {p[3], p[2], p[0]}};
    const polygon* got[] = {first, second};
    for (int t = 0; t < 2; ++t) {
        const std::vector<corner> c = corners_of(got[t]);
        ASSERT_EQ(c.size(), 3u);
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_NEAR(c[i].x, expected[t][i].x, 1e-6);
            EXPECT_NEAR(c[i].y, expected[t][i].y, 1e-6);
            EXPECT_NEAR(c[i].z, expected[t][i].z, 1e-6);
        }
    }
}

TEST_F(RawWorld, WriterLineHoldsNineNumbersInGroupsOfThree) {
    ASSERT_EQ(load_raw("one.raw", "1 2 3 4 5 6 7 8 10\n"), 0) << engine_get_last_error();
    ASSERT_EQ(Drovik_engine_save("again.raw", nullptr, 0), 0) << engine_get_last_error();
    EXPECT_EQ(read_file(in_folder("again.raw")),
              "7.000000 8.000000 10.000000    4.000000 5.000000 6.000000    1.000000 2.000000 3.000000\r\n");
}

TEST_F(RawWorld, PolygonOfTwoPointsStopsTheWriteAndKeepsTheOldFile) {
    ASSERT_EQ(load_raw("one.raw", "0 0 0 1 0 0 1 1 0\n"), 0) << engine_get_last_error();
    polygon* p = world_polygons()[0];
    free_point(polygon_extract_point(p, p->points));
    ASSERT_EQ(p->point_count, 2);
    write("old.raw", "kept\r\n");
    EXPECT_EQ(Drovik_engine_save("old.raw", nullptr, 0), -1);
    EXPECT_EQ(read_file(in_folder("old.raw")), "kept\r\n");
    EXPECT_EQ(occurrences(error_log(), "engine_save_raw_format: internal error, polygon doesnt have three points !!!\n"),
              1);
}

TEST_F(RawWorld, CornersSpanningNoPlaneGiveNoPolygonAndOneReportPerFile) {
    ASSERT_EQ(load_raw("flat.raw", "0 0 0 1 0 0 2 0 0\n0 0 0 1 0 0 1 1 0\n5 5 5 5 5 5 5 5 5\n"), 0)
        << engine_get_last_error();
    EXPECT_EQ(world_polygons().size(), 1u);
    EXPECT_EQ(occurrences(error_log(), "engine_load_raw_file: triangles whose corners span no plane were left out\n"),
              1);
}

// The whole line of the text that starts with the part, "" when none does.
std::string line_with(const std::string& text, const std::string& part) {
    const size_t at = text.find(part);
    if (at == std::string::npos) return "";
    return text.substr(at, text.find('\n', at) + 1 - at);
}

class RawRefusals : public RawWorld {
protected:
    // Whether the report names the scratch folder and ends with the file name and the rest.
    bool names_the_file(const std::string& report, const std::string& ending) const {
        return report.find(folder_.string()) != std::string::npos && report.size() >= ending.size() &&
               report.compare(report.size() - ending.size(), ending.size(), ending) == 0;
    }
};

TEST_F(RawWorld, CornersMayStandOnLinesOfTheirOwn) {
    const struct {
        const char* what;
        const char* text;
    } cases[] = {
        {"one corner a line", "0 0 0\n100 0 0\n100 100 0\n0 0 10\n100 0 10\n100 100 10\n"},
        {"corners split over lines", "0 0 0 100\n0 0 100 100 0\n\n0 0 10 100 0 10\n100 100 10\n"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(load_raw("corners.raw", c.text), 0) << c.what << ": " << engine_get_last_error();
        ASSERT_EQ(world_polygons().size(), 2u) << c.what;
        const polygon* low = triangle_at(0);
        ASSERT_NE(low, nullptr) << c.what;
        expect_corners(low, {{100, 100, 0}, {100, 0, 0}, {0, 0, 0}});
        EXPECT_NE(triangle_at(10), nullptr) << c.what;
    }
}

TEST_F(RawRefusals, FileWithoutATriangleIsRefusedNamingTheLineWhereReadingStopped) {
    const struct {
        const char* what;
        const char* text;
        int line;
    } cases[] = {
        {"a name line first", "cube\n0 0 0 1 0 0 1 1 0\n", 1},
        {"a colour before the corners", "1 0.5 0.25 0 0 0 1 0 0 1 1 0\n0.5 0.5 0.5 0 0 1 1 0 1 1 1 1\n", 1},
        {"too few numbers after blank lines", "\n\n0 0 0 1 0 0\n", 3},
        {"only flat triangles", "0 0 0 1 0 0 2 0 0\n5 5 5 5 5 5 5 5 5\n", 3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(load_raw("none.raw", c.text), -1) << c.what;
        const std::string report = line_with(error_log(), "engine_load_raw_file: no triangle read from ");
        EXPECT_TRUE(names_the_file(report, "none.raw; reading stopped at line " + std::to_string(c.line) + "\n"))
            << c.what << ": " << report;
        EXPECT_EQ(Drovik_engine_is_engine_empty(), 1) << c.what;
        std::filesystem::remove(log_directory() + "/error.log");
    }
    ASSERT_EQ(load_raw("blank.raw", " \r\n\t\n"), 0) << "blanks only are an empty file";
    EXPECT_TRUE(world_polygons().empty());
}

TEST_F(RawRefusals, ReadingThatStopsEarlySaysWhere) {
    ASSERT_EQ(load_raw("early.raw", "0 0 0 100 0 0 100 100 0\n\n0 0 10 100 0 10 100 100 10\nend of mesh\n"
                                    "0 0 20 100 0 20 100 100 20\n"),
              0)
        << engine_get_last_error();
    EXPECT_EQ(world_polygons().size(), 2u);
    const std::string report = line_with(error_log(), "engine_load_raw_file: reading ");
    EXPECT_TRUE(names_the_file(report, "early.raw stopped at line 4, which does not hold a triangle of nine numbers\n"))
        << report;
    ASSERT_EQ(load_raw("whole.raw", "0 0 0 100 0 0 100 100 0\n"), 0);
    EXPECT_EQ(occurrences(error_log(), "stopped at line"), 1) << "a file read to its end says nothing";
}

TEST_F(RawWorld, CoordinatesFarBeyondTheIntRangeLoadForViewing) {
    // Digestion builds the tree and its cache file, the group boxes and the world centre.
    const struct {
        const char* text;
        double far;
    } cases[] = {{"0 0 0 1e30 0 0 0 1e30 0", 1e30}, {"-3e9 0 0 3e9 0 0 0 3e9 -1e20\n", 3e9}};
    for (const auto& c : cases) {
        ASSERT_EQ(load_raw("far.raw", c.text), 0) << c.text;
        ASSERT_EQ(Drovik_engine_load_world("far.raw", folder_.c_str(), "", 0), 0) << c.text << engine_get_last_error();
        ASSERT_EQ(world_polygons().size(), 1u) << c.text;
        EXPECT_EQ(world_polygons()[0]->points->next->x, c.far) << c.text;
        ASSERT_NE(engine_state.groups, nullptr) << c.text;
        for (const group* g = engine_state.groups; g; g = g->next) {
            EXPECT_LE(g->box[0], g->box[3]) << c.text;
            EXPECT_EQ(g->box[4], INT_MAX) << c.text;
        }
    }
}

TEST_F(RawWorld, MissingFileFailsTheLoad) {
    EXPECT_EQ(Drovik_engine_load_world("none.raw", folder_.c_str(), "", 4), -1);
    EXPECT_EQ(occurrences(error_log(), "engine_load_raw_file: cant load file "), 1);
}

}  // namespace
