// The export and import options kept between runs in "Lumaset.xml" in the host's plug-in
// configuration folder. Constructing one sets the defaults and reads the file; `Save` writes
// both records back whole.
#pragma once

#include "settings/Options.h"

#include <string>

class SettingsFile {
public:
    // Builds the path from the host's plug-in configuration folder and loads the file. Never
    // fails: a missing, unreadable or foreign file leaves the defaults; a malformed one gives
    // whatever options it recognisably holds.
    SettingsFile();

    // Writes both records. False when the file cannot be written; the file then stays as it was.
    bool Save();

    std::string path; // empty when the host names no configuration folder
    ExportOptions exportOptions;
    ImportOptions importOptions;

private:
    void Load();
};
