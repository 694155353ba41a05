#include "Materials.h"
#include "hostcore.h"

#include <algorithm>

namespace {

const Color kDefaultGrey(0.588f, 0.588f, 0.588f);

// Replaces what `slot` references, keeping the reference counts right.
template <class T> void replaceReference(ReferenceMaker* owner, T*& slot, T* value) {
    if (slot == value) return;
    T* old = slot;
    slot = value;
    hostcore::takeReference(owner, value);
    hostcore::dropReference(owner, old);
}

} // namespace

StandardMaterial::StandardMaterial()
    : ambient(kDefaultGrey), diffuse(kDefaultGrey), specular(0.9f, 0.9f, 0.9f),
      filter(0.5f, 0.5f, 0.5f) {
    std::fill(std::begin(mapAmount), std::end(mapAmount), 1.0f);
    mapAmount[ID_BU] = 0.3f;
}

StandardMaterial::~StandardMaterial() {
    for (Texmap*& map : maps)
        replaceReference<Texmap>(this, map, nullptr);
}

void StandardMaterial::EnableMap(int id, BOOL onoff) {
    if (id >= 0 && id < NTEXMAPS) mapOn[id] = onoff ? TRUE : FALSE;
}

BOOL StandardMaterial::MapEnabled(int id) {
    return id >= 0 && id < NTEXMAPS ? mapOn[id] : FALSE;
}

void StandardMaterial::SetTexmapAmt(int id, float amt, TimeValue) {
    if (id >= 0 && id < NTEXMAPS) mapAmount[id] = amt;
}

float StandardMaterial::GetTexmapAmt(int id, TimeValue) {
    return id >= 0 && id < NTEXMAPS ? mapAmount[id] : 0.0f;
}

Texmap* StandardMaterial::GetSubTexmap(int i) {
    return i >= 0 && i < NTEXMAPS ? maps[i] : nullptr;
}

void StandardMaterial::SetSubTexmap(int i, Texmap* m) {
    if (i < 0 || i >= NTEXMAPS) return;
    bool wasEmpty = maps[i] == nullptr;
    replaceReference(this, maps[i], m);
    if (m && wasEmpty) {
        mapOn[i] = TRUE;
        mapAmount[i] = i == ID_BU ? 0.3f : 1.0f;
    }
    NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE);
}

RefResult StandardMaterial::NotifyRefChanged(Interval, RefTargetHandle hTarget, PartID&,
                                             RefMessage message) {
    if (message == REFMSG_TARGET_DELETED)
        for (Texmap*& map : maps)
            if (map == hTarget) map = nullptr;
    return REF_SUCCEED;
}

StdMat2* NewDefaultStdMat() {
    return new StandardMaterial;
}

BitmapTex* NewDefaultBitmapTex() {
    return new BitmapTex;
}

MultiMaterial::MultiMaterial(int slotCount) {
    SetNumSubMtls(slotCount);
}

MultiMaterial::~MultiMaterial() {
    for (Slot& slot : slots)
        replaceReference<Mtl>(this, slot.material, nullptr);
}

Mtl* MultiMaterial::slotFor(int mtlNum) {
    if (slots.empty()) return nullptr;
    return slots[size_t(unsigned(mtlNum) % slots.size())].material;
}

Color MultiMaterial::GetAmbient(int mtlNum, BOOL backFace) {
    Mtl* m = slotFor(mtlNum);
    return m ? m->GetAmbient(0, backFace) : kDefaultGrey;
}
Color MultiMaterial::GetDiffuse(int mtlNum, BOOL backFace) {
    Mtl* m = slotFor(mtlNum);
    return m ? m->GetDiffuse(0, backFace) : kDefaultGrey;
}
Color MultiMaterial::GetSpecular(int mtlNum, BOOL backFace) {
    Mtl* m = slotFor(mtlNum);
    return m ? m->GetSpecular(0, backFace) : Color(0.9f, 0.9f, 0.9f);
}
float MultiMaterial::GetShininess(int mtlNum, BOOL backFace) {
    Mtl* m = slotFor(mtlNum);
    return m ? m->GetShininess(0, backFace) : 0.1f;
}
float MultiMaterial::GetShinStr(int mtlNum, BOOL backFace) {
    Mtl* m = slotFor(mtlNum);
    return m ? m->GetShinStr(0, backFace) : 0.0f;
}
float MultiMaterial::GetXParency(int mtlNum, BOOL backFace) {
    Mtl* m = slotFor(mtlNum);
    return m ? m->GetXParency(0, backFace) : 0.0f;
}

Mtl* MultiMaterial::GetSubMtl(int i) {
    return i >= 0 && i < int(slots.size()) ? slots[size_t(i)].material : nullptr;
}

void MultiMaterial::SetSubMtl(int i, Mtl* m) {
    if (i < 0 || i >= int(slots.size()) || m == this) return;
    replaceReference(this, slots[size_t(i)].material, m);
    NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE);
}

// Growing keeps the slots there are; shrinking lets the dropped sub-materials go.
void MultiMaterial::SetNumSubMtls(int n) {
    n = std::clamp(n, 0, 1000);
    for (size_t i = size_t(n); i < slots.size(); ++i)
        replaceReference<Mtl>(this, slots[i].material, nullptr);
    slots.resize(size_t(n));
}

void MultiMaterial::SetSubMtlAndName(int mtlid, Mtl* m, const TCHAR* subMtlName) {
    if (mtlid < 0 || mtlid >= 1000) return;
    if (mtlid >= int(slots.size())) SetNumSubMtls(mtlid + 1);
    SetSubMtl(mtlid, m);
    slots[size_t(mtlid)].name = subMtlName ? subMtlName : "";
}

const TCHAR* MultiMaterial::GetSubMtlName(int mtlid) {
    return mtlid >= 0 && mtlid < int(slots.size()) ? slots[size_t(mtlid)].name.c_str() : "";
}

void MultiMaterial::RemoveMtl(int mtlid) {
    if (mtlid < 0 || mtlid >= int(slots.size())) return;
    replaceReference<Mtl>(this, slots[size_t(mtlid)].material, nullptr);
    slots.erase(slots.begin() + mtlid);
}

RefResult MultiMaterial::NotifyRefChanged(Interval, RefTargetHandle hTarget, PartID&,
                                          RefMessage message) {
    if (message == REFMSG_TARGET_DELETED)
        for (Slot& slot : slots)
            if (slot.material == hTarget) slot.material = nullptr;
    return REF_SUCCEED;
}

MultiMtl* NewDefaultMultiMtl() {
    auto* multi = new MultiMaterial(10);
    for (int i = 0; i < 10; ++i)
        multi->SetSubMtl(i, NewDefaultStdMat());
    return multi;
}

VertexColorMap::VertexColorMap() : block(new IParamBlock2(0, "parameters")) {
    block->DefineInt(0, "map", 0, 0, 99);
    block->DefineInt(1, "subid", 0, 0, 3);
    hostcore::takeReference(this, block);
}

VertexColorMap::~VertexColorMap() {
    hostcore::dropReference(this, block);
}
