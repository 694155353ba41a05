// How deeply the host scene nests, measured in the levels of X file objects an export needs.
#pragma once

namespace scene {

// X files nest data objects at most this deep; readers refuse anything deeper.
inline constexpr int kMaxXObjectDepth = 128;

// The deepest level of X file objects the current host scene needs: a node n levels below the
// root is a frame at level n, holding its transform one level down, and its mesh with the
// material list, material and texture name up to four levels down. Walks the scene with an
// explicit stack, so any depth is safe.
int xObjectDepthNeeded();

} // namespace scene
