// A small frame, coverage mask, z-buffer and texture for driving span drawers directly.
#pragma once
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "render/software/fill_bag.h"
#include "render/software/span_drawers.h"

class SpanTest : public ::testing::Test {
protected:
    static constexpr int frame_width = 256;
    static constexpr uint16_t untouched = 0x1234;

    void SetUp() override {
        clear();
        // Texel k of row r is (k + r) & 255; shade table level l maps texel t to (l << 8) | t.
        texels_.resize(256 * 4);
        for (int r = 0; r < 4; ++r) {
            for (int k = 0; k < 256; ++k) texels_[r * 256 + k] = static_cast<uint8_t>((k + r) & 255);
        }
        for (int l = 0; l < 32; ++l) {
            tables_[l].resize(256);
            for (int t = 0; t < 256; ++t) tables_[l][t] = static_cast<uint16_t>((l << 8) | t);
            table_pointers_[l] = tables_[l].data();
            averages_[l] = static_cast<uint16_t>(0xA000 + l);
        }
        bag_ = fill_bag{};
        bag_.texture = {texels_.data(), table_pointers_.data(), nullptr, 256, 4, 0};
        bag_.distance_from_eye = 4;
        bag_.shade_level = 8;
        set_step(8, 3);
        // Depth 10 everywhere, u = x, v = 0.
        set_planes({0, 0, -0.1}, {-0.1, 0, 0}, {0, 0, 0});
    }

    // A fresh frame, mask and z-buffer; the bag and texture stay.
    void clear() {
        frame_.assign(frame_width, untouched);
        mask_.assign(frame_width / 32, 0);
        zbuffer_.assign(frame_width, 0);
    }

    void set_step(int n, int log2) {
        bag_.step = n;
        bag_.step_log2 = static_cast<uint8_t>(log2);
        bag_.step_reciprocal = 1.0 / n;
    }

    void set_planes(interpolation_plane inverse_z, interpolation_plane u_z, interpolation_plane v_z) {
        bag_.inverse_z = inverse_z;
        bag_.u_z = u_z;
        bag_.v_z = v_z;
    }

    // Points the bag at a span of n pixels starting at column `first` of the frame row.
    void span(int first, int n) {
        bag_.span_x = first + 0.5;
        bag_.span_y = 0.5;
        bag_.span_length = n;
        bag_.destination = frame_.data() + first;
        bag_.zbuffer_cell = zbuffer_.data() + first;
        bag_.mask_word = mask_.data() + first / 32;
        bag_.mask_bit = first % 32;
        bag_.span_free = 1;
        bag_.drew = 0;
    }

    bool covered(int column) const { return (mask_[column / 32] >> (column % 32)) & 1; }
    void cover(int column) { mask_[column / 32] |= 1u << (column % 32); }

    std::vector<uint16_t> frame_;
    std::vector<uint32_t> mask_;
    std::vector<uint32_t> zbuffer_;
    std::vector<uint8_t> texels_;
    std::array<std::vector<uint16_t>, 32> tables_;
    std::array<const uint16_t*, 32> table_pointers_{};
    std::array<uint16_t, 32> averages_{};
    fill_bag bag_{};
};
