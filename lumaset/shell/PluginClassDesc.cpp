#include "shell/PluginClassDesc.h"

#include "animsets/AnimationSetUtility.h"
#include "shell/ClassIds.h"
#include "shell/XFileExporter.h"
#include "shell/XFileImporter.h"

namespace {
const TCHAR* const kCategory = "LumaSet";
}

// One translation unit holds all three, so their construction order is their order here.
PluginClassDesc animationSetClassDesc(1, UTILITY_CLASS_ID, animationSetUtilityClassId,
                                      "Animation SET", kCategory);
PluginClassDesc xFileExportClassDesc(1, SCENE_EXPORT_CLASS_ID, xFileExporterClassId,
                                     "X-File Export", kCategory);
PluginClassDesc xFileImportClassDesc(1, SCENE_IMPORT_CLASS_ID, xFileImporterClassId,
                                     "X-File Import", kCategory);

PluginClassDesc::PluginClassDesc(int isPublic, SClass_ID superClass, Class_ID id, const TCHAR* name,
                                 const TCHAR* categoryName)
    : publicFlag(isPublic), superClassId(superClass), classId(id), className(name),
      category(categoryName) {}

void* PluginClassDesc::Create(BOOL) {
    // The host casts the result back to the base its super class id names, so convert through
    // that base.
    if (classId == animationSetUtilityClassId)
        return static_cast<UtilityObj*>(new AnimationSetUtility);
    if (classId == xFileExporterClassId) return static_cast<SceneExport*>(new XFileExporter);
    if (classId == xFileImporterClassId) return static_cast<SceneImport*>(new XFileImporter);
    return nullptr;
}
