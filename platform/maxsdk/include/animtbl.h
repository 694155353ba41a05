// Animatable: the root of everything in a scene that can be animated, referenced or carry
// application data (nodes, objects, modifiers, controllers, materials, the scene itself).
#pragma once

#include <vector>

#include "maxtypes.h"
#include "plugapi.h"
#include "strclass.h"

class IParamBlock2;
class BaseInterface;

// Animatable flag bits (TestAFlag and friends).
#define A_MOD_DISABLED (1 << 5)
#define A_LOCK_TARGET (1 << 27) // kept alive while its references drop to zero
#define A_WORK1 (1 << 28)
#define A_WORK2 (1 << 29)
#define A_WORK3 (1 << 30)
#define A_WORK4 (1u << 31)

// Interface ids for Animatable::GetInterface(ULONG).
#define I_CONTROL 0x00001001
#define I_MASTER 0x00001010
#define I_USERINTERFACE 0x0000FFFF

// Answer of NumKeys for animatables that hold no keys.
#define NOT_KEYFRAMEABLE -1

// One chunk of application data attached to an animatable. `data` belongs to the host: it was
// allocated with malloc by whoever added it and is freed with free when the chunk goes.
class AppDataChunk {
public:
    Class_ID classID;
    SClass_ID superClassID = 0;
    DWORD subID = 0;
    DWORD length = 0;
    void* data = nullptr;
};

class Animatable {
public:
    Animatable() = default;
    Animatable(const Animatable&) = delete;
    Animatable& operator=(const Animatable&) = delete;
    virtual ~Animatable();

    // Identity of the class this object is an instance of.
    virtual SClass_ID SuperClassID() { return 0; }
    virtual Class_ID ClassID() { return Class_ID(0, 0); }

    // Deletes the object the way its class wants (the host's objects: delete).
    virtual void DeleteThis() { delete this; }

    // Interfaces by number (I_CONTROL, I_SKIN, ...) and by published id; NULL when absent.
    virtual void* GetInterface(ULONG id);
    virtual BaseInterface* GetInterface(Interface_ID id);
    // Reserved by the SDK; nothing to release for the host's own interfaces.
    virtual void ReleaseInterface(ULONG id, void* i);

    // Sub-animatables (a transform controller's position, rotation and scale, ...).
    virtual int NumSubs() { return 0; }
    virtual Animatable* SubAnim(int i);
    virtual TSTR SubAnimName(int) { return TSTR(); }

    // Keys, for keyframe controllers; NOT_KEYFRAMEABLE for everything else.
    virtual int NumKeys() { return NOT_KEYFRAMEABLE; }
    virtual TimeValue GetKeyTime(int index);
    virtual int GetKeyIndex(TimeValue t);

    // Parameter blocks (NULL when the class has none).
    virtual int NumParamBlocks() { return 0; }
    virtual IParamBlock2* GetParamBlock(int i);
    virtual IParamBlock2* GetParamBlockByID(BlockID id);

    void SetAFlag(DWORD mask) { aflag |= mask; }
    void ClearAFlag(DWORD mask) { aflag &= ~mask; }
    int TestAFlag(DWORD mask) const { return (aflag & mask) != 0; }

    // Application data. AddAppDataChunk takes ownership of `data`, which must come from malloc.
    // A chunk with an existing key is appended anyway; lookups find the oldest one, so callers
    // remove before they add.
    void AddAppDataChunk(Class_ID cid, SClass_ID sid, DWORD sbid, DWORD len, void* data);
    AppDataChunk* GetAppDataChunk(Class_ID cid, SClass_ID sid, DWORD sbid);
    BOOL RemoveAppDataChunk(Class_ID cid, SClass_ID sid, DWORD sbid);
    void ClearAllAppData();

private:
    DWORD aflag = 0;
    std::vector<AppDataChunk*> appData;
};
