// The host's objects besides triangle meshes and bones: the box primitive (a parametric object
// that makes a new triangle mesh each time it is converted), and the dummy helper, the free
// camera and the omni light, which are no geometry at all.
#include "ClassTable.h"
#include "hostcore.h"
#include "iparamblock2.h"
#include "triobj.h"

namespace {

// Box primitive: width along X, length along Y, centred on the pivot, height up +Z from it.
// Parameter block 0: 0 length, 1 width, 2 height.
class BoxObject : public GeomObject {
public:
    BoxObject() : block(new IParamBlock2(0, "parameters")) {
        block->DefineFloat(0, "length", 1.0f);
        block->DefineFloat(1, "width", 1.0f);
        block->DefineFloat(2, "height", 1.0f);
        hostcore::takeReference(this, block);
    }
    ~BoxObject() override { hostcore::dropReference(this, block); }

    Class_ID ClassID() override { return Class_ID(BOXOBJ_CLASS_ID, 0); }
    const TCHAR* GetObjectName() override { return "Box"; }
    int NumParamBlocks() override { return 1; }
    IParamBlock2* GetParamBlock(int i) override { return i == 0 ? block : nullptr; }
    IParamBlock2* GetParamBlockByID(BlockID id) override { return id == 0 ? block : nullptr; }

    int CanConvertToType(Class_ID obtype) override {
        return obtype == ClassID() || obtype == triObjectClassID;
    }

    // A new triangle object every time: the caller owns it.
    Object* ConvertToType(TimeValue t, Class_ID obtype) override {
        if (obtype == ClassID()) return this;
        if (obtype != triObjectClassID) return nullptr;
        TriObject* tri = CreateNewTriObject();
        buildBox(tri->mesh, block->GetFloat(1, t), block->GetFloat(0, t), block->GetFloat(2, t));
        return tri;
    }

    Object* MakeShallowCopy() override {
        auto* copy = new BoxObject;
        for (ParamID id = 0; id < 3; ++id)
            copy->block->SetValue(id, 0, block->GetFloat(id));
        return copy;
    }

private:
    // 8 corners, 12 triangles, texture coordinates 0..1 over each side. Side s (0 -Z, 1 +Z,
    // 2 -Y, 3 +Y, 4 -X, 5 +X) has smoothing group 1 << s and material id s.
    static void buildBox(Mesh& mesh, float width, float length, float height) {
        mesh.setNumVerts(8);
        for (int i = 0; i < 8; ++i)
            mesh.setVert(i, (float(i & 1) - 0.5f) * width, (float((i >> 1) & 1) - 0.5f) * length,
                         float((i >> 2) & 1) * height);
        const int sides[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                                 {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
        mesh.setNumTVerts(4);
        mesh.setTVert(0, 0.0f, 0.0f, 0.0f);
        mesh.setTVert(1, 1.0f, 0.0f, 0.0f);
        mesh.setTVert(2, 1.0f, 1.0f, 0.0f);
        mesh.setTVert(3, 0.0f, 1.0f, 0.0f);
        mesh.setNumFaces(12);
        mesh.setNumTVFaces(12);
        for (int s = 0; s < 6; ++s) {
            const int* q = sides[s];
            Face& first = mesh.faces[2 * s];
            Face& second = mesh.faces[2 * s + 1];
            first.setVerts(q[0], q[1], q[2]);
            second.setVerts(q[0], q[2], q[3]);
            first.setEdgeVisFlags(EDGE_VIS, EDGE_VIS, EDGE_INVIS);
            second.setEdgeVisFlags(EDGE_INVIS, EDGE_VIS, EDGE_VIS);
            for (Face* face : {&first, &second}) {
                face->setSmGroup(DWORD(1) << s);
                face->setMatID(MtlID(s));
            }
            mesh.tvFace[2 * s].setTVerts(0, 1, 2);
            mesh.tvFace[2 * s + 1].setTVerts(0, 2, 3);
        }
        mesh.buildNormals();
    }

    IParamBlock2* block;
};

class DummyObject : public HelperObject {
public:
    Class_ID ClassID() override { return Class_ID(DUMMY_CLASS_ID, 0); }
    const TCHAR* GetObjectName() override { return "Dummy"; }
    Object* MakeShallowCopy() override { return new DummyObject; }
};

class FreeCamera : public CameraObject {
public:
    Class_ID ClassID() override { return Class_ID(SIMPLE_CAM_CLASS_ID, 0); }
    const TCHAR* GetObjectName() override { return "Camera"; }
    Object* MakeShallowCopy() override { return new FreeCamera; }
};

class OmniLight : public LightObject {
public:
    Class_ID ClassID() override { return Class_ID(OMNI_LIGHT_CLASS_ID, 0); }
    const TCHAR* GetObjectName() override { return "Omni"; }
    Object* MakeShallowCopy() override { return new OmniLight; }
};

} // namespace

namespace hostcore::detail {

Object* newBoxObject() {
    return new BoxObject;
}
Object* newDummyObject() {
    return new DummyObject;
}
Object* newFreeCamera() {
    return new FreeCamera;
}
Object* newOmniLight() {
    return new OmniLight;
}

} // namespace hostcore::detail
