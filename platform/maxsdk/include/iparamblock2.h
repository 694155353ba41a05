// IParamBlock2: a block of typed parameters addressed by id. The host's blocks hold plain
// values: a parameter set at any time keeps that value (its classes' parameters are not
// animated).
#pragma once

#include <string>
#include <vector>

#include "color.h"
#include "interval.h"
#include "point3.h"
#include "ref.h"

class Mtl;
class Texmap;
class INode;

enum ParamType2 {
    TYPE_FLOAT,
    TYPE_INT,
    TYPE_RGBA,
    TYPE_POINT3,
    TYPE_BOOL,
    TYPE_STRING = 8,
    TYPE_MTL = 10,
    TYPE_TEXMAP = 11,
    TYPE_INODE = 17
};

class IParamBlock2 : public ReferenceTarget {
public:
    // A parameter to be defined before use (the class that owns the block does this).
    struct ParamDef {
        ParamID id;
        std::string internalName;
        ParamType2 type;
        int intValue = 0;
        float floatValue = 0.0f;
        Point3 point3Value = Point3(0.0f, 0.0f, 0.0f);
        std::string stringValue;
        ReferenceTarget* reference = nullptr;
        int intMin = -2147483647 - 1;
        int intMax = 2147483647;
    };

    IParamBlock2(BlockID blockId, const TCHAR* name);
    ~IParamBlock2() override;

    SClass_ID SuperClassID() override { return PARAMETER_BLOCK2_CLASS_ID; }
    BlockID ID() const { return blockId; }
    const TCHAR* GetLocalName() const { return localName.c_str(); }
    int NumParams() const { return int(params.size()); }

    // Defines parameter `id` with its default (host side, before the block is handed out).
    void DefineInt(ParamID id, const TCHAR* name, int defaultValue, int minValue, int maxValue);
    void DefineFloat(ParamID id, const TCHAR* name, float defaultValue);

    // Typed access by id; FALSE for an unknown id, a wrong type or an int outside its range.
    BOOL SetValue(ParamID id, TimeValue t, int v, int tabIndex = 0);
    BOOL SetValue(ParamID id, TimeValue t, float v, int tabIndex = 0);
    BOOL SetValue(ParamID id, TimeValue t, Point3& v, int tabIndex = 0);
    BOOL SetValue(ParamID id, TimeValue t, Color& v, int tabIndex = 0);
    BOOL SetValue(ParamID id, TimeValue t, const TCHAR* v, int tabIndex = 0);
    BOOL GetValue(ParamID id, TimeValue t, int& v, Interval& ivalid, int tabIndex = 0);
    BOOL GetValue(ParamID id, TimeValue t, float& v, Interval& ivalid, int tabIndex = 0);
    BOOL GetValue(ParamID id, TimeValue t, Point3& v, Interval& ivalid, int tabIndex = 0);
    BOOL GetValue(ParamID id, TimeValue t, Color& v, Interval& ivalid, int tabIndex = 0);
    int GetInt(ParamID id, TimeValue t = 0, int tabIndex = 0);
    float GetFloat(ParamID id, TimeValue t = 0, int tabIndex = 0);

private:
    ParamDef* find(ParamID id, ParamType2 type);

    BlockID blockId;
    std::string localName;
    std::vector<ParamDef> params;
};
