#include "settings/SettingsFile.h"

#include "settings/OptionFields.h"
#include "settings/XmlNode.h"

#include <maxapi.h>

namespace {

const char kFileName[] = "/Lumaset.xml";
const char kRoot[] = "LUMASET";
const char kExportSection[] = "EXPORT";
const char kImportSection[] = "IMPORT";
const char kValue[] = "value";

// Writes each field of the table under its key(s), in table order.
template <class Options>
void addFields(XmlNode& section, std::span<const OptionField<Options>> fields,
               const Options& options) {
    for (const OptionField<Options>& field : fields) {
        switch (field.kind) {
        case OptionKind::choice:
        case OptionKind::wholeNumber:
            section.AddChild(field.keys[0]).SetAttribute(kValue, int(options.*field.number));
            break;
        case OptionKind::checkBox:
            section.AddChild(field.keys[0]).SetAttribute(kValue, options.*field.flag ? 1 : 0);
            break;
        case OptionKind::triple:
            for (int axis = 0; axis < 3; ++axis)
                section.AddChild(field.keys[axis])
                    .SetAttribute(kValue, (options.*field.axes)[axis]);
            break;
        }
    }
}

// Reads the section's elements whose names match a key exactly, in file order, so a later
// element for the same key wins. An element without a "value" attribute reads as 0 or false,
// not as the default; unknown elements are passed over.
template <class Options>
void readFields(const XmlNode& section, std::span<const OptionField<Options>> fields,
                Options& options) {
    for (const XmlNode& element : section.Children()) {
        if (element.IsText()) continue;
        for (const OptionField<Options>& field : fields) {
            int axis = 0;
            while (axis < field.keyCount() && element.Name() != field.keys[axis])
                ++axis;
            if (axis == field.keyCount()) continue;
            switch (field.kind) {
            case OptionKind::choice:
            case OptionKind::wholeNumber:
                options.*field.number = element.GetAttributeInt(kValue);
                break;
            case OptionKind::checkBox:
                options.*field.flag = element.GetAttributeBool(kValue);
                break;
            case OptionKind::triple:
                (options.*field.axes)[axis] = element.GetAttributeFloat(kValue);
                break;
            }
            break;
        }
    }
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
        if (section.Name() == kExportSection)
            readFields(section, exportOptionFields(), exportOptions);
        if (section.Name() == kImportSection)
            readFields(section, importOptionFields(), importOptions);
    }
}

bool SettingsFile::Save() {
    if (path.empty()) return false;
    XmlDocument document;
    XmlNode& root = document.AddChild(kRoot);

    addFields(root.AddChild(kExportSection), exportOptionFields(), exportOptions);
    addFields(root.AddChild(kImportSection), importOptionFields(), importOptions);
    return document.Save(path);
}
