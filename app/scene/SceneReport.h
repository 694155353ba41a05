// The text of `lumaset scene info`: what the host scene holds, as the host sees it.
#pragma once

#include <ostream>

namespace scene {

// Prints the current host scene: frame rate and animation range, the stored animation ranges,
// then the node tree with each node's local transform at frame 0 (host values: the host's
// quaternion convention), its key counts, mesh, material and skin.
void printHostScene(std::ostream& out);

} // namespace scene
