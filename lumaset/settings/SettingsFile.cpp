#include "settings/SettingsFile.h"

#include "settings/XmlNode.h"

#include <maxapi.h>

namespace {

const char kFileName[] = "/Lumaset.xml";
const char kRoot[] = "LUMASET";
const char kExportSection[] = "EXPORT";
const char kImportSection[] = "IMPORT";
const char kValue[] = "value";

const char* const kObjectScaleKeys[3] = {"OBJECTSCALE_X", "OBJECTSCALE_Y", "OBJECTSCALE_Z"};
const char* const kObjectRotationKeys[3] = {"OBJECTROT_X", "OBJECTROT_Y", "OBJECTROT_Z"};
const char* const kBoneScaleKeys[3] = {"BONESCALE_X", "BONESCALE_Y", "BONESCALE_Z"};

void addValue(XmlNode& section, const char* key, int value) {
    section.AddChild(key).SetAttribute(kValue, value);
}
void addValue(XmlNode& section, const char* key, bool value) {
    addValue(section, key, value ? 1 : 0);
}
void addValue(XmlNode& section, const char* key, float value) {
    section.AddChild(key).SetAttribute(kValue, value);
}
void addVector(XmlNode& section, const char* const (&keys)[3], const float (&values)[3]) {
    for (int axis = 0; axis < 3; ++axis)
        addValue(section, keys[axis], values[axis]);
}

// A section's element for `key`, read into the field when the names match exactly. An element
// without a "value" attribute reads as 0 or false, not as the default.
bool readValue(const XmlNode& element, const char* key, std::int32_t& field) {
    if (element.Name() != key) return false;
    field = element.GetAttributeInt(kValue);
    return true;
}
bool readValue(const XmlNode& element, const char* key, bool& field) {
    if (element.Name() != key) return false;
    field = element.GetAttributeBool(kValue);
    return true;
}
bool readVector(const XmlNode& element, const char* const (&keys)[3], float (&values)[3]) {
    for (int axis = 0; axis < 3; ++axis)
        if (element.Name() == keys[axis]) {
            values[axis] = element.GetAttributeFloat(kValue);
            return true;
        }
    return false;
}

} // namespace

SettingsFile::SettingsFile() {
    const TCHAR* folder = GetCOREInterface()->GetDir(APP_PLUGCFG_DIR);
    // Without a folder there is no file: nothing is read, and nothing gets written to "/".
    if (folder != nullptr && *folder != '\0') path = std::string(folder) + kFileName;
    Load();
}

void SettingsFile::Load() {
    if (path.empty()) return;
    XmlDocument document;
    if (!document.Load(path)) return;
    const XmlNode* root = document.NextChild(nullptr);
    if (root == nullptr || root->IsText() || root->Name() != kRoot) return;
    // Every section counts, in file order, so a later section's values win.
    for (const XmlNode& section : root->Children()) {
        if (section.IsText()) continue;
        if (section.Name() == kExportSection) ReadExport(section);
        if (section.Name() == kImportSection) ReadImport(section);
    }
}

// In each section the first key that matches an element's name takes its value.
void SettingsFile::ReadExport(const XmlNode& section) {
    ExportOptions& options = exportOptions;
    for (const XmlNode& element : section.Children()) {
        if (element.IsText()) continue;
        readValue(element, "FORMAT", options.format) ||
            readValue(element, "NORMAL", options.normal) ||
            readValue(element, "TEXPATH", options.texturePath) ||
            readValue(element, "VCOLOR", options.vertexColor) ||
            readValue(element, "SKIN", options.skin) || readValue(element, "UV", options.uv) ||
            readValue(element, "ANIMATION", options.animation) ||
            readValue(element, "CHAND", options.leftHanded) ||
            readValue(element, "D3DXOPT", options.d3dxOpt) ||
            readVector(element, kObjectScaleKeys, options.objectScale) ||
            readVector(element, kObjectRotationKeys, options.objectRotation) ||
            readValue(element, "SAMPLING", options.sampling) ||
            readValue(element, "SAMPLINGFPS", options.samplingFps);
    }
}

void SettingsFile::ReadImport(const XmlNode& section) {
    ImportOptions& options = importOptions;
    for (const XmlNode& element : section.Children()) {
        if (element.IsText()) continue;
        readValue(element, "NORMAL", options.normal) || readValue(element, "UV", options.uv) ||
            readValue(element, "VCOLOR", options.vertexColor) ||
            readValue(element, "SKIN", options.skin) ||
            readValue(element, "ANIMATION", options.animation) ||
            readValue(element, "CHAND", options.leftHanded) ||
            readVector(element, kBoneScaleKeys, options.boneScale) ||
            readVector(element, kObjectScaleKeys, options.objectScale) ||
            readVector(element, kObjectRotationKeys, options.objectRotation);
    }
}

bool SettingsFile::Save() {
    if (path.empty()) return false;
    XmlDocument document;
    XmlNode& root = document.AddChild(kRoot);

    XmlNode& exportSection = root.AddChild(kExportSection);
    const ExportOptions& out = exportOptions;
    addValue(exportSection, "FORMAT", out.format);
    addValue(exportSection, "NORMAL", out.normal);
    addValue(exportSection, "TEXPATH", out.texturePath);
    addValue(exportSection, "VCOLOR", out.vertexColor);
    addValue(exportSection, "SKIN", out.skin);
    addValue(exportSection, "UV", out.uv);
    addValue(exportSection, "ANIMATION", out.animation);
    addValue(exportSection, "CHAND", out.leftHanded);
    addValue(exportSection, "D3DXOPT", out.d3dxOpt);
    addVector(exportSection, kObjectScaleKeys, out.objectScale);
    addVector(exportSection, kObjectRotationKeys, out.objectRotation);
    addValue(exportSection, "SAMPLING", out.sampling);
    addValue(exportSection, "SAMPLINGFPS", out.samplingFps);

    XmlNode& importSection = root.AddChild(kImportSection);
    const ImportOptions& in = importOptions;
    addValue(importSection, "NORMAL", in.normal);
    addValue(importSection, "UV", in.uv);
    addValue(importSection, "VCOLOR", in.vertexColor);
    addValue(importSection, "SKIN", in.skin);
    addValue(importSection, "ANIMATION", in.animation);
    addValue(importSection, "CHAND", in.leftHanded);
    addVector(importSection, kBoneScaleKeys, in.boneScale);
    addVector(importSection, kObjectScaleKeys, in.objectScale);
    addVector(importSection, kObjectRotationKeys, in.objectRotation);

    return document.Save(path);
}
