#include "scene/SkinLookup.h"

#include <iskin.h>
#include <modstack.h>

namespace scene {

Modifier* findSkin(Object* object) {
    while (object && object->SuperClassID() == GEN_DERIVOB_CLASS_ID) {
        auto* derived = static_cast<IDerivedObject*>(object);
        for (int i = 0; i < derived->NumModifiers(); ++i)
            if (Modifier* modifier = derived->GetModifier(i);
                modifier && modifier->ClassID() == SKIN_CLASSID)
                return modifier;
        object = derived->GetObjRef();
    }
    return nullptr;
}

} // namespace scene
