// The Physique modifier's export interfaces: per node a context, per vertex an interface that
// names its bones, weights and offsets.
#pragma once

#include "matrix3.h"
#include "maxtypes.h"

class INode;

#define PHYSIQUE_CLASS_ID_A 0x00000100
#define PHYSIQUE_CLASS_ID_B 0x00000000
#define PHYSIQUE_CLASS_ID Class_ID(PHYSIQUE_CLASS_ID_A, PHYSIQUE_CLASS_ID_B)

#define I_PHYINTERFACE 0x00100100
#define I_PHYEXPORT I_PHYINTERFACE
#define I_PHYIMPORT 0x00100101

#define RIGID_TYPE 1
#define DEFORMABLE_TYPE 2
#define BLENDED_TYPE 4
#define FLOATING_TYPE 8
#define RIGID_NON_BLENDED_TYPE (RIGID_TYPE)
#define DEFORMABLE_NON_BLENDED_TYPE (DEFORMABLE_TYPE)
#define RIGID_BLENDED_TYPE (RIGID_TYPE | BLENDED_TYPE)
#define DEFORMABLE_BLENDED_TYPE (DEFORMABLE_TYPE | BLENDED_TYPE)

#define MATRIX_RETURNED 0
#define NODE_NOT_FOUND 1
#define NO_MATRIX_SAVED 2
#define INVALID_MOD_POINTER 3

class IPhyVertexExport {
public:
    virtual ~IPhyVertexExport() = default;
    virtual int GetVertexType() = 0;
};

class IPhyRigidVertex : public IPhyVertexExport {
public:
    virtual INode* GetNode() = 0;
    // The vertex's reference-pose world position in the bone's reference frame.
    virtual Point3 GetOffsetVector() = 0;
};

class IPhyBlendedRigidVertex : public IPhyVertexExport {
public:
    virtual int GetNumberNodes() = 0;
    virtual INode* GetNode(int i) = 0;
    virtual float GetWeight(int i) = 0;
    virtual Point3 GetOffsetVector(int i) = 0;
};

class IPhyFloatingVertex : public IPhyVertexExport {
public:
    virtual int GetNumberNodes() = 0;
    virtual INode* GetNode(int i) = 0;
    virtual float GetWeight(int i, float& totalweight) = 0;
    virtual Point3 GetOffsetVector(int i) = 0;
};

class IPhyContextExport {
public:
    virtual ~IPhyContextExport() = default;
    virtual int GetNumberVertices() = 0;
    // Present deformable vertices as rigid (default FALSE).
    virtual void ConvertToRigid(BOOL flag = TRUE) = 0;
    // FALSE: only non-blended vertex interfaces (NULL for blended vertices). Default TRUE.
    virtual void AllowBlending(BOOL flag = TRUE) = 0;
    // A new vertex interface (released with ReleaseVertexInterface), or NULL.
    virtual IPhyVertexExport* GetVertexInterface(int i) = 0;
    virtual void ReleaseVertexInterface(IPhyVertexExport* vertexExport) = 0;
    virtual IPhyFloatingVertex* GetFloatingVertexInterface(int i) = 0;
};

class IPhysiqueExport {
public:
    virtual ~IPhysiqueExport() = default;
    // A new context for `nodePtr` (released with ReleaseContextInterface), or NULL when the
    // node does not use this modifier.
    virtual IPhyContextExport* GetContextInterface(INode* nodePtr) = 0;
    virtual void ReleaseContextInterface(IPhyContextExport* contextExport) = 0;
    // Node matrix of a bone or of the skinned node when Physique was initialised.
    virtual int GetInitNodeTM(INode* node, Matrix3& initNodeTM) = 0;
    virtual int Version() = 0;
};
