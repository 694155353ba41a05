// Whether the DirectX file services can read an X file to its end, and if not, why. The importer
// says nothing when a file cannot be read (it builds nothing), so the program asks the services
// itself before it runs the importer, with the template sets of the services' own headers, which
// the importer registers as well.
#pragma once

#include <string>

namespace cli {

// Reads the file at `path` with the file services, with the standard and skinning template
// definitions registered as the importer registers them. True when every top-level object
// reads; otherwise false with `diagnostic` set to one line from the services (file, line and
// column or byte offset, reason, the objects being read).
[[nodiscard]] bool checkXFile(const std::string& path, std::string& diagnostic);

} // namespace cli
