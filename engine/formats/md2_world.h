// MD2 models read as worlds: the model's frame-0 polygons in a fresh "MAIN" module.
#pragma once
#include "world/records.h"

// The reader of the format table's "md2" row.
int engine_read_world_design_md2_format(const char* directory, const char* file_name, const char* path,
                                        group** top_group);
