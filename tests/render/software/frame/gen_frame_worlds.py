#!/usr/bin/env python3
"""Writes the binary worlds of the frame tests straight from the file format's tables: solid quads
facing a camera at the origin that looks along -x. Usage: gen_frame_worlds.py OUTPUT_FOLDER"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "formats"))
import gen_binary_world as gen  # noqa: E402

BACKGROUND = (160, 160, 170)


def plain_world():
    w = gen.empty_world()
    w["group_names"] = ["world"]
    w["groups"] = [(1, 0, 0)]
    w["cords"] = [(0, 0), (1, 0), (1, 1), (0, 1)]
    w["settings"].update({"brightness": 0, "atmosphere": BACKGROUND, "default_colour": BACKGROUND,
                          "pixel": gen.rgb565(*BACKGROUND), "render_group": 0, "max_time": 1000000,
                          "min_time": 2, "camera_mover": 0, "speed_units": 1, "animation_timing": 1})
    return w


def add_wall(w, x, y0, y1, z0, z1, colour):
    """The rectangle y0..y1 by z0..z1 standing at x, facing +x; returns its polygon index (from 1)."""
    first = len(w["points"])
    for y, z in ((y1, z1), (y1, z0), (y0, z0), (y0, z1)):
        w["points"].append(((x, y, z), (255, 255, 255), (127, 0, 0)))
    w["polygons"].append({"presence": gen.P_COLOUR | gen.P_GROUP, "colour": colour, "group": 1,
                          "points": [first, first + 1, first + 2, first + 3], "cords": [0, 1, 2, 3]})
    return len(w["polygons"])


def two_quads():
    w = plain_world()
    add_wall(w, -200, -50, 50, -30, 30, (200, 40, 40))
    add_wall(w, -100, 0, 60, -20, 20, (40, 200, 40))
    return w


def quads_and_object():
    """The two quads and, between them, a quad that belongs to a dynamic object standing at the
    origin unturned, so its points are where the file puts them."""
    w = two_quads()
    index = add_wall(w, -160, -40, 20, -10, 40, (40, 40, 200))
    w["dynamic"] = [{"name": "board", "father": None, "control": 0, "track": None, "track_offset": (0, 0, 0),
                     "chase": None, "chase_offset": (0, 0, 0), "chase_type": None, "softness": 0,
                     "chase_distance": 0, "speed": (0, 0, 0), "force": (0, 0, 0), "rotation": (0, 0, 0),
                     "friction": 0, "elasticity": 0, "max_speed": 0, "rotation_space": 0,
                     "reference": (0, 0, 0), "rows": gen.IDENTITY, "location": (0, 0, 0), "scale": (1, 1, 1),
                     "polygons": [index]}]
    return w


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, world in (("two_quads", two_quads()), ("quads_and_object", quads_and_object())):
        data, _ = gen.build(world)
        with open(os.path.join(out, name + ".drovik"), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
