// A small frame with coverage mask and z-buffer, a hand-set camera and polygon for the rasteriser.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <utility>
#include <vector>

#include "foundation/errors.h"
#include "platform/msgbox.h"
#include "render/software/polygon_raster.h"
#include "world/colour.h"
#include "world/engine_state.h"

class RasterTest : public ::testing::Test {
protected:
    static constexpr int width = 32;
    static constexpr int height = 24;
    static constexpr uint16_t background = 0x0001;

    void SetUp() override {
        plat_message_box_set_headless(true);
        engine_set_speaker_mode(0);
        engine_state_reset(0);
        engine_state.zbuffer_state = 0;
        frame_.assign(width * height, background);
        mask_.assign(width * height / 32 + 1, 0);
        zbuffer_.assign(width * height, 0);
        raster_frame& f = raster_frame_state();
        saved_ = f;
        f.coverage = mask_.data();
        f.zbuffer = zbuffer_.data();
        f.zbuffer_cells = width * height;
        f.marked = nullptr;
        cam_ = camera{};
        cam_.width = width;
        cam_.height = height;
        cam_.middle_x = width / 2;
        cam_.middle_y = height / 2;
        cam_.buffer_pitch = width;
        cam_.frame_destination = frame_.data();
        cam_.distance_from_eye = 1;
        cam_.perspective = 1;
        matrix_identity(cam_.matrix);
        matrix_identity(cam_.inverse_matrix);
        poly_ = polygon{};
        poly_.drawer_index = 8;
        poly_.colour_pixel = 0xC945;
        poly_.average_brightness = 8;
        poly_.light_diminution = 0.0096;
        poly_.linear_bitmap_cords = 1;
        poly_.plane[0] = 1;
    }

    void TearDown() override {
        raster_frame_state() = saved_;
        engine_state_release();
    }

    void clear() {
        frame_.assign(frame_.size(), background);
        mask_.assign(mask_.size(), 0);
        zbuffer_.assign(zbuffer_.size(), 0);
    }

    // Fills projected points at depth 10 (camera x = -10).
    int fill(const std::vector<projected_point>& projected) {
        camera_points_.clear();
        for (const projected_point& p : projected) camera_points_.push_back({-10, p.x, p.y, 0, 0, 8});
        projected_ = projected;
        return fill_polygon_software(&cam_, &poly_, camera_points_.data(), static_cast<int>(projected_.size()),
                                     camera_points_.data(), projected_.data());
    }

    std::set<std::pair<int, int>> drawn() const {
        std::set<std::pair<int, int>> out;
        for (int r = 0; r < height; ++r) {
            for (int c = 0; c < width; ++c) {
                if (frame_[r * width + c] != background) out.insert({c, r});
            }
        }
        return out;
    }

    static std::set<std::pair<int, int>> block(int c0, int c1, int r0, int r1) {
        std::set<std::pair<int, int>> out;
        for (int r = r0; r <= r1; ++r) {
            for (int c = c0; c <= c1; ++c) out.insert({c, r});
        }
        return out;
    }

    std::vector<uint16_t> frame_;
    std::vector<uint32_t> mask_;
    std::vector<uint32_t> zbuffer_;
    std::vector<clip_point> camera_points_;
    std::vector<projected_point> projected_;
    camera cam_{};
    polygon poly_{};
    raster_frame saved_{};
};
