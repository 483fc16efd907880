// Connecting static objects to the modules they place and flattening the module hierarchy into
// the MAIN module (immersion).
#pragma once
#include "world/engine_state.h"
#include "world/records.h"

// Links every object (and every dynamic object of a root) to its module by exact name and
// refuses loops and nesting deeper than 1000; 0 / -1.
int connect_modules_to_objects(module* modules);
// Replaces every object of the module's root by copies of its module's polygons and objects,
// placed by its matrix (copied objects are immersed in turn); with make_groups each object gets
// a group. 0, or -1 for a NULL module or when the copies run over the bound.
int immerse_a_module(module* m, int make_groups);
// Editor mode: the dynamic objects (sons included) become static objects of the world's main module.
int install_dynamic_objects(module* main_module, dynamic_object* objects);
// Flattens the hierarchy into the MAIN module and frees the modules no longer placed.
int immerse_all_modules_objects(engine_state_record& state, module* main_module, dynamic_object** objects);
