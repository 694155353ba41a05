#include "Pipeline.h"

namespace hostcore::detail {

bool findModifier(INode* node, Modifier* mod, IDerivedObject*& owner, int& index) {
    if (!node || !mod) return false;
    Object* object = node->GetObjectRef();
    for (int depth = 0; object && object->SuperClassID() == GEN_DERIVOB_CLASS_ID && depth < 64;
         ++depth) {
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

} // namespace hostcore::detail
