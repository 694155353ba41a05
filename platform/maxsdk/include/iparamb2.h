// ClassDesc2: a class descriptor that keeps its class's parameter-block descriptions.
//
// The host core has no parameter-block system of its own: a ParamBlockDesc2 here only names a
// block (id, internal name, flags) so that descriptors can list and find them. No block is ever
// built from one, so MakeAutoParamBlocks and the parameter maps have nothing to do.
#pragma once

#include "plugin.h"
#include "strclass.h"
#include "tab.h"

class ClassDesc2;

// Block flags.
#define P_CLASS_PARAMS 0x01
#define P_AUTO_CONSTRUCT 0x02
#define P_AUTO_UI 0x04

class ParamBlockDesc2 {
public:
    // `owner`, when not NULL, gets the description added (it does not take ownership: block
    // descriptions are static objects of the plug-in).
    ParamBlockDesc2(BlockID id, const TCHAR* internalName, ClassDesc2* owner, BYTE flags = 0);

    BlockID ID;
    TSTR int_name;
    ClassDesc2* cd = nullptr;
    BYTE flags;
};

class ClassDesc2 : public ClassDesc {
public:
    int NumParamBlockDescs() override { return paramBlockDescs.Count(); }
    // NULL for an index out of range.
    ParamBlockDesc2* GetParamBlockDesc(int i) override;
    // NULL when no description has that id.
    ParamBlockDesc2* GetParamBlockDescByID(BlockID id) override;
    ParamBlockDesc2* GetParamBlockDescByName(const TCHAR* name);
    // Adds a description (once) and makes this descriptor its owner.
    void AddParamBlockDesc(ParamBlockDesc2* pbd) override;
    void ClearParamBlockDescs() { paramBlockDescs.ZeroCount(); }

    void MakeAutoParamBlocks(ReferenceMaker*) override {}
    void ResetClassParams(BOOL) override {}

private:
    Tab<ParamBlockDesc2*> paramBlockDescs;
};
