// Draw buffers: sizing and reuse of the cells, external cells, clearing and the picture box.
#include <cstring>
#include <vector>

#include "../../common/render_fixture.h"
#include "engine_state_load.h"
#include "render/software/draw_buffer.h"
#include "render/software/frame_buffers.h"

namespace {

class DrawBuffers : public RenderTest {
protected:
    void TearDown() override {
        free_draw_buffer(&db_);
        RenderTest::TearDown();
    }
    draw_buffer db_{};
};

TEST_F(DrawBuffers, IllegalCellSizeFallsBackToTwo) {
    init_draw_buffer(&db_, 3);
    EXPECT_EQ(db_.bytes_per_cell, 2);
    EXPECT_STREQ(engine_get_last_error(), "init_draw_buffer: illegal bytes_per_cell");
    for (int size : {1, 2, 4}) {
        init_draw_buffer(&db_, size);
        EXPECT_EQ(db_.bytes_per_cell, size);
    }
}

TEST_F(DrawBuffers, SameCapacityKeepsTheCells) {
    init_draw_buffer(&db_, 2);
    ASSERT_EQ(set_buffer_dimentions(&db_, 10, 6), 0);
    EXPECT_EQ(db_.capacity, 60);
    EXPECT_EQ(db_.cell_count, 60);
    void* cells = db_.cells;
    ASSERT_EQ(set_buffer_dimentions(&db_, 6, 10), 0);
    EXPECT_EQ(db_.cells, cells) << "6 x 10 needs exactly the present capacity";
    EXPECT_EQ(db_.width, 6);
    ASSERT_EQ(set_buffer_dimentions(&db_, 5, 10), 0);
    EXPECT_EQ(db_.capacity, 50) << "a smaller size reallocates too";
    cells = db_.cells;
    ASSERT_EQ(set_buffer_dimentions_advanced(&db_, 4, 4, 50, 0, nullptr), 0);
    EXPECT_EQ(db_.cells, cells) << "the minimum capacity decides";
    EXPECT_EQ(db_.capacity, 50);
    ASSERT_EQ(set_buffer_dimentions(&db_, 2, 2), 0);
    EXPECT_EQ(db_.cells, cells) << "the short form keeps the minimum";
}

TEST_F(DrawBuffers, BadSizesLeaveTheBufferAsItWas) {
    init_draw_buffer(&db_, 4);
    ASSERT_EQ(set_buffer_dimentions(&db_, 8, 8), 0);
    void* cells = db_.cells;
    EXPECT_EQ(set_buffer_dimentions(&db_, -1, 8), -1);
    EXPECT_EQ(set_buffer_dimentions(&db_, 100000, 100000), -1);
    EXPECT_EQ(db_.cells, cells);
    EXPECT_EQ(db_.width, 8);
    EXPECT_EQ(db_.cell_count, 64);
    EXPECT_EQ(set_buffer_dimentions_advanced(nullptr, 1, 1, 0, 0, nullptr), -1);
    EXPECT_STREQ(engine_get_last_error(), "set_buffer_dimentions_advanced: db==NULL ");
    ASSERT_EQ(set_buffer_dimentions(&db_, 0, 8), 0);
    EXPECT_EQ(db_.cells, nullptr);
    EXPECT_EQ(db_.picture_width, 0) << "an empty buffer has no picture box";
}

TEST_F(DrawBuffers, ExternalCellsAreNeverFreedOrReallocated) {
    std::vector<uint16_t> outside(200, 0x1234);
    init_draw_buffer(&db_, 2);
    ASSERT_EQ(set_buffer_dimentions(&db_, 4, 4), 0);
    ASSERT_EQ(set_buffer_dimentions_advanced(&db_, 10, 20, 0, 1, outside.data()), 0);
    EXPECT_EQ(db_.cells, outside.data());
    EXPECT_EQ(db_.external_memory, 1);
    ASSERT_EQ(set_buffer_dimentions(&db_, 5, 5), 0);
    EXPECT_EQ(db_.cells, outside.data()) << "resizing keeps the external cells";
    clear_draw_buffer_buffer(&db_, 0xABCD);
    EXPECT_EQ(outside[24], 0xABCD);
    EXPECT_EQ(outside[25], 0x1234) << "only width x length cells are cleared";
    // Leaving external mode allocates owned cells and leaves the outside ones alone.
    ASSERT_EQ(set_buffer_dimentions_advanced(&db_, 3, 3, 0, 1, nullptr), 0);
    EXPECT_NE(db_.cells, outside.data());
    EXPECT_EQ(db_.external_memory, 0);
    ASSERT_EQ(set_buffer_dimentions_advanced(&db_, 10, 20, 0, 1, outside.data()), 0);
    free_draw_buffer(&db_);
    EXPECT_EQ(db_.cells, nullptr);
    EXPECT_EQ(outside[0], 0xABCD) << "freeing the buffer does not touch the outside cells";
}

TEST_F(DrawBuffers, ClearFillsEveryCellSize) {
    for (int size : {1, 2, 4}) {
        init_draw_buffer(&db_, size);
        ASSERT_EQ(set_buffer_dimentions(&db_, 3, 2), 0);
        clear_draw_buffer_buffer(&db_, 0x89ABCDEF);
        const auto* bytes = static_cast<const uint8_t*>(db_.cells);
        for (int i = 0; i < 6; ++i) {
            uint32_t cell = 0;
            std::memcpy(&cell, bytes + i * size, size);
            const uint32_t expected = size == 1 ? 0xEF : size == 2 ? 0xCDEF : 0x89ABCDEF;
            EXPECT_EQ(cell, expected) << size;
        }
        free_draw_buffer(&db_);
    }
    clear_draw_buffer_buffer(&db_, 0);
    EXPECT_STREQ(engine_get_last_error(), "clear_draw_buffer_buffer: db==NULL || db->buffer==NULL");
}

TEST_F(DrawBuffers, PictureBoxLimits) {
    init_draw_buffer(&db_, 2);
    ASSERT_EQ(set_buffer_dimentions(&db_, 10, 8), 0);
    EXPECT_EQ(get_picture_width(&db_), 10);
    EXPECT_EQ(get_picture_length(&db_), 8);
    ASSERT_EQ(set_picture_box(&db_, 2, 3, 9, 7), 0);
    EXPECT_EQ(get_picture_top_left_x(&db_), 2);
    EXPECT_EQ(get_picture_top_left_y(&db_), 3);
    EXPECT_EQ(get_picture_width(&db_), 8);
    EXPECT_EQ(get_picture_length(&db_), 5);
    EXPECT_EQ(db_.picture_start, 32);
    EXPECT_EQ(db_.picture_cell_count, 40);
    EXPECT_EQ(get_picture_first_cell(&db_), static_cast<uint8_t*>(db_.cells) + 64);
    struct refused {
        int x1, y1, x2, y2;
        const char* message;
    };
    const refused cases[] = {
        {2, 3, 10, 7, "set_picture_box: Error, picture exceeds buffer area !!!"},
        {2, 3, 9, 8, "set_picture_box: Error, picture exceeds buffer area !!!"},
        {-1, 0, 3, 3, "set_picture_box: bad box parameters !!"},
        {0, -1, 3, 3, "set_picture_box: bad box parameters !!"},
        {4, 0, 3, 3, "set_picture_box: bad box parameters !!"},
        {0, 4, 3, 3, "set_picture_box: bad box parameters !!"},
    };
    for (const refused& r : cases) {
        EXPECT_EQ(set_picture_box(&db_, r.x1, r.y1, r.x2, r.y2), -1);
        EXPECT_STREQ(engine_get_last_error(), r.message);
        EXPECT_EQ(get_picture_top_left_x(&db_), 2) << "a refused box changes nothing";
        EXPECT_EQ(get_picture_width(&db_), 8);
    }
    EXPECT_EQ(set_picture_box(nullptr, 0, 0, 1, 1), -1);
    EXPECT_STREQ(engine_get_last_error(), "set_picture_box: db==NULL ");
    EXPECT_EQ(get_picture_width(nullptr), 0);
    EXPECT_STREQ(engine_get_last_error(), "get_picture_width: db==NULL ");
}

TEST_F(DrawBuffers, WorldResetSetsUpTheFrameBuffersAndCloseFreesThem) {
    engine_init_world_state(0, 5, 6, 5, 0);
    EXPECT_EQ(coverage_mask_buffer().bytes_per_cell, 1);
    EXPECT_EQ(zbuffer_buffer().bytes_per_cell, 4);
    ASSERT_EQ(set_buffer_dimentions(&zbuffer_buffer(), 16, 16), 0);
    EXPECT_EQ(engine_state.zbuffer_state, 1);
    EXPECT_EQ(engine_state.background_pixel, 0xA515);
    engine_close(0);
    EXPECT_EQ(zbuffer_buffer().cells, nullptr);
}

}  // namespace
