#!/usr/bin/env python3
"""Writes binary world fixtures (".drovik") straight from the file format's tables, and damaged
copies of them. Usage: gen_binary_world.py OUTPUT_FOLDER [SEED_CORPUS_FOLDER]"""
import os
import struct
import sys

HEADER_SIZE = 196
POINT, CORD, GROUP, BSP, CAMERA, TRACK, DYNAMIC, ANIMATION, BACKGROUND, LIGHT, SETTINGS = (
    20, 8, 12, 28, 164, 16, 188, 32, 28, 76, 92)

# Polygon presence bits.
P_NEXT, P_COLOUR, P_GROUP, P_DIMINUTION, P_ANIMATION, P_BLENDING, P_PATCH = 0x1, 0x2, 0x4, 0x8, 0x10, 0x20, 0x40
P_NEXT_PATCH, P_PREV_PATCH, P_FAMILY_HEAD, P_FAMILY_NEXT = 0x80, 0x100, 0x200, 0x400
P_AMBIENT, P_DIFFUSE, P_SPECULAR, P_SHINING, P_BITMAP, P_NAME = 0x800, 0x1000, 0x2000, 0x4000, 0x8000, 0x10000
# Kind word bits.
K_TRANSPARENT, K_TRANSPARENT_ZERO, K_THREE, K_FOUR, K_MANY = 0x80, 0x100, 0x200, 0x400, 0x800
K_COLLISIONAL = 0x20


def width(count):
    return 1 if count < 256 else 2 if count < 65536 else 4


def index(value, count):
    return value.to_bytes(width(count), "little")


class Section:
    """Fixed records followed by their strings and lists; `base` is the section's file offset."""

    def __init__(self, base, record_count, record_size):
        self.records = bytearray()
        self.heap = bytearray()
        self.heap_base = base + record_count * record_size

    def here(self):
        return self.heap_base + len(self.heap)

    def string(self, text):
        if text is None:
            return 0
        offset = self.here()
        self.heap += text.encode("latin-1") + b"\0"
        return offset

    def data(self):
        return bytes(self.records + self.heap)


def f32(*values):
    return struct.pack("<%df" % len(values), *values)


def i32(*values):
    return struct.pack("<%di" % len(values), *values)


def names_blob(names):
    return b"".join(n.encode("latin-1") + b"\0" for n in names)


def polygon_bytes(p, w):
    npoly, ngroup, nanim = len(w["polygons"]), len(w["groups"]), len(w["animations"])
    nbitmap, nname, npoint, ncord = (len(w["bitmap_names"]), len(w["polygon_names"]),
                                     len(w["points"]), len(w["cords"]))
    bits = p.get("presence", 0)
    count = len(p["points"])
    kind = p.get("kind", 0)
    if count == 3:
        kind |= K_THREE
    elif count == 4:
        kind |= K_FOUR
    elif count >= 256:
        kind |= K_MANY
    out = bytearray(struct.pack("<II", bits, kind))
    if bits & P_NEXT:
        out += index(p["next"], npoly)
    if bits & P_COLOUR:
        out += bytes(p["colour"])
    if bits & P_BITMAP:
        out += index(p["bitmap"], nbitmap)
    if count not in (3, 4):
        out += struct.pack("<H" if count >= 256 else "<B", count)
    if bits & P_NAME:
        out += index(p["name"], nname)
    if bits & P_GROUP:
        out += index(p["group"], ngroup)
    if bits & P_DIMINUTION:
        out += f32(p["diminution"])
    if (kind & K_TRANSPARENT) and not (kind & K_TRANSPARENT_ZERO):
        out += bytes([p["transparent"]])
    if bits & P_ANIMATION:
        out += index(p["animation"], nanim)
    if bits & P_BLENDING:
        out += bytes([p["blending"]])
    if bits & P_PATCH:
        out += bytes([p["patch_kind"]])
    if bits & P_NEXT_PATCH:
        out += index(p["next_patch"], npoly)
    if bits & P_PREV_PATCH:
        out += index(p["previous_patch"], npoly)
    if bits & P_FAMILY_HEAD:
        out += index(p["family_head"], npoly)
    if bits & P_FAMILY_NEXT:
        out += index(p["family_next"], npoly)
    for bit, key in ((P_AMBIENT, "ambient"), (P_DIFFUSE, "diffuse"), (P_SPECULAR, "specular"),
                     (P_SHINING, "shining")):
        if bits & bit:
            out += bytes([p[key]])
    if bits & P_FAMILY_HEAD:
        out += f32(*p["centre"])
    for i in p["points"]:
        out += index(i, npoint)
    for i in p["cords"]:
        out += index(i, ncord)
    return bytes(out)


def build(w):
    """The file bytes and a map of where each section starts."""
    offsets = {}
    body = bytearray()

    def place(name):
        offsets[name] = HEADER_SIZE + len(body)
        return offsets[name]

    place("points")
    for (x, y, z), (r, g, b), (nx, ny, nz) in w["points"]:
        body += f32(x, y, z) + bytes([r, g, b]) + struct.pack("<bbb", nx, ny, nz) + b"\0\0"
    place("cords")
    for u, v in w["cords"]:
        body += f32(u, v)
    place("bitmap_names")
    body += names_blob(w["bitmap_names"])
    place("group_names")
    body += names_blob(w["group_names"])
    place("groups")
    for name, father, dynamic in w["groups"]:
        body += i32(name, father) + bytes([dynamic, 0, 0, 0])
    place("polygon_names")
    body += names_blob(w["polygon_names"])
    place("polygons")
    offsets["polygon_records"] = []
    for p in w["polygons"]:
        offsets["polygon_records"].append(HEADER_SIZE + len(body))
        body += polygon_bytes(p, w)
    offsets["polygons_size"] = HEADER_SIZE + len(body) - offsets["polygons"]
    place("bsp")
    for plane, first, right, left in w["bsp"]:
        body += f32(*plane) + i32(first, right, left)

    s = Section(place("cameras"), len(w["cameras"]), CAMERA)
    for c in w["cameras"]:
        s.records += i32(s.string(c["name"])) + struct.pack("<HH", *c["size"]) + f32(c["fov"])
        s.records += bytes([c["culling_flag"], 0, 0, 0]) + f32(c["culling_depth"], *c["location"], c["eye"])
        s.records += f32(*c["x_axis"], *c["y_axis"], *c["z_axis"], *c["track_offset"])
        s.records += i32(s.string(c["track"])) + f32(c["chase_distance"]) + i32(s.string(c["chase"]))
        s.records += f32(*c["chase_offset"]) + i32(s.string(c["chase_type"])) + f32(c["softness"])
        s.records += f32(*c["speed"], *c["force"], *c["rotation"]) + bytes([c["rotation_space"], 0, 0, 0])
        s.records += f32(c["elasticity"], c["friction"])
    body += s.data()

    s = Section(place("tracks"), len(w["tracks"]), TRACK)
    for t in w["tracks"]:
        points_at = s.here()
        for p in t["points"]:
            s.heap += f32(*p)
        s.records += i32(len(t["points"]), t["cyclic"], s.string(t["name"]), points_at)
    body += s.data()

    s = Section(place("dynamic"), len(w["dynamic"]), DYNAMIC)
    for d in w["dynamic"]:
        s.records += i32(s.string(d["name"]), s.string(d["father"]), d["control"], s.string(d["track"]))
        s.records += f32(*d["track_offset"]) + i32(s.string(d["chase"])) + f32(*d["chase_offset"])
        s.records += i32(s.string(d["chase_type"])) + f32(d["softness"], d["chase_distance"])
        s.records += f32(*d["speed"], *d["force"], *d["rotation"], d["friction"], d["elasticity"], d["max_speed"])
        s.records += bytes([d["rotation_space"], 0, 0, 0]) + f32(*d["reference"], *d["rows"], *d["location"])
        s.records += f32(*d["scale"])
        list_at = s.here()
        s.heap += i32(*d["polygons"])
        s.records += i32(len(d["polygons"]), list_at)
    body += s.data()

    s = Section(place("animations"), len(w["animations"]), ANIMATION)
    for a in w["animations"]:
        name_at = s.string(a["name"])
        durations_at = s.here()
        s.heap += i32(*a["durations"])
        list_offsets = []
        for frames in a["lists"]:
            if frames is None:
                list_offsets.append(0)
                continue
            names = [s.string(f[2]) for f in frames]
            list_offsets.append(s.here())
            for (has_t, t_index, _, flag), name_at_f in zip(frames, names):
                s.heap += bytes([has_t, t_index, 0, 0]) + i32(name_at_f) + bytes([flag, 0, 0, 0])
        s.records += i32(name_at, len(a["durations"]), durations_at, *list_offsets)
    body += s.data()

    s = Section(place("backgrounds"), len(w["backgrounds"]), BACKGROUND)
    for b in w["backgrounds"]:
        s.records += i32(s.string(b["name"]), s.string(b["bitmap"])) + struct.pack("<HH", b["type"], 0)
        s.records += f32(b["distance"], b["bottom_height"], b["bottom_intensity"], b["step"])
    body += s.data()

    s = Section(place("lights"), len(w["lights"]), LIGHT)
    for l in w["lights"]:
        s.records += i32(s.string(l["name"]), l["target"], l["target_kind"]) + f32(*l["location"])
        s.records += i32(l["type"]) + f32(*l["direction"]) + bytes(l["colour"]) + b"\0"
        s.records += f32(l["reach"]) + i32(l["activate"], l["mode"], l["ray"]) + f32(*l["factors"])
    body += s.data()

    place("settings")
    st = w["settings"]
    body += bytes([st["mode"], st["wire"], st["reserved_byte"], st["zbuffer"]]) + f32(st["fog"])
    body += i32(st["brightness"], 0, st["far_accuracy"])
    body += bytes(st["atmosphere"]) + bytes(st["atmosphere"]) + struct.pack("<H", st["pixel"])
    body += bytes(st["default_colour"]) + b"\0" + struct.pack("<HH", st["pixel"], 0)
    body += f32(*st["reserved_direction"], *st["reserved_pair"], *st["rotation_reference"]) + i32(st["render_group"])
    body += bytes([st["advance_objects"], st["advance_cameras"], 0, 0]) + f32(st["perspective"])
    body += bytes([st["speed_units"], st["camera_mover"], st["animation_timing"], 0])
    body += i32(st["max_time"], st["min_time"])

    h = bytearray(HEADER_SIZE)
    h[0:6] = b"Drovik"
    struct.pack_into("<HH", h, 8, 4, 5)

    def put(at, *values):
        struct.pack_into("<%di" % len(values), h, at, *values)

    saved = w.get("saved", True)
    put(12, 1, SETTINGS, offsets["settings"])
    put(24, offsets["polygons_size"], len(w["polygons"]), offsets["polygons"])
    put(36, BSP, len(w["bsp"]), offsets["bsp"])
    put(48, CAMERA if saved else 0, len(w["cameras"]), offsets["cameras"])
    put(60, TRACK if saved else 0, len(w["tracks"]), offsets["tracks"])
    put(72, GROUP, len(w["groups"]), offsets["groups"])
    put(84, w["top_group"])
    put(88, len(names_blob(w["group_names"])), offsets["group_names"], len(w["group_names"]))
    put(100, DYNAMIC, len(w["dynamic"]), offsets["dynamic"])
    put(112, ANIMATION, len(w["animations"]), offsets["animations"])
    put(124, LIGHT if saved else 0, len(w["lights"]), offsets["lights"])
    put(136, BACKGROUND if saved else 0, len(w["backgrounds"]), offsets["backgrounds"])
    put(148, POINT, len(w["points"]), offsets["points"])
    put(160, CORD, len(w["cords"]), offsets["cords"])
    put(172, len(names_blob(w["bitmap_names"])), len(w["bitmap_names"]), offsets["bitmap_names"])
    put(184, len(names_blob(w["polygon_names"])), len(w["polygon_names"]), offsets["polygon_names"])
    return bytes(h) + bytes(body), offsets


IDENTITY = (1, 0, 0, 0, 1, 0, 0, 0, 1)


def empty_world():
    return {"points": [], "cords": [], "bitmap_names": [], "group_names": [], "groups": [], "polygon_names": [],
            "polygons": [], "bsp": [], "cameras": [], "tracks": [], "dynamic": [], "animations": [],
            "backgrounds": [], "lights": [], "top_group": 0,
            "settings": {"mode": 0, "wire": 0, "zbuffer": 1, "fog": 2.0, "brightness": -3, "atmosphere": (10, 20, 30),
                         "pixel": 0x1234, "default_colour": (200, 100, 50), "rotation_reference": (1, 2, 3),
                         "render_group": 0, "perspective": 0.5, "max_time": 100, "min_time": 5, "wire": 0,
                         "reserved_byte": 0, "far_accuracy": 30, "reserved_direction": (0, 0, 1),
                         "reserved_pair": (0.5, 0.25), "advance_objects": 1, "advance_cameras": 1,
                         "speed_units": 1, "camera_mover": 0, "animation_timing": 1}}


def small_world():
    """Three groups, four polygons (a triangle, its patch, a quadrilateral and a pentagon of one split
    family), a BSP tree of three nodes and one record of every scene section."""
    w = empty_world()
    w["points"] = [((0, 0, 0), (255, 0, 0), (0, 0, 127)), ((100, 0, 0), (0, 255, 0), (0, 0, 127)),
                   ((100, 100, 0), (0, 0, 255), (0, 0, 127)), ((0, 100, 0), (9, 9, 9), (0, -127, 0)),
                   ((50, 150, 0), (1, 2, 3), (0, 0, 0)), ((-2.5, 7.25, 1000), (4, 5, 6), (127, 0, 0))]
    w["cords"] = [(0, 0), (1, 0), (1, 1), (0, 1), (0.5, 2)]
    w["bitmap_names"] = ["brick", "glass"]
    w["group_names"] = ["world", "house", "roof"]
    w["groups"] = [(1, 0, 0), (2, 1, 1), (3, 2, 0)]
    w["polygon_names"] = ["wall", "window"]
    w["polygons"] = [
        {"presence": P_NAME | P_GROUP | P_BITMAP | P_NEXT | P_NEXT_PATCH, "kind": 4 | 0x20, "next": 4, "name": 1,
         "group": 2, "bitmap": 1, "next_patch": 2, "points": [0, 1, 2], "cords": [0, 1, 2]},
        {"presence": P_PATCH | P_PREV_PATCH | P_DIFFUSE | P_SPECULAR | P_GROUP, "kind": 2, "patch_kind": 2,
         "previous_patch": 1, "diffuse": 11, "specular": 12, "group": 2, "points": [3, 4, 5], "cords": [3, 4, 0]},
        {"presence": P_COLOUR | P_GROUP | P_DIMINUTION | P_AMBIENT | P_SHINING | P_NAME | P_FAMILY_HEAD,
         "kind": 8 | K_TRANSPARENT, "colour": (10, 20, 30), "group": 3, "diminution": 0.5, "transparent": 7,
         "ambient": 40, "shining": 9, "name": 2, "family_head": 4, "centre": (50, 50, 0),
         "points": [0, 1, 2, 3], "cords": [0, 1, 2, 3]},
        {"presence": P_GROUP | P_ANIMATION | P_BLENDING | P_FAMILY_HEAD | P_FAMILY_NEXT | P_BITMAP,
         "kind": 1 | K_TRANSPARENT | K_TRANSPARENT_ZERO, "group": 1, "animation": 1, "blending": 3,
         "family_head": 4, "family_next": 3, "centre": (48.75, 75, 500), "bitmap": 2,
         "points": [0, 1, 2, 4, 5], "cords": [0, 1, 2, 4, 4]},
    ]
    w["bsp"] = [((0, 0, 1, -5), 1, 2, 3), ((1, 0, 0, 0), 3, 0, 0), ((0, 1, 0, 2), 0, 0, 0)]
    w["cameras"] = [{"name": "cam1", "size": (320, 200), "fov": 60, "culling_flag": 1, "culling_depth": 64,
                     "location": (1, 2, 3), "eye": 4, "x_axis": (1, 0, 0), "y_axis": (0, 1, 0),
                     "z_axis": (0, 0, 1), "track_offset": (0, 0, 5), "track": "line", "chase_distance": 7,
                     "chase": None, "chase_offset": (0, 0, 0), "chase_type": "NO_CHASE", "softness": 0.5,
                     "speed": (1, 0, 0), "force": (0, 0, 0), "rotation": (0, 0, 0.25), "rotation_space": 1,
                     "elasticity": 0.3, "friction": 0.2}]
    w["tracks"] = [{"name": "line", "cyclic": 1, "points": [(0, 0, 0), (10, 0, 0), (10, 10, 0)]}]
    w["dynamic"] = [{"name": "train", "father": None, "control": 1, "track": "line", "track_offset": (0, 0, 1),
                     "chase": "cam1", "chase_offset": (1, 1, 1), "chase_type": "CHASE_PRECISE", "softness": 0.1,
                     "chase_distance": 3, "speed": (0, 1, 0), "force": (0, 0, 0), "rotation": (0, 0, 0),
                     "friction": 0.05, "elasticity": 0.4, "max_speed": 99, "rotation_space": 0,
                     "reference": (0, 0, 0), "rows": IDENTITY, "location": (5, 6, 7), "scale": (1, 1, 1),
                     "polygons": [1, 2]}]
    w["animations"] = [{"name": "flash", "durations": [10, 20],
                        "lists": [[(1, 5, "lamp_off", 0), (0, 0, "lamp_on", 1)], None, None, None,
                                  [(0, 0, "lamp_front", 0), (0, 0, None, 0)]]}]
    w["backgrounds"] = [{"name": "sky", "bitmap": "clouds", "type": 10, "distance": 1000,
                         "bottom_height": -50, "bottom_intensity": 0.5, "step": 0.1}]
    w["lights"] = [{"name": "lamp", "target": 2, "target_kind": 1003, "location": (0, 0, 100), "type": 3,
                    "direction": (0, 0, -1), "colour": (255, 240, 200), "reach": 500, "activate": 1, "mode": 1,
                    "ray": 0, "factors": (0.5, 0.6, 0.7, 2)}]
    w["settings"]["render_group"] = 2
    return w


def wide_world():
    """300 points and 260 polygons: two-byte point and polygon indices and a 300-point polygon."""
    w = empty_world()
    w["points"] = [((float(i), float(i % 7), 0.0), (i % 256, 0, 0), (0, 0, 127)) for i in range(300)]
    w["cords"] = [(0, 0)]
    w["group_names"] = ["big"]
    w["groups"] = [(1, 0, 0)]
    w["polygons"] = [{"presence": P_NEXT | P_GROUP, "next": i + 2 if i + 1 < 259 else 0, "group": 1,
                      "points": [i, i + 1, i + 2], "cords": [0, 0, 0]} for i in range(259)]
    w["polygons"].append({"presence": P_GROUP, "group": 1, "points": list(range(299, -1, -1)), "cords": [0] * 300})
    return w


def rgb565(r, g, b):
    return (r >> 3) << 11 | (g >> 2) << 5 | b >> 3


def full_world():
    """The small world with a value other than the engine's default in every scene field and setting:
    two objects, two tracks, two backgrounds and three lights (on a group, an object and a polygon)."""
    w = small_world()
    w["cameras"][0].update({"rotation": (0.1, 0.2, 0.3), "rotation_space": 1, "chase": "train",
                            "chase_type": "CHASE_PRECISE", "chase_offset": (1, 2, 3)})
    w["tracks"].append({"name": "loop", "cyclic": 0, "points": [(1, 2, 3), (4, 5, 6)]})
    w["dynamic"].append(dict(w["dynamic"][0], name="wagon", control=2, track="loop", chase=None, chase_type=None,
                             polygons=[3], location=(-5, -6, -7), rotation=(0.5, 0, 0), rotation_space=1))
    w["backgrounds"].append({"name": "dusk", "bitmap": "red_sky", "type": 7, "distance": 25000,
                             "bottom_height": 12.5, "bottom_intensity": 80, "step": -0.25})
    w["lights"] = [
        {"name": "lamp", "target": 2, "target_kind": 1003, "location": (0, 0, 100), "type": 0x15,
         "direction": (0, 0.6, -0.8), "colour": (255, 240, 200), "reach": 500, "activate": 1, "mode": 1,
         "ray": 1, "factors": (0.5, 0.6, 0.7, 2)},
        {"name": "headlight", "target": 2, "target_kind": 1002, "location": (1, 1, 1), "type": 0x3A,
         "direction": (1, 0, 0), "colour": (10, 20, 30), "reach": -1, "activate": 0, "mode": 2, "ray": 0,
         "factors": (1, 1, 1, 1)},
        {"name": "spot", "target": 3, "target_kind": 1008, "location": (9, 8, 7), "type": 0x21,
         "direction": (0, 0, -1), "colour": (0, 0, 255), "reach": 0, "activate": 1, "mode": 0, "ray": 0,
         "factors": (0.25, 0.5, 0.75, 8)},
    ]
    colour = (44, 55, 66)
    w["settings"] = {"mode": 3, "wire": 1, "reserved_byte": 7, "zbuffer": 0, "fog": 3.5, "brightness": 5,
                     "far_accuracy": 12, "atmosphere": (11, 22, 33), "default_colour": colour,
                     "pixel": rgb565(*colour), "reserved_direction": (0.25, 0.5, 0.75), "reserved_pair": (1.5, 2.5),
                     "rotation_reference": (7, 8, 9), "render_group": 3, "advance_objects": 0,
                     "advance_cameras": 0, "perspective": 0.75, "speed_units": 0, "camera_mover": 0,
                     "animation_timing": 0, "max_time": 5000, "min_time": 7}
    return w


def cube_world():
    """The six faces of a cube in one group: six planes, so a built tree has several nodes."""
    w = empty_world()
    w["points"] = [((x, y, z), (200, 200, 200), (0, 0, 0)) for x in (0, 100) for y in (0, 100) for z in (0, 100)]
    w["cords"] = [(0, 0), (1, 0), (1, 1), (0, 1)]
    w["group_names"] = ["cube"]
    w["groups"] = [(1, 0, 0)]
    faces = [(0, 1, 3, 2), (4, 6, 7, 5), (0, 4, 5, 1), (2, 3, 7, 6), (0, 2, 6, 4), (1, 5, 7, 3)]
    w["polygons"] = [{"presence": P_GROUP, "group": 1, "points": list(f), "cords": [0, 1, 2, 3]} for f in faces]
    return w


def tree_world():
    """Three floors named by height and a stored tree: the root holds "level" (z = 0), its right
    child, the back subtree, holds "below" (z = -100) and its left child, the front, "above"."""
    w = empty_world()
    w["points"] = [((x, y, z), (90, 90, 90), (0, 0, 127)) for z in (0, -100, 100) for x, y in
                   ((0, 0), (100, 0), (100, 100), (0, 100))]
    w["cords"] = [(0, 0)]
    w["group_names"] = ["floors"]
    w["groups"] = [(1, 0, 0)]
    w["polygon_names"] = ["level", "below", "above"]
    w["polygons"] = [{"presence": P_GROUP | P_NAME, "group": 1, "name": i + 1,
                      "points": [4 * i, 4 * i + 1, 4 * i + 2, 4 * i + 3], "cords": [0, 0, 0, 0]} for i in range(3)]
    w["bsp"] = [((0, 0, 1, 0), 1, 2, 3), ((0, 0, 1, 100), 2, 0, 0), ((0, 0, 1, -100), 3, 0, 0)]
    return w


def chase_world():
    """The small world with a second object, "beacon", that owns no polygons and is chased by the
    camera."""
    w = small_world()
    w["dynamic"].append(dict(w["dynamic"][0], name="beacon", control=0, track=None, chase=None, chase_type=None,
                             polygons=[], location=(50, 50, 50)))
    w["cameras"][0].update({"chase": "beacon", "chase_type": "CHASE_PRECISE"})
    return w


def crate_world():
    """A floor at z = -300 and a crate object: the six faces of a box -200..200 about the object's
    origin, placed at (1000, 0, 0), and a ball object of no polygons at (0, 0, 50). A camera looks on from (0, 0, 50) along x."""
    w = empty_world()
    corners = [((x, y, z), (150, 100, 50), (0, 0, 0)) for x in (-200, 200) for y in (-200, 200) for z in (-200, 200)]
    ground = [((x, y, -300), (90, 90, 90), (0, 0, 127)) for x, y in ((-5000, -5000), (5000, -5000), (5000, 5000),
                                                                         (-5000, 5000))]
    w["points"] = corners + ground
    w["cords"] = [(0, 0), (1, 0), (1, 1), (0, 1)]
    w["group_names"] = ["ground", "crate"]
    w["groups"] = [(1, 0, 0), (2, 0, 1)]
    w["polygon_names"] = ["floor"]
    faces = [(0, 1, 3, 2), (4, 6, 7, 5), (0, 4, 5, 1), (2, 3, 7, 6), (0, 2, 6, 4), (1, 5, 7, 3)]
    w["polygons"] = [{"presence": P_GROUP, "kind": K_COLLISIONAL, "group": 2, "points": list(f), "cords": [0, 1, 2, 3]}
                     for f in faces]
    w["polygons"].append({"presence": P_GROUP | P_NAME, "kind": K_COLLISIONAL, "group": 1, "name": 1,
                          "points": [8, 9, 10, 11],
                          "cords": [0, 1, 2, 3]})
    w["cameras"] = [dict(small_world()["cameras"][0], name="look", location=(0, 0, 50), track=None,
                         chase=None, chase_type="NO_CHASE", speed=(0, 0, 0), rotation=(0, 0, 0))]
    w["dynamic"] = [{"name": "crate", "father": None, "control": 0, "track": None, "track_offset": (0, 0, 0),
                     "chase": None, "chase_offset": (0, 0, 0), "chase_type": None, "softness": 0,
                     "chase_distance": 0, "speed": (0, 0, 0), "force": (0, 0, 0), "rotation": (0, 0, 0),
                     "friction": 0, "elasticity": 0, "max_speed": 0, "rotation_space": 0, "reference": (0, 0, 0),
                     "rows": IDENTITY, "location": (1000, 0, 0), "scale": (1, 1, 1),
                     "polygons": [1, 2, 3, 4, 5, 6]}]
    w["dynamic"].append(dict(w["dynamic"][0], name="ball", location=(0, 0, 50), polygons=[]))
    return w


def crates_world():
    """Two crate objects whose faces alternate in the file, the first's at (1000, 0, 0), the second's
    at (0, 1000, 0), each in a group of its own, and the floor."""
    w = crate_world()
    w["group_names"] = ["ground", "crate", "box"]
    w["groups"] = [(1, 0, 0), (2, 0, 1), (3, 0, 1)]
    for k, p in enumerate(w["polygons"][:6]):
        p["group"] = 2 + k % 2
    w["dynamic"] = [dict(w["dynamic"][0], polygons=[1, 3, 5]),
                    dict(w["dynamic"][0], name="box", location=(0, 1000, 0), polygons=[2, 4, 6])]
    return w


def left_out_world():
    """Saved without cameras, tracks, backgrounds and lights (their record sizes are 0) and without BSP."""
    w = empty_world()
    w["saved"] = False
    w["points"] = [((0, 0, 0), (1, 1, 1), (0, 0, 0)), ((1, 0, 0), (1, 1, 1), (0, 0, 0)),
                   ((0, 1, 0), (1, 1, 1), (0, 0, 0))]
    w["cords"] = [(0, 0)]
    w["group_names"] = ["solo"]
    w["groups"] = [(1, 0, 0)]
    w["polygons"] = [{"presence": 0, "points": [0, 1, 2], "cords": [0, 0, 0]}]
    return w


def patched(data, at, fmt, *values):
    out = bytearray(data)
    struct.pack_into(fmt, out, at, *values)
    return bytes(out)


def damaged_copies(data, offsets):
    """Name -> damaged bytes, each made from the small world."""
    size = len(data)
    camera = offsets["cameras"]
    poly = offsets["polygon_records"]
    group = offsets["groups"]
    bsp = offsets["bsp"]
    # The settings record ends the file; its last field's top byte is made non-zero so a string that
    # starts at the last byte has no terminating NUL inside the file.
    unterminated = patched(data, size - 4, "<i", 0x7F000000)
    return {
        "truncated_header.drovik": data[:100],
        "tiny.drovik": data[:5],
        "bad_magic.drovik": b"Drovix" + data[6:],
        "version_4_6.drovik": patched(data, 8, "<HH", 4, 6),
        "section_past_end.drovik": patched(data, 152, "<i", (size // 20) + 5),
        "section_offset_past_end.drovik": patched(data, 56, "<i", size - 10),
        "negative_count.drovik": patched(data, 76, "<i", -1),
        "wrong_record_size.drovik": patched(data, 48, "<i", 160),
        "string_past_end.drovik": patched(data, camera, "<i", size + 10),
        "string_unterminated.drovik": patched(unterminated, camera, "<i", size - 1),
        "name_table_short.drovik": patched(data, 96, "<i", 4),
        "polygon_section_short.drovik": patched(data, 24, "<i", offsets["polygons_size"] - 3),
        "father_out_of_range.drovik": patched(data, group + 4, "<i", 9),
        "point_index_out_of_range.drovik": patched(data, poly[0] + 8 + 5, "<B", 6),
        "bsp_child_out_of_range.drovik": patched(data, bsp + 20, "<i", 4),
        "top_group_out_of_range.drovik": patched(data, 84, "<i", 3),
        "light_target_out_of_range.drovik": patched(data, offsets["lights"] + 4, "<i", 4),
        "polygon_cycle.drovik": patched(data, poly[0] + 8, "<B", 1),
        "bsp_cycle.drovik": patched(data, bsp + 28 + 20, "<i", 1),
        "group_cycle.drovik": patched(data, group + 4, "<i", 3),
        "shared_list.drovik": patched(data, bsp + 28 + 16, "<i", 4),
        "patch_cycle.drovik": patched(data, poly[1] + 8 + 2, "<B", 2),
        "group_name_out_of_range.drovik": patched(data, group, "<i", 4),
        "polygon_name_out_of_range.drovik": patched(data, poly[0] + 8 + 2, "<B", 3),
        "track_points_past_end.drovik": patched(data, offsets["tracks"] + 12, "<i", size - 8),
        "object_polygon_zero.drovik": patched(data, struct.unpack_from("<i", data, offsets["dynamic"] + 184)[0],
                                              "<i", 0),
        "durations_past_end.drovik": patched(data, offsets["animations"] + 8, "<i", size - 4),
    }


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    out = sys.argv[1]
    os.makedirs(os.path.join(out, "damaged"), exist_ok=True)
    small, offsets = build(small_world())
    good = {"small.drovik": small, "wide.drovik": build(wide_world())[0],
            "left_out.drovik": build(left_out_world())[0], "full.drovik": build(full_world())[0],
            "cube.drovik": build(cube_world())[0], "tree.drovik": build(tree_world())[0],
            "floors.drovik": build(dict(tree_world(), bsp=[]))[0], "chase.drovik": build(chase_world())[0],
            "crate.drovik": build(crate_world())[0], "crates.drovik": build(crates_world())[0]}
    for name, data in good.items():
        write(os.path.join(out, name), data)
    damaged = damaged_copies(small, offsets)
    for name, data in damaged.items():
        write(os.path.join(out, "damaged", name), data)
    if len(sys.argv) == 3:
        os.makedirs(sys.argv[2], exist_ok=True)
        for name, data in list(good.items()) + list(damaged.items()):
            write(os.path.join(sys.argv[2], name), data)


if __name__ == "__main__":
    main()
