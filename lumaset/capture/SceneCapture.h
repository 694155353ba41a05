// The walk over the host scene that fills a scene snapshot for export: the node tree with local
// transforms at time 0, each node's mesh with materials and skin weights, and one animation set
// per stored animation range (or one "default" set over the scene's animation range).
//
// Every walk over the node tree keeps its own stack of nodes, so a scene of any depth is captured
// without deep call chains.
#pragma once

#include "maxtypes.h"
#include "model/SceneSnapshot.h"

#include <cstdint>
#include <memory>

class Interface;
class INode;

class SceneCapture {
public:
    // Below 1: animation from the controllers' keys; otherwise every node's local matrix sampled
    // this many times a second (at most once a tick).
    std::int32_t samplingFps = 0;
    std::int32_t ticksPerSecond = 4800; // the host's time base

    // The whole scene under the host's root node. Never null; owned by the caller. Reads the
    // scene at time 0 (keys over their sets) and changes nothing in it: skin and Physique
    // modifiers switched off while a mesh is read are switched on again, also when the capture
    // throws.
    std::unique_ptr<SceneSnapshot> captureScene(Interface* ip) const;

    // Fills `record` with `node` and its whole subtree, depth first in host child order: names,
    // local transforms at time 0 and meshes.
    void captureNode(INode* node, SnapshotNode& record) const;

    // The node's renderable, visible triangle mesh at time 0 in its bind pose, in the node's own
    // space: positions, one render normal per corner, texture coordinates of channel 1 with v
    // flipped, vertex colours, materials and skin weights, each stream welded. `mesh` is left
    // empty when the node shows no such mesh.
    void captureMesh(INode* node, SnapshotMesh& mesh) const;

    // Appends one entry per bone of each Skin and Physique modifier of the node, with weights for
    // the vertices below positions.size() (unwelded indices). Modifiers, vertices and bones the
    // host cannot describe are skipped.
    void captureSkin(INode* node, SnapshotMesh& mesh) const;

    // Matrix keys of `node` and every node below it: the local matrix at start, start + step, ...
    // while before end, at times relative to start. Every node gets a track, keyed or not.
    void sampleTrack(INode* node, SnapshotAnimationSet& set, TimeValue start, TimeValue end) const;

    // Position, scale and rotation keys of `node` and every node below it: at the set's start and
    // end and at each key of the node's transform sub-controllers in between, at times relative to
    // start. Nodes without any keys get no track.
    void keyTrack(INode* node, SnapshotAnimationSet& set, TimeValue start, TimeValue end) const;
};
