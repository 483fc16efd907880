#!/usr/bin/env python3
"""Writes MD2 model fixtures straight from the format's tables, and damaged copies of them.
Usage: gen_md2.py OUTPUT_FOLDER"""
import os
import struct
import sys

HEADER_SIZE = 68
FRAME_HEAD = 40  # scale[3], translate[3], name[16]

# Fields of the header, in file order, after ident and version.
FIELDS = ("skin_width", "skin_height", "frame_size", "skin_count", "vertex_count", "cord_count",
          "triangle_count", "gl_count", "frame_count", "skins_offset", "cords_offset",
          "triangles_offset", "frames_offset", "gl_offset", "end_offset")


def model(frames, vertices, cords, triangles, skin=(64, 32), frame_size=None):
    """frames: (name bytes, scale, translate, vertex bytes list per frame); vertices: vertex count;
    cords: (s, t) pairs; triangles: ((v0, v1, v2), (c0, c1, c2))."""
    frame_size = frame_size if frame_size is not None else FRAME_HEAD + 4 * vertices
    cord_block = b"".join(struct.pack("<hh", s, t) for s, t in cords)
    triangle_block = b"".join(struct.pack("<3h3h", *v, *c) for v, c in triangles)
    frame_block = b""
    for name, scale, translate, points in frames:
        body = struct.pack("<3f3f", *scale, *translate) + name.ljust(16, b"\0")[:16]
        body += b"".join(struct.pack("<4B", x, y, z, 0) for x, y, z in points)
        frame_block += body.ljust(frame_size, b"\0")
    header = dict(skin_width=skin[0], skin_height=skin[1], frame_size=frame_size, skin_count=0,
                  vertex_count=vertices, cord_count=len(cords), triangle_count=len(triangles), gl_count=0,
                  frame_count=len(frames), skins_offset=HEADER_SIZE)
    header["cords_offset"] = HEADER_SIZE
    header["triangles_offset"] = header["cords_offset"] + len(cord_block)
    header["frames_offset"] = header["triangles_offset"] + len(triangle_block)
    header["gl_offset"] = header["frames_offset"] + len(frame_block)
    header["end_offset"] = header["gl_offset"]
    return header, cord_block + triangle_block + frame_block


def write(path, header, body, ident=b"IDP2", version=8):
    data = ident + struct.pack("<i", version) + b"".join(struct.pack("<i", header[f]) for f in FIELDS) + body
    with open(path, "wb") as out:
        out.write(data)
    return data


# The walker: four vertices at (0, 0, 0), (20, 0, 0), (0, 20, 0), (0, 0, 20) scaled by 0.5 and
# moved by (f, 2f, 3f) in frame f; triangles (0, 1, 2) and (0, 2, 3).
WALKER_POINTS = [(0, 0, 0), (20, 0, 0), (0, 20, 0), (0, 0, 20)]
WALKER_NAMES = [b"run%d" % i for i in range(1, 7)] + [b"jump%d" % i for i in range(1, 5)]
WALKER_CORDS = [(0, 0), (32, 0), (32, 16), (64, 32)]
WALKER_TRIANGLES = [((0, 1, 2), (0, 1, 2)), ((0, 2, 3), (0, 2, 3))]


def walker(frame_names=WALKER_NAMES, skin=(64, 32), points=WALKER_POINTS, **changes):
    frames = [(name, (0.5, 0.5, 0.5), (f, 2 * f, 3 * f), points) for f, name in enumerate(frame_names)]
    header, body = model(frames, 4, WALKER_CORDS, WALKER_TRIANGLES, skin)
    header.update(changes)
    return header, body


def with_triangle(body, header, index, values):
    """The body with triangle `index` replaced by six int16 values."""
    at = header["triangles_offset"] - HEADER_SIZE + 12 * index
    return body[:at] + struct.pack("<3h3h", *values) + body[at + 12:]


def main():
    out = sys.argv[1]
    damaged = os.path.join(out, "damaged")
    os.makedirs(damaged, exist_ok=True)
    header, body = walker()
    whole = write(os.path.join(out, "walker.md2"), header, body)
    # A name of all 16 bytes, followed straight by vertex bytes that are not 0.
    write(os.path.join(out, "longname.md2"), *walker([b"abcdefghijklmnop"], points=[(1, 2, 3)] + WALKER_POINTS[1:]))
    write(os.path.join(out, "flatskin.md2"), *walker([b"stand"], skin=(0, 0)))
    write(os.path.join(out, "unnamed.md2"), *walker([b"", b""]))

    with open(os.path.join(damaged, "short_header.md2"), "wb") as f:
        f.write(whole[:40])
    write(os.path.join(damaged, "section_past_end.md2"), *walker(triangles_offset=len(whole) - 4))
    write(os.path.join(damaged, "end_past_end.md2"), *walker(end_offset=len(whole) + 1))
    write(os.path.join(damaged, "negative_count.md2"), *walker(triangle_count=-1))
    write(os.path.join(damaged, "negative_offset.md2"), *walker(frames_offset=-68))
    write(os.path.join(damaged, "small_frame_size.md2"), *walker(frame_size=FRAME_HEAD + 4 * 4 - 1))
    write(os.path.join(damaged, "no_frames.md2"), *walker(frame_count=0))
    write(os.path.join(damaged, "vertex_index.md2"), header, with_triangle(body, header, 1, (0, 2, 4, 0, 2, 3)))
    write(os.path.join(damaged, "negative_vertex.md2"), header, with_triangle(body, header, 0, (-1, 1, 2, 0, 1, 2)))
    write(os.path.join(damaged, "texture_index.md2"), header, with_triangle(body, header, 1, (0, 2, 3, 0, 2, 4)))
    write(os.path.join(damaged, "huge_frame_count.md2"), *walker(frame_count=0x7FFFFFFF))
    write(os.path.join(damaged, "other_magic.md2"), header, body, ident=b"IDP3")
    write(os.path.join(damaged, "other_version.md2"), header, body, version=15)


if __name__ == "__main__":
    main()
