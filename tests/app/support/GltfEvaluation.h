// An independent evaluation of glTF scenes for the tests: node transforms under an animation at
// a time, and world matrices. Written from the glTF rules, sharing no code with the program.
#pragma once

#include "gltf/GltfScene.h"

#include <array>
#include <vector>

namespace apptest {

using Matrix4 = std::array<double, 16>; // column-major, column vectors, as glTF

// The local matrix of `node` with the channels of `animation` (null: none) applied at `seconds`.
Matrix4 localAt(const gltf::Scene& scene, int node, const gltf::Animation* animation,
                double seconds);

// The world matrix of every node at `seconds` under `animation`.
std::vector<Matrix4> worldMatrices(const gltf::Scene& scene, const gltf::Animation* animation,
                                   double seconds);

// Nodes in depth-first order from the roots, children in order.
std::vector<int> depthFirstOrder(const gltf::Scene& scene);

// The value of a channel at `seconds`: 3 or 4 numbers (rotations normalized).
std::vector<double> sampleChannel(const gltf::Channel& channel, double seconds);

} // namespace apptest
