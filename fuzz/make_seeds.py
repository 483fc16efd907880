#!/usr/bin/env python3
"""Fills one seed folder per fuzz target: the demo data set's files, the component streams inside
its cab item files, the route files joined into one input, and small made-up height maps and BSP
caches. Usage: make_seeds.py DEMO_ROOT OUT"""
import pathlib
import shutil
import struct
import sys


def copy_all(files, folder):
    folder.mkdir(parents=True, exist_ok=True)
    for f in files:
        shutil.copyfile(f, folder / f.name)


def component_streams(data):
    """The data of each resource entry (32-bit layout: data size, header size, ...) that is a
    "TPF0" stream; entries start on 4-byte boundaries."""
    streams, at = [], 0
    while at + 8 <= len(data):
        data_size, header_size = struct.unpack_from("<II", data, at)
        if header_size < 8 or at + header_size + data_size > len(data):
            break
        body = data[at + header_size:at + header_size + data_size]
        if body.startswith(b"TPF0"):
            streams.append(body)
        at = (at + header_size + data_size + 3) & ~3
    return streams


def bitmap(width, height, bits, pixels):
    """A bottom-up Windows bitmap: 8 bits with a grey palette, or 24 bits."""
    row = (width * bits // 8 + 3) & ~3
    palette = b"".join(bytes([i, i, i, 0]) for i in range(256)) if bits == 8 else b""
    rows = b""
    for y in range(height - 1, -1, -1):
        line = b"".join(bytes([p]) if bits == 8 else bytes([p, p, p]) for p in pixels[y * width:(y + 1) * width])
        rows += line + b"\0" * (row - len(line))
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(rows), 2835, 2835,
                       256 if bits == 8 else 0, 0)
    return header + info + palette + rows


def bsp_cache(planes):
    """A header of the made-up world's values, then the planes: little-endian doubles."""
    return struct.pack("<4d", 6.0, 24.0, 120.0, 5000.0) + b"".join(struct.pack("<4d", *p) for p in planes)


def main():
    demo, out = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    cit_files = sorted((demo / "cab items").glob("*.cit"))
    copy_all(cit_files, out / "cab_item_file")
    copy_all(cit_files, out / "cab_item_controls")
    streams = out / "cab_item_stream"
    streams.mkdir(parents=True, exist_ok=True)
    for f in cit_files:
        for n, stream in enumerate(component_streams(f.read_bytes())):
            (streams / f"{f.stem}.{n}.stream").write_bytes(stream)
    copy_all(sorted(demo.glob("traction/*/*.jpg")) + sorted(demo.glob("images/*.jpg")), out / "cab_picture")
    copy_all(sorted(demo.glob("rail yard/*.trn")), out / "train_file")
    copy_all(sorted(demo.glob("situations/*.txt")), out / "situation_file")
    copy_all(sorted(demo.glob("traction/*/*.ini")) + sorted(demo.glob("rolling stock/*/*.ini")), out / "ini_file")
    copy_all(sorted(demo.glob("traction/*/*.ini")), out / "traction_ini")
    routes = demo / "routes"
    route = out / "route_survey"
    route.mkdir(parents=True, exist_ok=True)
    parts = [routes / "landmarks.txt", routes / "Tarrow-Venn" / "Tarr_Venn_survey.txt",
             routes / "Tarrow-Venn" / "track_profile.txt"]
    (route / "demo.route").write_bytes(b"\0".join(p.read_bytes() for p in parts))
    (route / "eight.route").write_bytes(b"10 sign\n\0" + b"".join(b"%d 0 %d\n" % (i * 100, i % 3) for i in range(8))
                                        + b"\0" + b"0.5 Halt\n")
    timetable = out / "timetable"
    timetable.mkdir(parents=True, exist_ok=True)
    for f in sorted(routes.glob("*/0905 Freight.txt")):
        (timetable / "demo.timetable").write_bytes(bytes([5]) + f.read_bytes())
    (timetable / "short.timetable").write_bytes(b"\x02Title\r\n0.5 9 5 A\r\n1 9 7 B\r\nbad line\r\n")
    terrain = out / "terrain_bitmap"
    copy_all(sorted(demo.glob("images/*.bmp"))[:1], terrain)
    (terrain / "hills8.bmp").write_bytes(bitmap(5, 3, 8, [0, 40, 80, 120, 160, 10, 50, 90, 130, 170, 20, 60, 100, 140, 180]))
    (terrain / "hills24.bmp").write_bytes(bitmap(3, 2, 24, [0, 128, 255, 64, 32, 16]))
    caches = out / "bsp_cache"
    caches.mkdir(parents=True, exist_ok=True)
    (caches / "rooms.bsp").write_bytes(bsp_cache([(1, 0, 0, -5), (0, 1, 0, 2), (0, 0, 1, 0), (0.6, 0.8, 0, 1)]))
    (caches / "empty.bsp").write_bytes(bsp_cache([]))


if __name__ == "__main__":
    main()
