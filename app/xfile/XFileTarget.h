// What the program checks around an export, since the exporter itself reports nothing: whether
// the file services can save the X file where the user asked, whether the exporter really
// replaced it, and which names the text encoding wrote differently from the scene.
#pragma once

#include <sys/types.h>

#include <ctime>
#include <string>
#include <vector>

namespace xfile {

// The identity of a file at one moment, to tell afterwards whether it was replaced.
struct FileState {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    timespec modified{};
    off_t size = 0;
};
FileState fileStateOf(const std::string& path);
// True when `path` now holds a file that is not the one `before` describes. The file services
// write beside the target and rename the finished file over it, so a replaced file is a new one.
bool wasReplaced(const FileState& before, const std::string& path);

// Empty when the file services can save an X file as `path`; otherwise the reason, one line:
// the services' own account (a folder that does not exist, one that cannot be written) or the
// file's (a folder, a read-only file). Leaves `path` and its folder as they were.
std::string saveRefusal(const std::string& path);

// The names of the frames of a text X file, in file order (parents before their children),
// "" for an unnamed frame. False when the file cannot be read or is not a text X file.
bool textFrameNames(const std::string& path, std::vector<std::string>& names);

} // namespace xfile
