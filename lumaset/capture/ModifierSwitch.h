// Switching a node's skin deformers off while its mesh is read, so the mesh comes out in its bind
// pose, and on again afterwards on every path out, exceptions included.
#pragma once

#include <vector>

class INode;
class Modifier;

// The modifiers of the node's pipeline, top of the stack first, through every derived object
// the pipeline stacks (instanced modifiers put one derived object over another).
std::vector<Modifier*> pipelineModifiers(INode* node);

// Whether the modifier is a Skin or a Physique modifier.
bool isSkinDeformer(Modifier* modifier);

class SkinDeformersOff {
public:
    // Switches off every enabled Skin and Physique modifier of the node's pipeline. Modifiers
    // that were already off are left alone and stay off.
    explicit SkinDeformersOff(INode* node);
    // Switches back on exactly the modifiers this object switched off.
    ~SkinDeformersOff();

    SkinDeformersOff(const SkinDeformersOff&) = delete;
    SkinDeformersOff& operator=(const SkinDeformersOff&) = delete;

private:
    void restore() noexcept;

    std::vector<Modifier*> switchedOff_;
};
