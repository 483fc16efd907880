// MD2 models read into 3D animations: sequences by frame-name prefix, points and cords of frame 0,
// reuse of an unchanged file, and damaged files refused whole.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "anim3d_fixture.h"
#include "dynamic_from_file.h"
#include "engine_state_load.h"
#include "world/dynamic_object.h"
#include "world/polygon.h"

namespace {

using namespace anim3d_test;

struct corner {
    double x, y, z, bitmap_x, bitmap_y;
};

void expect_points(const polygon* p, const std::vector<corner>& expected) {
    ASSERT_EQ(p->point_count, 3);
    const point* pt = p->points;
    for (const corner& c : expected) {
        EXPECT_DOUBLE_EQ(pt->x, c.x);
        EXPECT_DOUBLE_EQ(pt->y, c.y);
        EXPECT_DOUBLE_EQ(pt->z, c.z);
        EXPECT_DOUBLE_EQ(pt->bitmap_x, c.bitmap_x);
        EXPECT_DOUBLE_EQ(pt->bitmap_y, c.bitmap_y);
        EXPECT_EQ(pt->brightness, 8.0);
        pt = pt->next;
    }
}

std::vector<std::string> names_of(const seq3d* s) {
    std::vector<std::string> names;
    for (; s; s = s->next) names.push_back(s->name);
    return names;
}

class Md2Model : public Anim3dTest {};

TEST_F(Md2Model, FrameNamePrefixesMakeSequencesOfHundredMillisecondSteps) {
    polygon* list = nullptr;
    ASSERT_NE(load_model("walker.md2", &list), nullptr);
    polygon_list_free(&list);
    ASSERT_EQ(count_animations(), 1);
    const anim3d* a = engine_state.animations3d;
    EXPECT_STREQ(a->name, "walker");
    EXPECT_EQ(a->frame_count, 10);
    std::vector<std::string> frames;
    for (const frame3d* f = a->frames; f; f = f->next) frames.push_back(f->name);
    EXPECT_EQ(frames, (std::vector<std::string>{"run1", "run2", "run3", "run4", "run5", "run6", "jump1", "jump2",
                                                 "jump3", "jump4"}));
    ASSERT_EQ(names_of(a->sequences), (std::vector<std::string>{"run", "jump"}));
    const seq3d* run = a->sequences;
    const seq3d* jump = run->next;
    EXPECT_EQ(run->step_count, 6);
    EXPECT_EQ(jump->step_count, 4);
    EXPECT_EQ(run->total_duration, 600);
    EXPECT_EQ(jump->total_duration, 400);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(jump->frame_indexes[k], 6 + k);
        EXPECT_EQ(jump->durations[k], 100);
    }
    EXPECT_EQ(run->frame_indexes[5], 5);
    EXPECT_EQ(run->model_sequence, 1);
    EXPECT_EQ(run->cyclic, 1);
    EXPECT_EQ(run->temporary, 0);
    EXPECT_EQ(run->speed, 1.0);
}

TEST_F(Md2Model, PointsAreNegatedInXAndYAndCentredWithNormalisedCords) {
    polygon* earlier = state_test::make_polygon({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, "earlier");
    polygon* list = earlier;
    const anim3d* a = load_model("walker.md2", &list);
    ASSERT_NE(a, nullptr);
    // Frame 0 spans x -10..0, y -10..0, z 0..10.
    EXPECT_DOUBLE_EQ(a->centre[0], -5);
    EXPECT_DOUBLE_EQ(a->centre[1], -5);
    EXPECT_DOUBLE_EQ(a->centre[2], 5);
    ASSERT_EQ(polygon_list_count(list), 3);
    EXPECT_STREQ(list->name, "run10");
    EXPECT_STREQ(list->next->name, "run11");
    EXPECT_EQ(list->next->next, earlier) << "the model's polygons go before the list's own";
    expect_points(list, {{5, 5, -5, 0, 0}, {-5, 5, -5, 0.5, 0}, {5, -5, -5, 0.5, 0.5}});
    expect_points(list->next, {{5, 5, -5, 0, 0}, {5, -5, -5, 0.5, 0.5}, {5, 5, 5, 1, 1}});
    EXPECT_EQ(list->disabled, 0);
    polygon_list_free(&list);
}

TEST_F(Md2Model, AnUnchangedFileIsReusedAndATouchedOneIsNot) {
    polygon* list = nullptr;
    anim3d* first = load_model("walker.md2", &list);
    ASSERT_NE(first, nullptr);
    const std::string path = (folder / "walker.md2").string();
    EXPECT_EQ(anim3d_load_md2_file(path.c_str(), &list), first);
    EXPECT_EQ(count_animations(), 1);
    EXPECT_EQ(polygon_list_count(list), 4) << "a second polygon list all the same";
    std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) + std::chrono::seconds(10));
    anim3d* touched = anim3d_load_md2_file(path.c_str(), &list);
    ASSERT_NE(touched, nullptr);
    EXPECT_NE(touched, first);
    EXPECT_STREQ(touched->name, "walker_2");
    EXPECT_EQ(count_animations(), 2);
    polygon_list_free(&list);
}

TEST_F(Md2Model, DamagedFilesAreRefusedWithOneLineAndLeaveNothingBehind) {
    struct damaged {
        const char* file;
        const char* report;
    };
    const damaged cases[] = {
        {"short_header.md2", "anim3d_load_md2_file: the file is shorter than the 68-byte MD2 header\n"},
        {"section_past_end.md2", "anim3d_load_md2_file: a section lies outside the file\n"},
        {"end_past_end.md2", "anim3d_load_md2_file: a section lies outside the file\n"},
        {"huge_frame_count.md2", "anim3d_load_md2_file: a section lies outside the file\n"},
        {"negative_count.md2", "anim3d_load_md2_file: a negative count or offset in the header\n"},
        {"negative_offset.md2", "anim3d_load_md2_file: a negative count or offset in the header\n"},
        {"small_frame_size.md2", "anim3d_load_md2_file: the frame size is too small for the vertex count\n"},
        {"no_frames.md2", "anim3d_load_md2_file: the model has no frames\n"},
        {"vertex_index.md2", "anim3d_load_md2_file: a triangle's vertex index is out of range\n"},
        {"negative_vertex.md2", "anim3d_load_md2_file: a triangle's vertex index is out of range\n"},
        {"texture_index.md2", "anim3d_load_md2_file: a triangle's texture index is out of range\n"},
        {"other_magic.md2", "anim3d_load_md2_file: the file does not start with \"IDP2\"\n"},
        {"other_version.md2", "anim3d_load_md2_file: the MD2 version is 15, not 8\n"},
    };
    ASSERT_EQ(load(nullptr), 0);
    new_errors();
    for (const damaged& c : cases) {
        polygon* list = nullptr;
        const std::string path = model(std::string("damaged/") + c.file);
        EXPECT_EQ(anim3d_load_md2_file(path.c_str(), &list), nullptr) << c.file;
        EXPECT_EQ(new_errors(), c.report) << c.file;
        EXPECT_EQ(list, nullptr) << c.file;
        EXPECT_EQ(count_animations(), 0) << c.file;
        EXPECT_EQ(load(c.file), -1) << c.file;
        new_errors();
    }
    polygon* list = nullptr;
    const std::string missing = (folder / "missing.md2").string();
    EXPECT_EQ(anim3d_load_md2_file(missing.c_str(), &list), nullptr);
    EXPECT_EQ(new_errors(), "anim3d_load_md2_file: cant read the file " + missing + "\n");
}

TEST_F(Md2Model, FrameNamesAreReadToSixteenBytesAndUnnamedFramesGetTheirIndex) {
    polygon* list = nullptr;
    anim3d* a = load_model("longname.md2", &list);
    ASSERT_NE(a, nullptr);
    EXPECT_STREQ(a->frames->name, "abcdefghijklmnop");
    EXPECT_STREQ(a->sequences->name, "abcdefghijklmnop");
    EXPECT_STREQ(list->name, "abcdefghijklmnop0");
    polygon_list_free(&list);

    a = anim3d_load_md2_file(model("unnamed.md2").c_str(), &list);
    ASSERT_NE(a, nullptr);
    EXPECT_STREQ(a->frames->name, "frame0");
    EXPECT_STREQ(a->frames->next->name, "frame1");
    ASSERT_EQ(names_of(a->sequences), (std::vector<std::string>{"frame"}));
    EXPECT_EQ(a->sequences->step_count, 2);
    polygon_list_free(&list);
}

TEST_F(Md2Model, ASkinSideOfZeroCountsAsOne) {
    polygon* list = nullptr;
    ASSERT_NE(load_model("flatskin.md2", &list), nullptr);
    expect_points(list, {{5, 5, -5, 0, 0}, {-5, 5, -5, 32, 0}, {5, -5, -5, 32, 16}});
    polygon_list_free(&list);
}

TEST_F(Md2Model, AModelLoadsAsAWorldAndAddsIntoTheLiveState) {
    model("walker.md2");
    ASSERT_EQ(load("walker.md2", load_flags::editor), 0);
    EXPECT_STREQ(engine_state.main_module->name, "MAIN");
    EXPECT_EQ(polygon_list_count(engine_state.main_module->root->polygons), 2);
    ASSERT_EQ(count_animations(), 1);
    EXPECT_EQ(engine_add_world_any_format("walker.md2", folder.string().c_str(), nullptr, {0, 0, 0}), nullptr);
    EXPECT_EQ(count_animations(), 1) << "the unchanged model's animation is used again";
    EXPECT_EQ(polygon_list_count(engine_state.main_module->root->polygons), 4);
}

TEST_F(Md2Model, AnObjectMadeFromAModelPlaysItsFirstSequence) {
    ASSERT_EQ(load(nullptr), 0);
    dynamic_object* d = dynamic_create_from_file(model("walker.md2").c_str());
    ASSERT_NE(d, nullptr);
    EXPECT_STREQ(d->name, "walker.md2");
    ASSERT_EQ(d->animation3d, engine_state.animations3d);
    ASSERT_NE(d->sequence, nullptr);
    EXPECT_STREQ(d->sequence->name, "run");
    EXPECT_EQ(d->own_module->root->polygons->owner, d);
    dynamic_object* second = dynamic_create_from_file((folder / "walker.md2").string().c_str());
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->animation3d, d->animation3d) << "an unchanged model is shared";
    EXPECT_EQ(count_animations(), 1);
}

}  // namespace
