// What only the host core may reach inside the SDK classes: reference lists, the scene root
// flag, pipeline evaluation for one node, explicit normals. Internal to the core.
#pragma once

#include <vector>

#include "inode.h"
#include "mesh.h"
#include "modstack.h"
#include "ref.h"

namespace hostcore::detail {

class CoreAccess {
public:
    static std::vector<ReferenceMaker*>& dependents(ReferenceTarget& target) {
        return target.dependents;
    }

    // Makes a node the scene root (no parent, identity matrix).
    static void makeRoot(INode& node) { node.isRoot = 1; }

    // Evaluates `derived` from modifier `modIndex` down for the pipeline of `node`.
    static ObjectState evalForNode(IDerivedObject& derived, TimeValue t, int modIndex,
                                   INode* node) {
        return derived.EvalForNode(t, modIndex, node);
    }

    static std::vector<unsigned char>& specifiedFlags(Mesh& mesh) { return mesh.specifiedFlags; }
    static const std::vector<unsigned char>& specifiedFlags(const Mesh& mesh) {
        return mesh.specifiedFlags;
    }
    static std::vector<Point3>& specifiedNormals(Mesh& mesh) { return mesh.specifiedNormals; }
};

} // namespace hostcore::detail
