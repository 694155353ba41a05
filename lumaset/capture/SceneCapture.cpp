#include "capture/SceneCapture.h"

#include "animsets/AnimationSetStore.h"
#include "host/FrameTicks.h"
#include "capture/CaptureTime.h"

#include "inode.h"
#include "maxapi.h"

#include <string>
#include <utility>
#include <vector>

namespace {

// The node's matrix relative to its parent at time t. The root's own matrix is the identity,
// so a top-level node's local matrix is its world matrix.
Matrix3 localMatrixAt(INode* node, TimeValue t) {
    INode* parent = node->GetParentNode();
    Matrix3 world = node->GetNodeTM(t);
    return parent ? world * Inverse(parent->GetNodeTM(t)) : world;
}

} // namespace

std::unique_ptr<SceneSnapshot> SceneCapture::captureScene(Interface* ip) const {
    auto snapshot = std::make_unique<SceneSnapshot>();
    INode* root = ip ? ip->GetRootNode() : nullptr;
    if (!root) return snapshot;

    std::vector<INode*> topLevel;
    for (int i = 0; i < root->NumberOfChildren(); ++i)
        if (INode* child = root->GetChildNode(i)) topLevel.push_back(child);
    snapshot->nodes.resize(topLevel.size());
    for (std::size_t i = 0; i < topLevel.size(); ++i)
        captureNode(topLevel[i], snapshot->nodes[i]);

    std::vector<AnimationSetEntry> storedSets;
    AnimationSetStore().LoadFromScene(storedSets);

    const std::int32_t ticksPerFrame = GetTicksPerFrame();
    const Interval sceneRange = ip->GetAnimRange();
    auto captureTracks = [&](const std::string& setName, TimeValue start, TimeValue end) {
        for (INode* node : topLevel) {
            SnapshotAnimationSet& set = snapshot->findOrAddSet(setName);
            if (isSampledCapture(samplingFps))
                sampleTrack(node, set, start, end);
            else
                keyTrack(node, set, start, end);
        }
    };
    for (const AnimationSetEntry& entry : storedSets)
        captureTracks(entry.name, frameToTicks(entry.start, ticksPerFrame),
                      frameToTicks(entry.end, ticksPerFrame));
    if (storedSets.empty()) captureTracks("default", sceneRange.Start(), sceneRange.End());
    return snapshot;
}

void SceneCapture::captureNode(INode* node, SnapshotNode& record) const {
    // Each children list is sized once, before any of its entries is filled, so the records
    // waiting on the stack never move.
    std::vector<std::pair<INode*, SnapshotNode*>> pending{{node, &record}};
    while (!pending.empty()) {
        auto [host, snapshot] = pending.back();
        pending.pop_back();
        if (!host) continue;

        snapshot->name = host->GetName() ? host->GetName() : "";
        snapshot->localTransform = localMatrixAt(host, 0);
        // Evaluating before the mesh is read also gives modifiers that keep per-node data
        // (skin) the chance to make it, as the first evaluation in the host does.
        host->EvalWorldState(0, TRUE);
        captureMesh(host, snapshot->mesh);

        const int childCount = std::max(0, host->NumberOfChildren());
        snapshot->children.resize(std::size_t(childCount));
        for (int j = childCount - 1; j >= 0; --j)
            pending.emplace_back(host->GetChildNode(j), &snapshot->children[std::size_t(j)]);
    }
}
