// BSP nodes: creation and release of a tree (the tree builder works on these records).
#pragma once
#include "world/records.h"

bsp_node* init_bsp_node();
// Calls f on the node, then on every node of its front subtree, then of its back subtree.
template <typename F>
void for_each_node(bsp_node* node, F&& f) {
    if (!node) return;
    f(node);
    for_each_node(node->front, f);
    for_each_node(node->back, f);
}
// Frees the back subtree, the front subtree, then the node's polygons and objects; the dynamic
// objects standing in the node are only detached (the world's list owns them).
void bsp_tree_destroy(bsp_node* node);
int bsp_tree_count_polygons(const bsp_node* node);
// Boxes of every node: its subtrees, its polygons and its objects' module trees; both boxes
// get the result (the second stays the static box while dynamic objects grow the first).
void bsp_compute_bounding_boxes(bsp_node* root);
int bsp_tree_count_nodes(const bsp_node* node);
