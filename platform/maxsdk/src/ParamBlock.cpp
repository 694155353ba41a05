#include "iparamblock2.h"

IParamBlock2::IParamBlock2(BlockID id, const TCHAR* name)
    : blockId(id), localName(name ? name : "") {}

IParamBlock2::~IParamBlock2() = default;

void IParamBlock2::DefineInt(ParamID id, const TCHAR* name, int defaultValue, int minValue,
                             int maxValue) {
    ParamDef def;
    def.id = id;
    def.internalName = name ? name : "";
    def.type = TYPE_INT;
    def.intValue = defaultValue;
    def.intMin = minValue;
    def.intMax = maxValue;
    params.push_back(def);
}

void IParamBlock2::DefineFloat(ParamID id, const TCHAR* name, float defaultValue) {
    ParamDef def;
    def.id = id;
    def.internalName = name ? name : "";
    def.type = TYPE_FLOAT;
    def.floatValue = defaultValue;
    params.push_back(def);
}

IParamBlock2::ParamDef* IParamBlock2::find(ParamID id, ParamType2 type) {
    for (ParamDef& def : params)
        if (def.id == id) return def.type == type ? &def : nullptr;
    return nullptr;
}

BOOL IParamBlock2::SetValue(ParamID id, TimeValue, int v, int tabIndex) {
    ParamDef* def = find(id, TYPE_INT);
    if (!def || tabIndex != 0 || v < def->intMin || v > def->intMax) return FALSE;
    def->intValue = v;
    NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE);
    return TRUE;
}

BOOL IParamBlock2::SetValue(ParamID id, TimeValue, float v, int tabIndex) {
    ParamDef* def = find(id, TYPE_FLOAT);
    if (!def || tabIndex != 0) return FALSE;
    def->floatValue = v;
    return TRUE;
}

BOOL IParamBlock2::SetValue(ParamID id, TimeValue, Point3& v, int tabIndex) {
    ParamDef* def = find(id, TYPE_POINT3);
    if (!def || tabIndex != 0) return FALSE;
    def->point3Value = v;
    return TRUE;
}

BOOL IParamBlock2::SetValue(ParamID id, TimeValue, Color& v, int tabIndex) {
    ParamDef* def = find(id, TYPE_RGBA);
    if (!def || tabIndex != 0) return FALSE;
    def->point3Value = Point3(v.r, v.g, v.b);
    return TRUE;
}

BOOL IParamBlock2::SetValue(ParamID id, TimeValue, const TCHAR* v, int tabIndex) {
    ParamDef* def = find(id, TYPE_STRING);
    if (!def || tabIndex != 0) return FALSE;
    def->stringValue = v ? v : "";
    return TRUE;
}

BOOL IParamBlock2::GetValue(ParamID id, TimeValue, int& v, Interval&, int tabIndex) {
    ParamDef* def = find(id, TYPE_INT);
    if (!def || tabIndex != 0) return FALSE;
    v = def->intValue;
    return TRUE;
}

BOOL IParamBlock2::GetValue(ParamID id, TimeValue, float& v, Interval&, int tabIndex) {
    ParamDef* def = find(id, TYPE_FLOAT);
    if (!def || tabIndex != 0) return FALSE;
    v = def->floatValue;
    return TRUE;
}

BOOL IParamBlock2::GetValue(ParamID id, TimeValue, Point3& v, Interval&, int tabIndex) {
    ParamDef* def = find(id, TYPE_POINT3);
    if (!def || tabIndex != 0) return FALSE;
    v = def->point3Value;
    return TRUE;
}

BOOL IParamBlock2::GetValue(ParamID id, TimeValue, Color& v, Interval&, int tabIndex) {
    ParamDef* def = find(id, TYPE_RGBA);
    if (!def || tabIndex != 0) return FALSE;
    v = Color(def->point3Value.x, def->point3Value.y, def->point3Value.z);
    return TRUE;
}

int IParamBlock2::GetInt(ParamID id, TimeValue t, int tabIndex) {
    int v = 0;
    Interval valid = FOREVER;
    GetValue(id, t, v, valid, tabIndex);
    return v;
}

float IParamBlock2::GetFloat(ParamID id, TimeValue t, int tabIndex) {
    float v = 0.0f;
    Interval valid = FOREVER;
    GetValue(id, t, v, valid, tabIndex);
    return v;
}
