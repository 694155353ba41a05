#include "Pipeline.h"

#include "triobj.h"

namespace hostcore::detail {

bool findModifier(INode* node, Modifier* mod, IDerivedObject*& owner, int& index) {
    if (!node || !mod) return false;
    Object* object = node->GetObjectRef();
    for (int depth = 0; object && object->SuperClassID() == GEN_DERIVOB_CLASS_ID && depth < 64; ++depth) {
        auto* derived = static_cast<IDerivedObject*>(object);
        for (int i = 0; i < derived->NumModifiers(); ++i) {
            if (derived->GetModifier(i) == mod) {
                owner = derived;
                index = i;
                return true;
            }
        }
        object = derived->GetObjRef();
    }
    return false;
}

int inputVertexCount(INode* node, Modifier* mod, TimeValue t) {
    IDerivedObject* owner = nullptr;
    int index = 0;
    if (!findModifier(node, mod, owner, index)) return 0;
    ObjectState below = owner->EvalForNode(t, index + 1, node);
    if (!below.obj) return 0;
    if (below.obj->ClassID() == triObjectClassID) return static_cast<TriObject*>(below.obj)->mesh.getNumVerts();
    if (!below.obj->CanConvertToType(triObjectClassID)) return 0;
    Object* converted = below.obj->ConvertToType(t, triObjectClassID);
    if (!converted) return 0;
    int count = static_cast<TriObject*>(converted)->mesh.getNumVerts();
    if (converted != below.obj) converted->DeleteThis();
    return count;
}

}  // namespace hostcore::detail
