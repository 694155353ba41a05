#include "capture/MaterialCapture.h"

#include "inode.h"
#include "istdplug.h"
#include "stdmat.h"

namespace {

constexpr float kByteToUnit = 0.003921569f; // 1 / 255

SnapshotColor colorOf(const Color& color, float alpha) {
    return SnapshotColor{color.r, color.g, color.b, alpha};
}

// The channel a vertex-colour map reads (parameter 0 of its first block), or -1 when the map is
// of another kind or does not say.
std::int32_t vertexColorChannelOf(Texmap* map) {
    if (!map || map->ClassID() != Class_ID(VCOL_CLASS_ID, 0)) return -1;
    IParamBlock2* block = map->GetParamBlock(0);
    if (!block) return -1;
    int channel = -1;
    Interval valid = FOREVER;
    if (!block->GetValue(0, 0, channel, valid)) return -1;
    return channel;
}

} // namespace

SnapshotMaterial wireColorMaterial(DWORD wireColor) {
    SnapshotMaterial material;
    material.diffuse = SnapshotColor{float(GetRValue(wireColor)) * kByteToUnit,
                                     float(GetGValue(wireColor)) * kByteToUnit,
                                     float(GetBValue(wireColor)) * kByteToUnit, 1.0f};
    material.ambient = SnapshotColor{0.0f, 0.0f, 0.0f, 1.0f};
    material.specular = SnapshotColor{0.0f, 0.0f, 0.0f, 1.0f};
    return material;
}

SnapshotMaterial materialFrom(Mtl* mtl) {
    SnapshotMaterial material;
    material.diffuse = colorOf(mtl->GetDiffuse(0, FALSE), 1.0f - mtl->GetXParency(0, FALSE));
    material.ambient = colorOf(mtl->GetAmbient(0, FALSE), 0.0f);
    material.specular = colorOf(mtl->GetSpecular(0, FALSE), 0.0f);
    material.power = mtl->GetShininess(0, FALSE);

    Texmap* diffuseMap = mtl->GetSubTexmap(ID_DI);
    if (diffuseMap && diffuseMap->ClassID() == Class_ID(BMTEX_CLASS_ID, 0)) {
        if (const TCHAR* fileName = static_cast<BitmapTex*>(diffuseMap)->GetMapName())
            material.textureFilename = fileName;
    }
    material.diffuseColorChannel = vertexColorChannelOf(diffuseMap);
    material.opacityColorChannel = vertexColorChannelOf(mtl->GetSubTexmap(ID_OP));
    return material;
}

void captureMaterials(INode* node, std::vector<SnapshotMaterial>& materials) {
    materials.clear();
    Mtl* mtl = node->GetMtl();
    if (!mtl) {
        materials.push_back(wireColorMaterial(node->GetWireColor()));
        return;
    }
    const int slotCount = mtl->NumSubMtls();
    if (slotCount <= 0) {
        materials.push_back(materialFrom(mtl));
        return;
    }
    materials.reserve(std::size_t(slotCount));
    for (int i = 0; i < slotCount; ++i) {
        Mtl* sub = mtl->GetSubMtl(i);
        materials.push_back(sub ? materialFrom(sub) : wireColorMaterial(node->GetWireColor()));
    }
}
