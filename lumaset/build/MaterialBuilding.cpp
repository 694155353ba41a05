#include "build/SceneBuilder.h"
#include "build/TextureSearch.h"

#include "inode.h"
#include "iparamblock2.h"
#include "istdplug.h"
#include "maxapi.h"
#include "stdmat.h"

#include <algorithm>
#include <cstddef>

namespace {

Color colorOf(const SnapshotColor& c) {
    return Color(c.r, c.g, c.b);
}

} // namespace

bool SceneBuilder::ApplyMaterials(INode* node, const SnapshotMesh& mesh) const {
    if (!node || mesh.materials.empty()) return false;
    if (mesh.materials.size() == 1) {
        StdMat2* material = NewDefaultStdMat();
        FillMaterial(material, &mesh.materials.front());
        node->SetMtl(material);
        return true;
    }
    // Face ids pick sub-materials, so material i of the mesh becomes sub-material i. A host
    // container has a limited number of slots; ids beyond them wrap around as the host's do.
    MultiMtl* container = NewDefaultMultiMtl();
    const std::size_t wanted = std::min<std::size_t>(mesh.materials.size(), 0xFFFF + 1);
    container->SetNumSubMtls(static_cast<int>(wanted));
    for (int i = 0; i < container->NumSubMtls(); ++i) {
        StdMat2* material = NewDefaultStdMat();
        FillMaterial(material, &mesh.materials[static_cast<std::size_t>(i)]);
        container->SetSubMtl(i, material);
    }
    node->SetMtl(container);
    return true;
}

bool SceneBuilder::FillMaterial(StdMat2* material, const SnapshotMaterial* snapshotMaterial) const {
    if (!material || !snapshotMaterial) return false;
    const SnapshotMaterial& m = *snapshotMaterial;
    material->SetDiffuse(colorOf(m.diffuse), 0);
    material->SetAmbient(colorOf(m.ambient), 0);
    material->SetSpecular(colorOf(m.specular), 0);
    material->SetShininess(m.power, 0);
    material->SetOpacity(m.diffuse.a, 0);

    if (!m.textureFilename.empty()) {
        BitmapTex* texture = NewDefaultBitmapTex();
        texture->SetMapName(findTextureFile(m.textureFilename, fileName).c_str());
        material->SetSubTexmap(ID_DI, texture);
        material->SetTexmapAmt(ID_DI, 1.0f, 0);
        material->EnableMap(ID_DI, TRUE);
    }

    if (m.opacityColorChannel != -1) {
        auto* map =
            static_cast<Texmap*>(CreateInstance(TEXMAP_CLASS_ID, Class_ID(VCOL_CLASS_ID, 0)));
        if (map) {
            // The map's first parameter is the map channel it reads.
            if (IParamBlock2* parameters = map->GetParamBlock(0))
                parameters->SetValue(0, 0, static_cast<int>(m.opacityColorChannel));
            material->SetSubTexmap(ID_OP, map);
        }
    }
    return true;
}
