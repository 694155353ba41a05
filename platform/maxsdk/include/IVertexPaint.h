// The vertex paint modifier's interface: colours painted into one map channel of the mesh
// passing through.
#pragma once

#include "color.h"
#include "iFnPub.h"
#include "tab.h"

class INode;

#define IVERTEXPAINT_INTERFACE_ID Interface_ID(0x3E262EF9, 0x220E7190)

class IAssignVertexColors : public FPMixinInterface {
public:
    enum LightingModel { kLightingOnly = 0, kShadedLighting = 1, kShadedOnly = 2 };
    // The options record; its first member is the map channel written.
    struct Options {
        int mapChannel = 0;
        bool mixVertColors = false;
        bool castShadows = false;
        bool useMaps = false;
        bool useRadiosity = false;
        bool radiosityOnly = false;
        LightingModel lightingModel = kShadedLighting;
    };
};

class IVertexPaint : public FPMixinInterface {
public:
    struct FaceColor {
        Color colors[3];
    };
    typedef Tab<Color*> VertColorTab;
    typedef Tab<FaceColor*> FaceColorTab;
    typedef IAssignVertexColors::Options Options;

    // Colours for `node`: one per vertex, or three per face. The modifier copies them. 0 when
    // they do not fit the node's mesh (or the node does not use this modifier), else 1.
    virtual int SetColors(INode* node, VertColorTab& vertColors) = 0;
    virtual int SetColors(INode* node, FaceColorTab& faceColors) = 0;
    virtual void GetOptions(Options& options) = 0;
    virtual void SetOptions(Options& options) = 0;
};
