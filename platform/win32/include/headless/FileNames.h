// File names as Windows sees them, on a file system that does not: names from Windows programs
// separate folders with '\' as well as '/' and match files whatever their letter case. The
// window system's file calls (GetFileAttributesA, GetFullPathNameA, _fullpath, _splitpath) and
// the host's bitmap search follow these rules; a hosting program uses them to find a file that
// a plug-in named the Windows way.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace headless {

// The absolute form of a Windows-style name, worked out from the text alone (nothing is
// looked up): separators become '/', "." and ".." are folded (never above the root), runs of
// separators become one, a relative name is put under the current folder. A drive name keeps
// its drive ("D:\art\x.bmp" gives "D:/art/x.bmp"; "D:x.bmp" counts from the drive's root), a
// network name keeps its leading "//". A trailing separator stays. Empty input, a name longer
// than 32767 characters, or an unreadable current folder give nothing.
std::optional<std::string> fullPathOf(std::string_view name);

// The file or folder a Windows-style name names here, as a path this system can open, or
// nothing. Each part of the name is taken as it is when that exists, otherwise the one entry of
// its folder whose name matches it ignoring letter case (none, or several that differ only in
// case, give nothing). A relative name stays relative to the current folder. A name with a
// drive names nothing on this system. Folders of more than 65536 entries are not searched
// beyond that many, so a lookup is bounded by the length of the name.
std::optional<std::string> findFile(std::string_view name);

// The entry of `folder` named `fileName` (a single name, no separators), exactly or else as the
// single match ignoring letter case; the same bounds as findFile.
std::optional<std::string> findInFolder(const std::string& folder, std::string_view fileName);

// The last part of a Windows-style name: what follows its last '\', '/' or drive colon.
std::string_view fileNamePart(std::string_view name);

} // namespace headless
