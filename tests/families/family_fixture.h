// A loaded, empty world for the family tests: logs in a temp folder, boxes recorded, and a check
// that every record and byte the case made is freed again.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drovik.h"
#include "foundation/engine_globals.h"
#include "foundation/memory.h"
#include "foundation/registry.h"
#include "platform/msgbox.h"
#include "../common/files.h"
#include "work_dir.h"
#include "world/dynamic_object.h"
#include "world/engine_state.h"
#include "world/object_module.h"
#include "world/polygon.h"

// One export of a family table as the tests hold it: the export, the name its check prints, its
// result when refused, and a call of it with the handle given.
struct family_row {
    const char* export_name;
    const char* check_name;
    double failure;
    double (*call)(DROVIK_HANDLE);
};

inline double as_number(const void* handle) { return handle ? 1 : 0; }

class FamilyTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine_set_speaker_mode(0);
        ASSERT_EQ(open_log_files(), 0);
        records_before_ = registry_size();
        bytes_before_ = engine_get_bytes_in_use();
        engine_state_reset(0);
        engine_set_world_loaded(1);
        seen_ = log().size();
        plat_message_box_clear_records();
    }

    void TearDown() override {
        Drovik_camera_delete_all();
        dynamic_free_all(&engine_state.dynamic_objects);
        module_list_free(&engine_state.modules);
        engine_state_release();
        engine_set_world_loaded(0);
        EXPECT_EQ(registry_size(), records_before_) << "records left alive";
        EXPECT_EQ(engine_get_bytes_in_use(), bytes_before_) << "engine memory leaked";
    }

    void set_editor_mode(int editor) { engine_state.editor_mode = editor; }

    // Every row's export called with a polygon where its handle belongs: the row's failure value,
    // the wrong-kind line under the row's check name and one box captioned with it.
    template <typename Row, size_t count>
    void expect_foreign_handles_refused(const Row (&rows)[count], const std::string& box_text) {
        void* foreign = record_create(sizeof(::polygon), kind_polygon);
        for (const Row& row : rows) {
            SCOPED_TRACE(row.export_name);
            EXPECT_EQ(row.call(foreign), row.failure);
            EXPECT_EQ(new_log(), std::string(row.check_name) +
                                     ": Fatal, got a different kind of handle\nCheck if you accidantlly gave the "
                                     "wrong handle !\n");
            const std::vector<plat_box_record> boxes = new_boxes();
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].caption, row.check_name);
            EXPECT_EQ(boxes[0].text, box_text);
        }
        record_destroy(foreign);
    }

    // A 2 x 2 square in the plane x = at, centred on the x axis, seen from the +x side.
    static polygon* wall_at(double at) {
        polygon* p = init_poly();
        for (const vec3& q : {vec3{at, -1, -1}, vec3{at, -1, 1}, vec3{at, 1, 1}, vec3{at, 1, -1}}) {
            const double values[6] = {q.x, q.y, q.z, 0, 0, 8};
            polygon_add_point(p, values);
        }
        return p;
    }

    std::string log() { return read_file(work_.dir() / "error.log"); }

    // The report lines written since the last call.
    std::string new_log() {
        const std::string text = log();
        const std::string tail = text.substr(seen_);
        seen_ = text.size();
        return tail;
    }

    // The boxes shown since the last call, as caption and text.
    std::vector<plat_box_record> new_boxes() {
        std::vector<plat_box_record> boxes = plat_message_box_records();
        plat_message_box_clear_records();
        return boxes;
    }

    temp_work_dir work_;
    size_t seen_ = 0;
    size_t records_before_ = 0;
    uint32_t bytes_before_ = 0;
};

// A 400 x 300 camera at the origin looking along -x, made current.
class ViewTest : public FamilyTest {
protected:
    void SetUp() override {
        FamilyTest::SetUp();
        DROVIK_CAMERA_VALUES values;
        DROVIK_HANDLE probe = Drovik_camera_create("probe");
        Drovik_camera_save(probe, &values);
        values.width = 400;
        values.height = 300;
        eye_ = static_cast<camera*>(Drovik_camera_recreate("eye", &values));
        ASSERT_NE(eye_, nullptr);
        engine_state.current_camera = eye_;
    }
    camera* eye_ = nullptr;
};
