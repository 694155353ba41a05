// The skin modifier's interfaces: ISkin (bones and their bind matrices), ISkinContextData
// (weights of one node) and ISkinImportData (building a skin from outside).
#pragma once

#include "matrix3.h"
#include "maxtypes.h"
#include "tab.h"

class INode;

#define I_SKIN 0x00010000
#define I_SKINIMPORTDATA 0x00020000
#define I_SKIN2 0x00030000

#define SKIN_CLASSID Class_ID(9815843, 87654)

#define SKIN_INVALID_NODE_PTR 0
#define SKIN_OK 1

#define BONE_LOCK_FLAG 1
#define BONE_ABSOLUTE_FLAG 2
#define BONE_SPLINE_FLAG 4
#define BONE_SPLINECLOSED_FLAG 8
#define BONE_DRAW_ENVELOPE_FLAG 16
#define BONE_BONE_FLAG 32
#define BONE_DEAD_FLAG 64

// Weights of the points of one node. Indices out of range answer 0.
class ISkinContextData {
public:
    virtual int GetNumPoints() = 0;
    virtual int GetNumAssignedBones(int vertexIdx) = 0;
    // Index for ISkin::GetBone, or -1.
    virtual int GetAssignedBone(int vertexIdx, int boneIdx) = 0;
    virtual float GetBoneWeight(int vertexIdx, int boneIdx) = 0;
};

class ISkin {
public:
    // Matrix of a bone (or of the skinned node) captured when it was added, or set by
    // ISkinImportData: the node matrix, or the object matrix with bObjOffset. SKIN_OK, or
    // SKIN_INVALID_NODE_PTR when the node is not a bone (not skinned) here.
    virtual int GetBoneInitTM(INode* pNode, Matrix3& InitTM, bool bObjOffset = false) = 0;
    virtual int GetSkinInitTM(INode* pNode, Matrix3& InitTM, bool bObjOffset = false) = 0;
    virtual int GetNumBones() = 0;
    virtual INode* GetBone(int idx) = 0;
    virtual DWORD GetBoneProperty(int idx) = 0;
    // Weights of `pNode`; NULL when the node does not use this modifier. Owned by the skin.
    virtual ISkinContextData* GetContextInterface(INode* pNode) = 0;
    virtual TCHAR* GetBoneName(int index) = 0;
    virtual int GetNumBonesFlat() = 0;
    virtual INode* GetBoneFlat(int idx) = 0;
    // Time at which initial matrices are captured.
    virtual int GetRefFrame() = 0;
};

class ISkinImportData {
public:
    // Appends a bone and captures its object and node matrices at the reference frame. FALSE
    // for NULL or a bone already there.
    virtual BOOL AddBoneEx(INode* boneNode, BOOL update) = 0;
    // Replaces the skinned node's initial object and node matrices (the SDK's header comment
    // calls it SetSkinBaseTm; SetSkinTm is its name). FALSE when the node does
    // not use this modifier.
    virtual BOOL SetSkinTm(INode* skinNode, Matrix3 objectTm, Matrix3 nodeTm) = 0;
    // Replaces a bone's initial object and node matrices. FALSE when it is not a bone here.
    virtual BOOL SetBoneTm(INode* boneNode, Matrix3 objectTm, Matrix3 nodeTm) = 0;
    // Replaces the influences of one vertex. FALSE, changing nothing, when the node does not
    // use this modifier, the vertex is out of range, the tables differ in length or a bone is
    // not in the skin.
    virtual BOOL AddWeights(INode* skinNode, int vertexID, Tab<INode*>& boneNodeList,
                            Tab<float>& weights) = 0;
};
