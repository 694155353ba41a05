// TriObject: the host's triangle-mesh object.
#pragma once

#include "mesh.h"
#include "object.h"

extern Class_ID triObjectClassID;

class TriObject : public GeomObject {
public:
    Mesh mesh;

    Class_ID ClassID() override { return Class_ID(TRIOBJ_CLASS_ID, 0); }
    const TCHAR* GetObjectName() override { return "Mesh"; }
    Mesh& GetMesh() { return mesh; }
    Object* MakeShallowCopy() override;
};

// A new, empty triangle object (no vertices, no faces) that nothing references yet.
TriObject* CreateNewTriObject();
