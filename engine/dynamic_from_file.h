// A dynamic object made from the polygons of a world file.
#pragma once
#include "world/records.h"

// Creates an object named after the file (without folder) that owns the file's polygons (any
// readable world format; an MD2 model also gives its 3D animation and first sequence): the
// object, or NULL with "dynamic_create_from_file: failed\n".
dynamic_object* dynamic_create_from_file(const char* path);
