// The X file exporter the host runs from its Export command.
#pragma once

#include "impexp.h"
#include "shell/FileTypeDescription.h"

class XFileExporter : public SceneExport {
public:
    XFileExporter();
    ~XFileExporter() override = default;

    int ExtCount() override { return description.extensionCount; }
    const TCHAR* Ext(int) override { return description.extension.c_str(); } // "x" for every n
    const TCHAR* LongDesc() override { return description.longDescription.c_str(); }
    const TCHAR* ShortDesc() override { return description.shortDescription.c_str(); }
    const TCHAR* AuthorName() override { return description.authorName.c_str(); }
    const TCHAR* CopyrightMessage() override { return description.rightsMessage.c_str(); }
    const TCHAR* OtherMessage1() override { return description.otherMessage1.c_str(); }
    const TCHAR* OtherMessage2() override { return description.otherMessage2.c_str(); }
    unsigned int Version() override { return description.version; }
    void ShowAbout(HWND) override {}
    // Writes the scene to the X file `name`. Returns 1 in every case, cancel and failure
    // included: the exporter reports nothing to the user.
    int DoExport(const TCHAR* name, ExpInterface* ei, Interface* i, BOOL suppressPrompts = FALSE,
                 DWORD options = 0) override;
    // FALSE for every extension and option: the host offers no "Export Selected".
    BOOL SupportsOptions(int, DWORD) override { return FALSE; }

private:
    FileTypeDescription description;
};
