// The walk over the host scene that fills a scene snapshot for export: the node tree with local
// transforms at time 0, each node's mesh with materials and skin weights, and one animation set
// per stored animation range (or one "default" set over the scene's animation range).
#pragma once

#include "model/SceneSnapshot.h"

#include <cstdint>
#include <memory>

class Interface;
class INode;

class SceneCapture {
public:
    // 0: animation from the controllers' keys; otherwise every node's local matrix sampled this
    // many times a second.
    std::int32_t samplingFps = 0;
    std::int32_t ticksPerSecond = 4800; // the host's time base

    // The whole scene under the host's root node. Never null; owned by the caller. Reads the
    // scene at time 0 (keys over their sets) and changes nothing in it: skin and Physique
    // modifiers switched off while a mesh is read are switched on again, also when the capture
    // throws.
    std::unique_ptr<SceneSnapshot> captureScene(Interface* ip) const;
};
