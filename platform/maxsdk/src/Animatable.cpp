#include <cstdlib>

#include "animtbl.h"

Animatable::~Animatable() {
    ClearAllAppData();
}

void* Animatable::GetInterface(ULONG) {
    return nullptr;
}
BaseInterface* Animatable::GetInterface(Interface_ID) {
    return nullptr;
}
void Animatable::ReleaseInterface(ULONG, void*) {}
Animatable* Animatable::SubAnim(int) {
    return nullptr;
}
TimeValue Animatable::GetKeyTime(int) {
    return 0;
}
int Animatable::GetKeyIndex(TimeValue) {
    return -1;
}
IParamBlock2* Animatable::GetParamBlock(int) {
    return nullptr;
}
IParamBlock2* Animatable::GetParamBlockByID(BlockID) {
    return nullptr;
}

void Animatable::AddAppDataChunk(Class_ID cid, SClass_ID sid, DWORD sbid, DWORD len, void* data) {
    auto* chunk = new AppDataChunk;
    chunk->classID = cid;
    chunk->superClassID = sid;
    chunk->subID = sbid;
    chunk->length = len;
    chunk->data = data;
    appData.push_back(chunk);
}

AppDataChunk* Animatable::GetAppDataChunk(Class_ID cid, SClass_ID sid, DWORD sbid) {
    for (AppDataChunk* chunk : appData)
        if (chunk->classID == cid && chunk->superClassID == sid && chunk->subID == sbid)
            return chunk;
    return nullptr;
}

BOOL Animatable::RemoveAppDataChunk(Class_ID cid, SClass_ID sid, DWORD sbid) {
    for (auto it = appData.begin(); it != appData.end(); ++it) {
        AppDataChunk* chunk = *it;
        if (chunk->classID == cid && chunk->superClassID == sid && chunk->subID == sbid) {
            appData.erase(it);
            std::free(chunk->data);
            delete chunk;
            return TRUE;
        }
    }
    return FALSE;
}

void Animatable::ClearAllAppData() {
    for (AppDataChunk* chunk : appData) {
        std::free(chunk->data);
        delete chunk;
    }
    appData.clear();
}
