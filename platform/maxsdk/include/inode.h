// INode: one place in the scene hierarchy. A node has a transform controller (its pivot's
// matrix relative to the parent), an object offset (pivot to geometry), an object reference
// (the pipeline it shows) and a material. Nodes belong to the host.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "matrix3.h"
#include "object.h"
#include "quat.h"
#include "scalevalue.h"

class Control;
class Mtl;

// Vertex colour display kinds (GetVertexColorType).
#define nvct_color 0
#define nvct_illumination 1
#define nvct_alpha 2
#define nvct_color_plus_illum 3
#define nvct_soft_select 4
#define nvct_map_channel 5

class INode : public ReferenceTarget {
public:
    INode();
    ~INode() override;

    SClass_ID SuperClassID() override { return BASENODE_CLASS_ID; }
    Class_ID ClassID() override { return Class_ID(BASENODE_CLASS_ID, 0); }

    // Names need not be unique; NULL sets the empty name.
    TCHAR* GetName() { return name.data(); }
    void SetName(const TCHAR* s);

    // Hierarchy. Top-level nodes have the root as parent; the root has none. Children keep the
    // order in which they were attached.
    INode* GetParentNode() { return parent; }
    int IsRootNode() { return isRoot; }
    int NumberOfChildren() { return int(children.size()); }
    // NULL for an index out of range.
    INode* GetChildNode(int i);
    // Re-parents `node` under this node. keepPos nonzero keeps its world matrix (the local
    // value becomes world * Inverse(newParentWorld)), zero keeps its local value. Attaching a
    // node under itself or one of its descendants is refused.
    void AttachChild(INode* node, int keepPos = 1);
    // Re-parents this node under the root (same keepPos meaning).
    void Detach(TimeValue t, int keepPos = 1);

    // World matrix of the pivot at t: the controller's value over the parent's world matrix.
    // Identity for the root. Object offset not included. `valid` is narrowed to the interval
    // over which the matrix holds: the node's own and every ancestor's.
    Matrix3 GetNodeTM(TimeValue t, Interval* valid = nullptr);
    // Sets the world matrix at t through the transform controller (animate mode applies).
    void SetNodeTM(TimeValue t, Matrix3& tm);
    // Object points to world: ObjectOffsetTM * GetNodeTM(t).
    Matrix3 GetObjectTM(TimeValue t, Interval* valid = nullptr);
    Matrix3 GetObjTMBeforeWSM(TimeValue t, Interval* valid = nullptr) {
        return GetObjectTM(t, valid);
    }
    Matrix3 GetObjTMAfterWSM(TimeValue t, Interval* valid = nullptr) {
        return GetObjectTM(t, valid);
    }

    // Object offset: never animated, not inherited, identity on new nodes.
    void SetObjOffsetPos(Point3 p) { offsetPos = p; }
    Point3 GetObjOffsetPos() { return offsetPos; }
    void SetObjOffsetRot(Quat q) { offsetRot = q; }
    Quat GetObjOffsetRot() { return offsetRot; }
    void SetObjOffsetScale(ScaleValue sv) { offsetScale = sv; }
    ScaleValue GetObjOffsetScale() { return offsetScale; }

    // The object the node shows: the derived object when there are modifiers, else the base
    // object. Replacing it drops the node's reference to the old one, which dies unless
    // something else still references it.
    Object* GetObjectRef() { return objectRef; }
    void SetObjectRef(Object* o);
    // Evaluates the pipeline at `time`: base object, then the enabled modifiers bottom to top.
    // The state's object belongs to the pipeline, valid until the next evaluation or change.
    // With evalHidden FALSE a hidden node is not evaluated (the last state is returned).
    const ObjectState& EvalWorldState(TimeValue time, BOOL evalHidden = TRUE);

    Control* GetTMController() { return tmController; }
    void SetTMController(Control* c);

    Mtl* GetMtl() { return material; }
    void SetMtl(Mtl* m);

    DWORD GetWireColor() { return wireColor; }
    void SetWireColor(DWORD newcol) { wireColor = newcol; }
    int Renderable() { return renderable; }
    void SetRenderable(BOOL onOff) { renderable = onOff ? 1 : 0; }
    void Hide(BOOL onOff) { hidden = onOff ? 1 : 0; }
    int IsHidden() { return hidden; }

    // Visibility (not animated here): 1.0 by default, <= 0 invisible; GetVisibility includes
    // the parent's while inherit visibility is on (the default).
    float GetVisibility(TimeValue t, Interval* valid = nullptr);
    float GetLocalVisibility(TimeValue t, Interval* valid = nullptr);
    void SetVisibility(TimeValue t, float vis) {
        (void)t;
        visibility = vis;
    }
    void SetInheritVisibility(BOOL onOff) { inheritVisibility = onOff ? 1 : 0; }
    BOOL GetInheritVisibility() { return inheritVisibility; }

    int Selected();

    // Bone display flag; changes no matrix.
    void SetBoneNodeOnOff(BOOL onOff, TimeValue t);
    BOOL GetBoneNodeOnOff() { return boneOn; }
    Matrix3 GetStretchTM(TimeValue t, Interval* valid = nullptr);

    // Viewport vertex-colour display; never changes mesh data.
    void SetCVertMode(int onOff) { cvertMode = onOff; }
    int GetCVertMode() { return cvertMode; }
    void SetShadeCVerts(int onOff) { shadeCVerts = onOff; }
    int GetShadeCVerts() { return shadeCVerts; }
    int GetVertexColorType() { return vertexColorType; }
    void SetVertexColorType(int type) { vertexColorType = type; }
    int GetVertexColorMapChannel() { return vertexColorMapChannel; }
    void SetVertexColorMapChannel(int channel) { vertexColorMapChannel = channel; }

    RefResult NotifyRefChanged(Interval changeInt, RefTargetHandle hTarget, PartID& partID,
                               RefMessage message) override;

private:
    friend class hostcore::detail::CoreAccess;
    Matrix3 parentTM(TimeValue t);
    void removeFromParent();
    static void tellOwner(Control* c, INode* owner);

    // The last world matrix made, for the scene revision and time it holds for (revision 0:
    // none).
    struct WorldCache {
        std::uint64_t revision = 0;
        TimeValue time = 0;
        Matrix3 world = Matrix3(1);
        Interval valid;
    };
    WorldCache cache;

    std::string name;
    INode* parent = nullptr;
    std::vector<INode*> children;
    int isRoot = 0;
    Control* tmController = nullptr;
    Object* objectRef = nullptr;
    Mtl* material = nullptr;
    Point3 offsetPos;
    Quat offsetRot;
    ScaleValue offsetScale;
    ObjectState worldState;
    DWORD wireColor = 0x00808080;
    int renderable = 1;
    int hidden = 0;
    float visibility = 1.0f;
    int inheritVisibility = 1;
    BOOL boneOn = FALSE;
    int cvertMode = 0;
    int shadeCVerts = 0;
    int vertexColorType = nvct_color;
    int vertexColorMapChannel = 1;
};
