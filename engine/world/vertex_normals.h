// Vertex normals: the plane normals of the polygons meeting at a point, averaged into its bytes.
#pragma once
#include <functional>
#include <vector>

#include "world/records.h"

// Points within this distance on every axis coincide.
inline constexpr double vertex_normal_tolerance = 1e-10;

// For every point without a normal, in list order: the normals of the `related` polygons that
// have a coinciding point are summed (each polygon once, through its first such point), and the
// normalised sum is stored in the point and in every point that contributed.
void average_vertex_normals(const std::vector<polygon*>& polygons,
                            const std::function<bool(const polygon*, const polygon*)>& related);
