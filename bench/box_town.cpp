// Generated box towns for the benchmarks: boxes of six quadrilaterals on a street grid.
#include "box_town.h"

#include <cmath>
#include <string>
#include <utility>

bf_world box_town(int polygons) {
    using namespace bf_layout;
    const int boxes = (polygons + 5) / 6;
    const int side = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(boxes))));
    bf_world w;
    w.cords = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    w.group_names.push_back("town");
    w.groups.push_back({1, 0, 0});
    for (int street = 0; street < side; ++street) {
        w.group_names.push_back("street_" + std::to_string(street));
        w.groups.push_back({static_cast<uint32_t>(w.group_names.size()), 1, 0});
    }
    static constexpr int faces[6][4] = {{0, 1, 2, 3}, {4, 7, 6, 5}, {0, 4, 5, 1},
                                        {1, 5, 6, 2}, {2, 6, 7, 3}, {3, 7, 4, 0}};
    for (int b = 0; b < boxes && static_cast<int>(w.polygons.size()) < polygons; ++b) {
        const int row = b / side, column = b % side;
        const float x = column * 400.0f, y = row * 400.0f;
        const float width = 100.0f + static_cast<float>((b * 37) % 150);
        const float depth = 100.0f + static_cast<float>((b * 53) % 150);
        const float height = 80.0f + static_cast<float>((b * 71) % 300);
        const auto red = static_cast<uint8_t>(60 + b % 150), green = static_cast<uint8_t>(80 + b % 120);
        const auto first = static_cast<uint32_t>(w.points.size());
        for (int corner = 0; corner < 8; ++corner) {
            const float cx = (corner == 1 || corner == 2 || corner == 5 || corner == 6) ? x + width : x;
            const float cy = (corner == 2 || corner == 3 || corner == 6 || corner == 7) ? y + depth : y;
            const float cz = corner < 4 ? 0.0f : height;
            w.points.push_back({cx, cy, cz, red, green, 90, 0, 0, 0});
        }
        for (const auto& face : faces) {
            if (static_cast<int>(w.polygons.size()) >= polygons) break;
            bf_polygon p;
            p.presence = has_group;
            p.kind_word = kind_four_points | kind_collisional;
            p.group = static_cast<uint32_t>(row + 2);
            for (int k = 0; k < 4; ++k) {
                p.points.push_back(first + static_cast<uint32_t>(face[k]));
                p.cords.push_back(static_cast<uint32_t>(k));
            }
            w.polygons.push_back(std::move(p));
        }
    }
    return w;
}
