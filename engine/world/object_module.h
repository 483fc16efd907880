// Static objects (a module placed inside another by a matrix) and modules (named sub-worlds).
#pragma once
#include <string>

#include "foundation/geometry.h"
#include "world/records.h"

int& object_module_report_errors();

object* init_object();
object* init_object_using_group(const group* g);
object* init_object_using_dynamic_object(dynamic_object* d);
void object_list_push(object** list, object* o);
void bsp_node_push_object(bsp_node* node, object* o);
int object_list_remove(object** list, object* o);
int object_set_module_name(object* o, const char* name);
// A copy whose matrix is the source's matrix times `m` (the source's on the left).
object* duplicate_object(const object* o, const mat4& m);
void object_list_free(object** list);
void object_destroy(object* o);

// `struct` keeps a line from starting with `module`, which C++20 reads as a module declaration.
struct module* init_module();
void module_list_push(module** list, module* m);
int module_list_remove(module** list, module* m);
struct module* module_find(module* list, const char* name);
void module_destroy(module* m);
void module_list_free(module** list);
void module_count_polygons(module* list);
void module_count_nodes(module* list);
// Leaves a free name alone; otherwise appends the first free "_<n>" (2..99999); 0 / -1.
int module_find_unique_name(module* list, std::string& name);
struct module* module_duplicate(module** list, const module* m);
