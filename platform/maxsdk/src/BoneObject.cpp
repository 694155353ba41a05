// The bone object: a thin four-sided pyramid along the local X axis, one unit long. It is a
// geometric object that converts to a triangle mesh.
#include "ClassTable.h"
#include "istdplug.h"
#include "triobj.h"

namespace {

class BoneObject : public GeomObject {
public:
    Class_ID ClassID() override { return BONE_OBJ_CLASSID; }
    const TCHAR* GetObjectName() override { return "Bone"; }

    int CanConvertToType(Class_ID obtype) override {
        return obtype == ClassID() || obtype == triObjectClassID;
    }

    Object* ConvertToType(TimeValue, Class_ID obtype) override {
        if (obtype == ClassID()) return this;
        if (obtype != triObjectClassID) return nullptr;
        TriObject* tri = CreateNewTriObject();
        Mesh& mesh = tri->mesh;
        const float w = 0.1f;
        mesh.setNumVerts(5);
        mesh.setVert(0, 0.0f, 0.0f, 0.0f);
        mesh.setVert(1, 0.2f, -w, -w);
        mesh.setVert(2, 0.2f, w, -w);
        mesh.setVert(3, 0.2f, w, w);
        mesh.setVert(4, 0.2f, -w, w);
        mesh.setNumFaces(6);
        const int faces[6][3] = {{0, 2, 1}, {0, 3, 2}, {0, 4, 3}, {0, 1, 4}, {1, 2, 3}, {1, 3, 4}};
        for (int f = 0; f < 6; ++f) {
            mesh.faces[f].setVerts(faces[f][0], faces[f][1], faces[f][2]);
            mesh.faces[f].setSmGroup(DWORD(1) << (f < 4 ? f : 4));
            mesh.faces[f].setEdgeVisFlags(1, 1, 1);
        }
        return tri;
    }

    Object* MakeShallowCopy() override { return new BoneObject; }
};

} // namespace

namespace hostcore::detail {

Object* newBoneObject() {
    return new BoneObject;
}

} // namespace hostcore::detail
