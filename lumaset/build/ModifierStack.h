// The modifier stack of an imported node.
#pragma once

class IDerivedObject;
class INode;

// The node's derived object: its object when that already is one, otherwise a new derived
// object over the node's object, made the node's object. Null only for a null node.
IDerivedObject* derivedObjectOf(INode* node);
