// The animation set utility the host lists in its utilities panel. The host creates one object
// each time the user opens it and ends it with DeleteThis.
#pragma once

#include "utilapi.h"

class AnimationSetUtility : public UtilityObj {
public:
    AnimationSetUtility() = default;
    ~AnimationSetUtility() override = default;

    // Opening and closing the utility: its dialog is not built yet, so there is nothing to show
    // or remove.
    void BeginEditParams(Interface* ip, IUtil* iu) override;
    void EndEditParams(Interface* ip, IUtil* iu) override;
    // Each object comes from PluginClassDesc::Create with new: it deletes itself.
    void DeleteThis() override { delete this; }
};
