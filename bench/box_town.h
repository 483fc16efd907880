// Generated box towns for the benchmarks: boxes of six quadrilaterals on a street grid.
#pragma once
#include "formats/binary_format.h"

// A town of boxes (six quadrilaterals each, eight shared corners) on a grid 400 units apart, one
// group per street, with `polygons` polygons in all; x and y run from 0 to 400 times the boxes a side.
bf_world box_town(int polygons);
