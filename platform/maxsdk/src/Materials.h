// The host's material and map classes behind imtl.h and stdmat.h.
#pragma once

#include <string>
#include <vector>

#include "stdmat.h"

class StandardMaterial : public StdMat2 {
public:
    StandardMaterial();
    ~StandardMaterial() override;

    void SetAmbient(Color c, TimeValue) override { ambient = c; }
    void SetDiffuse(Color c, TimeValue) override { diffuse = c; }
    void SetSpecular(Color c, TimeValue) override { specular = c; }
    void SetFilter(Color c, TimeValue) override { filter = c; }
    void SetShininess(float v, TimeValue) override { shininess = v; }
    void SetShinStr(float v, TimeValue) override { shinStr = v; }
    void SetSelfIllum(float v, TimeValue) override { selfIllum = v; }
    void SetOpacity(float v, TimeValue) override { opacity = v; }
    void SetSoften(BOOL onoff) override { soften = onoff; }
    void SetTwoSided(BOOL onoff) override { twoSided = onoff; }
    Color GetAmbient(TimeValue) override { return ambient; }
    Color GetDiffuse(TimeValue) override { return diffuse; }
    Color GetSpecular(TimeValue) override { return specular; }
    Color GetFilter(TimeValue) override { return filter; }
    float GetShininess(TimeValue) override { return shininess; }
    float GetShinStr(TimeValue) override { return shinStr; }
    float GetSelfIllum(TimeValue) override { return selfIllum; }
    float GetOpacity(TimeValue) override { return opacity; }
    BOOL GetTwoSided() override { return twoSided; }

    void EnableMap(int id, BOOL onoff) override;
    BOOL MapEnabled(int id) override;
    void SetTexmapAmt(int id, float amt, TimeValue t) override;
    float GetTexmapAmt(int id, TimeValue t) override;

    Color GetAmbient(int, BOOL) override { return ambient; }
    Color GetDiffuse(int, BOOL) override { return diffuse; }
    Color GetSpecular(int, BOOL) override { return specular; }
    float GetShininess(int, BOOL) override { return shininess; }
    float GetShinStr(int, BOOL) override { return shinStr; }
    float GetXParency(int, BOOL) override { return 1.0f - opacity; }
    float GetSelfIllum(int, BOOL) override { return selfIllum; }

    int NumSubTexmaps() override { return NTEXMAPS; }
    Texmap* GetSubTexmap(int i) override;
    void SetSubTexmap(int i, Texmap* m) override;

    RefResult NotifyRefChanged(Interval changeInt, RefTargetHandle hTarget, PartID& partID,
                               RefMessage message) override;

private:
    Color ambient, diffuse, specular, filter;
    float shininess = 0.1f, shinStr = 0.0f, selfIllum = 0.0f, opacity = 1.0f;
    BOOL soften = FALSE, twoSided = FALSE;
    Texmap* maps[NTEXMAPS] = {};
    BOOL mapOn[NTEXMAPS] = {};
    float mapAmount[NTEXMAPS] = {};
};

class MultiMaterial : public MultiMtl {
public:
    explicit MultiMaterial(int slotCount);
    ~MultiMaterial() override;

    Class_ID ClassID() override { return Class_ID(MULTI_CLASS_ID, 0); }

    // Colours of sub-material `mtlNum` (wrapped like face material ids); grey when empty.
    Color GetAmbient(int mtlNum, BOOL backFace) override;
    Color GetDiffuse(int mtlNum, BOOL backFace) override;
    Color GetSpecular(int mtlNum, BOOL backFace) override;
    float GetShininess(int mtlNum, BOOL backFace) override;
    float GetShinStr(int mtlNum, BOOL backFace) override;
    float GetXParency(int mtlNum, BOOL backFace) override;

    int NumSubMtls() override { return int(slots.size()); }
    Mtl* GetSubMtl(int i) override;
    void SetSubMtl(int i, Mtl* m) override;
    void SetNumSubMtls(int n) override;
    void SetSubMtlAndName(int mtlid, Mtl* m, const TCHAR* subMtlName) override;
    const TCHAR* GetSubMtlName(int mtlid) override;
    void RemoveMtl(int mtlid) override;

    RefResult NotifyRefChanged(Interval changeInt, RefTargetHandle hTarget, PartID& partID,
                               RefMessage message) override;

private:
    Mtl* slotFor(int mtlNum);
    struct Slot {
        Mtl* material = nullptr;
        std::string name;
    };
    std::vector<Slot> slots;
};

// Vertex Color map: reads a mesh map channel (parameter 0 "map" of block 0) as colour.
class VertexColorMap : public Texmap {
public:
    VertexColorMap();
    ~VertexColorMap() override;

    Class_ID ClassID() override { return Class_ID(VCOL_CLASS_ID, 0); }
    int NumParamBlocks() override { return 1; }
    IParamBlock2* GetParamBlock(int i) override { return i == 0 ? block : nullptr; }
    IParamBlock2* GetParamBlockByID(BlockID id) override { return id == 0 ? block : nullptr; }

private:
    IParamBlock2* block;
};
