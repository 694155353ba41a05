// The materials of a node as the export sees them: the colours, shininess and diffuse bitmap of
// each standard material, and the map channels its vertex-colour maps read.
#pragma once

#include "model/SceneSnapshot.h"
#include "wintypes.h"

class INode;
class Mtl;

// Replaces `materials` with the node's materials: one per slot of a multi/sub-object material,
// one for a plain material, or one in the node's wire colour when it has none. An empty slot of
// a multi/sub-object material gets the wire colour entry too, so its faces stay opaque.
void captureMaterials(INode* node, std::vector<SnapshotMaterial>& materials);

// Diffuse = the wire colour (0x00BBGGRR) with alpha 1, ambient and specular black with alpha 1.
SnapshotMaterial wireColorMaterial(DWORD wireColor);

SnapshotMaterial materialFrom(Mtl* material);
