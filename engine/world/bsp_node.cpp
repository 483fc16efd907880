// BSP nodes: creation and release of a tree (the tree builder works on these records).
#include "world/bsp_node.h"

#include "foundation/errors.h"
#include "foundation/registry.h"
#include "world/object_module.h"
#include "world/polygon.h"

namespace {
void detach_dynamic_list(dynamic_object*& list) {
    while (list) {
        dynamic_object* next = list->next_in_node;
        list->next_in_node = nullptr;
        list->node = nullptr;
        list = next;
    }
}
}  // namespace

bsp_node* init_bsp_node() {
    bsp_node* node = record_new<bsp_node>(kind_internal);
    if (!node) {
        report_error(1, "init_bsp_node: failed to alloc mem\n");
        return nullptr;
    }
    node->plane[2] = 1;
    node->plane[3] = 3.4028234663852886e38;
    return node;
}

void bsp_tree_destroy(bsp_node* node) {
    if (!node) return;
    bsp_tree_destroy(node->back);
    bsp_tree_destroy(node->front);
    polygon_list_free(&node->polygons);
    object_list_free(&node->objects);
    detach_dynamic_list(node->dynamic_objects);
    detach_dynamic_list(node->dynamic_objects_behind);
    record_destroy(node);
}

namespace {
constexpr int max_nesting = 1000;

void compute_boxes(bsp_node* node, int depth) {
    if (!node || depth > max_nesting) return;
    double box[6] = {1e100, 1e100, 1e100, -1e100, -1e100, -1e100};
    for (bsp_node* child : {node->back, node->front}) {
        if (!child) continue;
        compute_boxes(child, depth);
        box_extend(box, child->box);
    }
    int polygons = 0;
    for (polygon* p = node->polygons; p; p = p->next, ++polygons) {
        polygon_calculate_bounding_box(p, 1);
        box_extend(box, p->box);
    }
    for (object* o = node->objects; o; o = o->next) {
        if (!o->placed || !o->placed->root) continue;
        compute_boxes(o->placed->root, depth + 1);
        double placed[6];
        for (int k = 0; k < 6; ++k) placed[k] = o->placed->root->box[k];
        if (placed[0] > placed[3]) continue;  // an empty module
        box_transform(placed, o->matrix);
        box_extend(box, placed);
        // The object keeps its placed box: minimum corner, then maximum.
        for (int k = 0; k < 3; ++k) {
            o->vector_a[k] = placed[k];
            o->vector_b[k] = placed[k + 3];
        }
    }
    for (int k = 0; k < 6; ++k) node->box[k] = node->second_box[k] = box[k];
    const bool leaf = !node->front && !node->back;
    node->worth = leaf && !node->objects && polygons < 10 ? 0 : 1;
}
}  // namespace

void bsp_compute_bounding_boxes(bsp_node* root) { compute_boxes(root, 0); }

int bsp_tree_count_polygons(const bsp_node* node) {
    if (!node) return 0;
    return polygon_list_count(node->polygons) + bsp_tree_count_polygons(node->front) +
           bsp_tree_count_polygons(node->back);
}

int bsp_tree_count_nodes(const bsp_node* node) {
    if (!node) return 0;
    return 1 + bsp_tree_count_nodes(node->front) + bsp_tree_count_nodes(node->back);
}
