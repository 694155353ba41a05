#include "build/SceneBuilder.h"

#include "build/AnimateMode.h"
#include "build/ObjectTransform.h"
#include "build/SnapshotTreeWalk.h"

#include "impexp.h"

bool SceneBuilder::Build(ImpInterface* ii, SceneSnapshot& snapshot) {
    if (!ii) return true;
    forEachSnapshotNode(snapshot.nodes, [this](const SnapshotNode& node) {
        for (const SnapshotSkinWeights& entry : node.mesh.skinWeights)
            boneNames.insert(entry.boneName);
    });

    const ObjectTransform transform = makeObjectTransform(objectScale, objectRotation);
    {
        // Transforms at time 0 are the nodes' constant values, whatever mode the host is in.
        AnimateSuspension noKeys;
        // Several top-level nodes may share a name, and so a track: each track moves once.
        std::set<const SnapshotTrack*> adjustedTracks;
        for (SnapshotNode& node : snapshot.nodes) {
            for (auto& [setName, set] : snapshot.animationSets) {
                const auto track = set.find(node.name);
                if (track != set.end() && adjustedTracks.insert(&track->second).second)
                    adjustTopLevelTrack(track->second, transform);
            }
            node.localTransform = node.localTransform * transform.matrix;
            if (ImpNode* importNode = BuildNode(ii, node)) ii->AddNodeToScene(importNode);
        }
        BuildSkins(snapshot.nodes);
    }
    BuildAnimationSets(snapshot);
    return true;
}
