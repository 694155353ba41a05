// The class descriptor of all three plug-in classes, and its three library-wide instances.
#pragma once

#include <string>

#include "iparamb2.h"

class PluginClassDesc : public ClassDesc2 {
public:
    // Copies every value; a failed string copy throws before the object exists.
    PluginClassDesc(int isPublic, SClass_ID superClassId, Class_ID classId, const TCHAR* className,
                    const TCHAR* category);
    ~PluginClassDesc() override = default;

    int IsPublic() override { return publicFlag; }
    // A new object on every call, whatever `loading` says; the caller owns it. The pointer is
    // the class's host base (UtilityObj*, SceneExport*, SceneImport*) converted to void*.
    void* Create(BOOL loading = FALSE) override;
    const TCHAR* ClassName() override { return className.c_str(); }
    SClass_ID SuperClassID() override { return superClassId; }
    Class_ID ClassID() override { return classId; }
    const TCHAR* Category() override { return category.c_str(); }

private:
    int publicFlag;
    SClass_ID superClassId;
    Class_ID classId; // (0xFFFFFFFF, 0xFFFFFFFF) until the constructor stores the real pair
    std::string className;
    std::string category;
};

// Constructed when the library is loaded, in this order (LibClassDesc's indices 0, 1, 2), and
// destroyed in reverse when it is unloaded.
extern PluginClassDesc animationSetClassDesc;
extern PluginClassDesc xFileExportClassDesc;
extern PluginClassDesc xFileImportClassDesc;
