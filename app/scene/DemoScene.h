// The built-in demo scene: small, and touching everything the exporter handles. A pedestal with
// two materials on one mesh, a textured panel with vertex colours (alpha included), a mirrored
// copy of that panel, and a skinned two-bone arm; two animations ("wave" moves the arm, "spin"
// turns the pedestal and slides the mirrored panel) become two stored animation ranges.
#pragma once

#include "gltf/GltfScene.h"

namespace scene {

gltf::Scene demoScene();

} // namespace scene
