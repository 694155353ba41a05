#include "iparamb2.h"

#include <cstring>

ParamBlockDesc2::ParamBlockDesc2(BlockID id, const TCHAR* internalName, ClassDesc2* owner,
                                 BYTE blockFlags)
    : ID(id), int_name(internalName), flags(blockFlags) {
    if (owner) owner->AddParamBlockDesc(this);
}

ParamBlockDesc2* ClassDesc2::GetParamBlockDesc(int i) {
    return i >= 0 && i < paramBlockDescs.Count() ? paramBlockDescs[i] : nullptr;
}

ParamBlockDesc2* ClassDesc2::GetParamBlockDescByID(BlockID id) {
    for (int i = 0; i < paramBlockDescs.Count(); ++i)
        if (paramBlockDescs[i]->ID == id) return paramBlockDescs[i];
    return nullptr;
}

ParamBlockDesc2* ClassDesc2::GetParamBlockDescByName(const TCHAR* name) {
    if (!name) return nullptr;
    for (int i = 0; i < paramBlockDescs.Count(); ++i)
        if (std::strcmp(paramBlockDescs[i]->int_name, name) == 0) return paramBlockDescs[i];
    return nullptr;
}

void ClassDesc2::AddParamBlockDesc(ParamBlockDesc2* pbd) {
    if (!pbd) return;
    for (int i = 0; i < paramBlockDescs.Count(); ++i)
        if (paramBlockDescs[i] == pbd) return;
    paramBlockDescs.Append(1, &pbd);
    pbd->cd = this;
}
