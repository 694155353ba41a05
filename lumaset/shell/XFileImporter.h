// The X file importer the host runs from its Import command.
#pragma once

#include "impexp.h"
#include "shell/FileTypeDescription.h"

class XFileImporter : public SceneImport {
public:
    XFileImporter();
    ~XFileImporter() override = default;

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
    // Reads the X file `name` into the scene. Returns 1 in every case, cancel and failure
    // included: the importer reports nothing to the user.
    int DoImport(const TCHAR* name, ImpInterface* ii, Interface* i,
                 BOOL suppressPrompts = FALSE) override;
    // The host's own preference decides whether the views zoom after an import.
    int ZoomExtents() override { return ZOOMEXT_NOT_IMPLEMENTED; }

private:
    FileTypeDescription description;
};
