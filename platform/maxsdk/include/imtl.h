// Materials and texture maps: MtlBase (named, with sub-maps), Mtl (what a node is rendered
// with) and Texmap (what fills a material's map slot).
#pragma once

#include <string>

#include "color.h"
#include "ref.h"

class Texmap;

class MtlBase : public ReferenceTarget {
public:
    const TCHAR* GetName() { return name.c_str(); }
    void SetName(const TCHAR* s) { name = s ? s : ""; }

    // Map slots. NULL for an empty slot or an index out of range; setting an index out of range
    // does nothing.
    virtual int NumSubTexmaps() { return 0; }
    virtual Texmap* GetSubTexmap(int) { return nullptr; }
    virtual void SetSubTexmap(int, Texmap*) {}

private:
    std::string name;
};

class Mtl : public MtlBase {
public:
    SClass_ID SuperClassID() override { return MATERIAL_CLASS_ID; }

    // Colours as the interactive renderer sees them; `mtlNum` picks the sub-material of a
    // container material.
    virtual Color GetAmbient(int mtlNum = 0, BOOL backFace = FALSE) = 0;
    virtual Color GetDiffuse(int mtlNum = 0, BOOL backFace = FALSE) = 0;
    virtual Color GetSpecular(int mtlNum = 0, BOOL backFace = FALSE) = 0;
    // Glossiness 0..1.
    virtual float GetShininess(int mtlNum = 0, BOOL backFace = FALSE) = 0;
    // Specular level, nominally 0..1.
    virtual float GetShinStr(int mtlNum = 0, BOOL backFace = FALSE) = 0;
    // 1 - opacity.
    virtual float GetXParency(int mtlNum = 0, BOOL backFace = FALSE) = 0;
    virtual float GetSelfIllum(int mtlNum = 0, BOOL backFace = FALSE) {
        (void)mtlNum;
        (void)backFace;
        return 0.0f;
    }

    // Sub-materials (none for a standard material, which ignores SetSubMtl).
    virtual int NumSubMtls() { return 0; }
    virtual Mtl* GetSubMtl(int) { return nullptr; }
    virtual void SetSubMtl(int, Mtl*) {}
};

class Texmap : public MtlBase {
public:
    SClass_ID SuperClassID() override { return TEXMAP_CLASS_ID; }
};

// Multi/Sub-Object: slots 0..n-1 hold sub-materials; a face with material id m uses slot
// m % n.
class MultiMtl : public Mtl {
public:
    virtual void SetNumSubMtls(int n) = 0;
    virtual void SetSubMtlAndName(int mtlid, Mtl* m, const TCHAR* subMtlName) = 0;
    virtual const TCHAR* GetSubMtlName(int mtlid) = 0;
    virtual void RemoveMtl(int mtlid) = 0;
};

// A new Multi/Sub-Object material with 10 slots, each holding a new standard material.
MultiMtl* NewDefaultMultiMtl();
