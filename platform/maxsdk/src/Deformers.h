// The host's deforming modifiers (skin, Physique, vertex paint) and what they share.
#pragma once

#include <utility>
#include <vector>

#include "matrix3.h"
#include "object.h"

namespace hostcore::detail {

Modifier* newSkinModifier();
Modifier* newPhysiqueModifier();
Modifier* newVertexPaintModifier();

// Linear blend: p moved by each bone's motion, weighted; weights are normalised to sum 1. A
// point without (usable) influences stays where it is.
Point3 blendPoint(const Point3& p, const std::vector<std::pair<int, float>>& influences,
                  const std::vector<Matrix3>& boneMotion);

} // namespace hostcore::detail
