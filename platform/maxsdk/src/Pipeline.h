// Where a modifier sits in a node's pipeline.
#pragma once

#include "inode.h"
#include "modstack.h"

namespace hostcore::detail {

// The derived object of `node`'s pipeline that holds `mod`, and its index there; false when
// the pipeline does not hold it.
bool findModifier(INode* node, Modifier* mod, IDerivedObject*& owner, int& index);

} // namespace hostcore::detail
