// BSP trees: the partition search, the tree build (with the cache file), object placement,
// visibility distances and the visitors over a tree.
#pragma once
#include <vector>

#include "foundation/geometry.h"
#include "world/records.h"

inline constexpr double bsp_tolerance = 20;
inline constexpr int bsp_max_depth = 10000;

int& bsp_report_errors();

// Puts the polygon after the first polygon of the node with the same bitmap texture, else at the head.
void bsp_node_insert_polygon(bsp_node* node, polygon* p);

// The partition plane for the list: a plane that splits nothing, best balanced; else the one with
// fewest splits, then best balance. 0, or -1 when the list is empty.
int get_partition_plane(polygon* list, plane& out);

// Builds the trees of every module that gets one (BSP switches of the engine state), reading the
// planes from the world's ".bsp" cache when it matches and writing it anew otherwise.
void build_modules_bsp_trees(module* modules, module* main_module);

// Builds one module's tree from its root list with no cache file (with `build` false the module
// keeps the tree it has), then recomputes its polygons, places its objects and sets its boxes and
// visibility distances.
void build_module_bsp_tree(module* m, bool build);

void insert_object_to_bsp_tree(bsp_node* root, object* o);
void set_bsp_nodes_visibility(bsp_node* root);

void bsp_tree_set_bitmap(bsp_node* node, bitmap_texture* bitmap);
// Numbers node, back subtree, front subtree; returns the next free number.
int bsp_tree_number_nodes(bsp_node* node, int first);
int bsp_tree_count_all_polygons(const bsp_node* node);
int bsp_tree_count_all_nodes(const bsp_node* node);
// Moves every node's object list into one list.
object* bsp_tree_collect_objects(bsp_node* node);
polygon* bsp_tree_find_polygon(bsp_node* node, const char* name);
int bsp_tree_contains_polygon(const bsp_node* node, const polygon* p);
void bsp_tree_get_all_polygons(bsp_node* node, std::vector<polygon*>& out);
void bsp_tree_update_polygons(bsp_node* node);
// The largest depth reached by the last build.
int bsp_last_build_depth();

namespace bsp_texts {
inline constexpr const char* too_deep =
    "build_bsp_tree: Recursion is too deep, aborting !!!\n(If your world is big just increase to limits on the "
    "recursion depth\n";
inline constexpr const char* out_of_range = "build_bsp_tree: bsp file out of range. Try deleting the bsp file !\n";
inline constexpr const char* no_partition = "get_partition_plane: didnt find any partition\n";
inline constexpr const char* null_list = "get_partition_plane: Warning base_poly==NULL\n";
inline constexpr const char* modules_failed = "build_modules_bsp_trees: failed creating bsp tree\n";
inline constexpr const char* cant_open = "get_bsp_file_parameters: Fatal ! cant open file for bsp savings\n";
inline constexpr const char* count_differs = "\t number of polygons is different. bsp has %lf  world has %lf\n";
inline constexpr const char* object_list = "insert_object_to_bsp_tree: object list longer then 1!\n";
inline constexpr const char* visibility = "set_bsp_nodes_visibility: fatal error\n";
inline constexpr const char* front_piece = "build_bsp_tree: only %d points in front piece\n";
inline constexpr const char* back_piece = "build_bsp_tree: only %d points in back piece\n";
}  // namespace bsp_texts
