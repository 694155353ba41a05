#include "build/ModifierStack.h"

#include "inode.h"
#include "modstack.h"

IDerivedObject* derivedObjectOf(INode* node) {
    if (!node) return nullptr;
    Object* object = node->GetObjectRef();
    if (object && object->SuperClassID() == GEN_DERIVOB_CLASS_ID)
        return static_cast<IDerivedObject*>(object);
    // The derived object references the node's object before the node lets go of it.
    IDerivedObject* derived = CreateDerivedObject(object);
    node->SetObjectRef(derived);
    return derived;
}
