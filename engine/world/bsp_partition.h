// The partition search as the tree build uses it: the sorted orders a node's search made are
// handed down to its children, so that no node sorts again what its parent sorted.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/geometry.h"
#include "world/records.h"

struct bsp_orders;
struct bsp_orders_free {
    void operator()(bsp_orders* orders) const;
};
using bsp_orders_ptr = std::unique_ptr<bsp_orders, bsp_orders_free>;

// get_partition_plane for the polygons of `list` in that order, starting from the list's orders
// (null: none yet) and leaving in `orders` those worth handing down.
int bsp_partition_plane(const std::vector<polygon*>& list, plane& out, bsp_orders_ptr& orders);

// The relation of each polygon of the list to `pl`, by its number, as get_plane_poly_relations gives
// it, or 0 where the plane test must say; empty when the orders do not have `pl`'s family.
std::vector<uint8_t> bsp_orders_relations(const bsp_orders* orders, const plane& pl);

// The orders of a divided list's two children. `front_from[c]` is the number in the divided list of
// the c-th polygon of the front child's list, or -1 for a piece cut from one; so for `back_from`.
void bsp_orders_divide(bsp_orders_ptr divided, const std::vector<int32_t>& front_from,
                       const std::vector<int32_t>& back_from, bsp_orders_ptr& front, bsp_orders_ptr& back);
