// Handle checks: NULL handles, other kinds and garbage addresses, loud with a name, silent without.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "api/export_guards.h"
#include "drovik.h"
#include "foundation/engine_globals.h"
#include "foundation/registry.h"
#include "platform/msgbox.h"
#include "world/records.h"
#include "work_dir.h"


namespace {

class HandleChecks : public ::testing::Test {
protected:
    void SetUp() override {
        engine_set_speaker_mode(0);
        ASSERT_EQ(open_log_files(), 0);
        seen_ = log().size();
    }
    std::string log() { return read_file(work_.dir() / "Drovik.log"); }
    std::string new_log() {
        const std::string text = log();
        const std::string tail = text.substr(seen_);
        seen_ = text.size();
        return tail;
    }
    temp_work_dir work_;
    size_t seen_ = 0;
};

struct check_case {
    int (*check)(DROVIK_HANDLE, const char*);
    int32_t kind;
    const char* null_log;
    const char* null_box;
    const char* word;
};

const check_case cases[] = {
    {Drovik_camera_is_camera, kind_camera, "Camera handle is NULL\n", "Camera handle is NULL", "camera"},
    {Drovik_object_is_object, kind_dynamic_object, "Object handle is NULL\n", "Object handle is NULL", "object"},
    {Drovik_bitmap_is_bitmap, kind_bitmap, "bitmap handle is NULL\n", "bitmap handle is NULL", "bitmap"},
    {Drovik_track_is_track, kind_track, "Track handle is NULL\n", "track handle is NULL", "track"},
    {Drovik_animation_is_animation, kind_animation, "animation handle is NULL\n", "animation handle is NULL",
     "animation"},
    {Drovik_background_is_background, kind_background, "background handle is NULL\n",
     "background handle is NULL", "background"},
    {Drovik_polygon_is_polygon, kind_polygon, "polygon handle is NULL\n", "polygon handle is NULL", "polygon"},
    {Drovik_point_is_point, kind_point, "point handle is NULL\n", "point handle is NULL", "point"},
    {Drovik_light_is_light, kind_light, "light handle is NULL\n", "light handle is NULL", "light"},
    {Drovik_3D_animation_is_3D_animation, kind_anim3d, "animation3d handle is NULL\n",
     "animation3d handle is NULL", "anim3d"},
    {Drovik_3D_sequence_is_3D_sequence, kind_seq3d, "sequence3d handle is NULL\n", "sequence3d handle is NULL",
     "seq3d"},
};

TEST_F(HandleChecks, EachKindAcceptsItsOwnRecordsAndNamesItsFaults) {
    const std::string wrong_log =
        "Fatal, got a different kind of handle\nCheck if you accidantlly gave the wrong handle !\n";
    for (const check_case& c : cases) {
        SCOPED_TRACE(c.word);
        void* own = record_create(64, c.kind);
        void* other = record_create(64, c.kind == kind_polygon ? kind_point : kind_polygon);
        plat_message_box_clear_records();
        EXPECT_EQ(c.check(own, "Drovik_x"), 1);
        EXPECT_EQ(new_log(), "");

        EXPECT_EQ(c.check(nullptr, "Drovik_x"), 0);
        EXPECT_EQ(new_log(), std::string("Drovik_x: ") + c.null_log);
        EXPECT_EQ(c.check(other, "Drovik_x"), 0);
        EXPECT_EQ(new_log(), "Drovik_x: " + wrong_log);
        const std::string garbage = std::string("Illegal ") + c.word +
                                    " handle\nIllegal memory address !!!\nThis is garbage memory instead of a handle";
        // An address that is no record: never read, so even an unmapped one is safe.
        EXPECT_EQ(c.check(reinterpret_cast<DROVIK_HANDLE>(static_cast<uintptr_t>(0x10)), "Drovik_x"), 0);
        EXPECT_EQ(new_log(), "Drovik_x: " + garbage + "\n");

        const auto boxes = plat_message_box_records();
        ASSERT_EQ(boxes.size(), 3u);
        for (const auto& box : boxes) EXPECT_EQ(box.caption, "Drovik_x");
        EXPECT_EQ(boxes[0].text, c.null_box);
        EXPECT_EQ(boxes[1].text, c.kind == kind_dynamic_object
                                     ? "Fatal, It is not an object handle !.Got a different kind of handle\n"
                                       "Check if you accidantlly gave the wrong handle !"
                                     : "Fatal, got a different kind of handle\n"
                                       "Check if you accidantlly gave the wrong handle !");
        EXPECT_EQ(boxes[2].text, garbage);
        record_destroy(own);
        record_destroy(other);
    }
}

TEST_F(HandleChecks, WithoutANameTheyTestSilently) {
    // A freed record's address may be handed to the next record; memory the case holds cannot be.
    std::vector<unsigned char> held(64);
    void* dangling = held.data();
    void* point_record = record_create(64, kind_point);
    plat_message_box_clear_records();
    for (const check_case& c : cases) {
        EXPECT_EQ(c.check(nullptr, nullptr), 0);
        EXPECT_EQ(c.check(dangling, nullptr), 0) << "an address no record holds is garbage";
    }
    EXPECT_EQ(Drovik_camera_is_camera(point_record, nullptr), 0);
    EXPECT_EQ(new_log(), "");
    EXPECT_TRUE(plat_message_box_records().empty());
    record_destroy(point_record);
}

TEST_F(HandleChecks, ANullGroupIsTheWholeWorld) {
    plat_message_box_clear_records();
    EXPECT_EQ(Drovik_group_is_group(nullptr, "Drovik_group_get_name"), 1);
    void* g = record_create(sizeof(group), kind_group);
    EXPECT_EQ(Drovik_group_is_group(g, "Drovik_group_get_name"), 1);
    record_destroy(g);
    EXPECT_EQ(Drovik_group_is_group(g, "Drovik_group_get_name"), 0);
    EXPECT_EQ(new_log(),
              "Drovik_group_get_name: Illegal group handle\nIllegal memory address !!!\n"
              "This is garbage memory instead of a handle\n");
    EXPECT_EQ(plat_message_box_records().size(), 1u);
}

TEST_F(HandleChecks, GuardsRefuseCallsInTheWrongStateWithOneBox) {
    plat_message_box_clear_records();
    engine_set_world_loaded(0);
    EXPECT_FALSE(api_world_guard("Drovik_camera_set_zoom"));
    engine_set_world_loaded(1);
    EXPECT_TRUE(api_world_guard("Drovik_camera_set_zoom"));
    engine_set_world_loaded(0);
    EXPECT_FALSE(api_editor_only_guard("Drovik_polygon_create", false));
    EXPECT_TRUE(api_editor_only_guard("Drovik_polygon_create", true));
    EXPECT_FALSE(api_viewer_only_guard("Drovik_object_advance", true));
    EXPECT_FALSE(api_viewer_mode_guard("Drovik_object_create", true));
    EXPECT_FALSE(api_polygon_geometry_guard("Drovik_polygon_move", false, false));
    EXPECT_TRUE(api_polygon_geometry_guard("Drovik_polygon_move", true, false));
    EXPECT_FALSE(api_chase_handles_guard("Drovik_camera_set_object_to_chase", true));
    const auto boxes = plat_message_box_records();
    ASSERT_EQ(boxes.size(), 6u);
    for (const auto& box : boxes) EXPECT_EQ(box.caption, "Warning");
    EXPECT_EQ(boxes[0].text,
              "Drovik_camera_set_zoom:\nYou must call Drovik_engine_load_world()\n before calling this function !!\n");
    EXPECT_EQ(boxes[1].text, "Drovik_polygon_create:\nWorks only in editor mode !!\n");
    EXPECT_EQ(boxes[2].text, "Drovik_object_advance:\nWorks only in viewer mode !!\n");
    EXPECT_EQ(boxes[3].text, "Drovik_object_create:\nWorks only in VIEWER_MODE !!\n");
    EXPECT_EQ(boxes[4].text, "Drovik_polygon_move:\nWorks only on object polygons or in editor mode !!\n");
    EXPECT_EQ(boxes[5].text,
              "Drovik_camera_set_object_to_chase: In editor mode use\nDrovik_camera_(s/g)et_name_to_chase() instead\n");
}

}  // namespace
