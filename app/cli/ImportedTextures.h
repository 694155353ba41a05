// The image files of an imported scene as this file system holds them. The importer looks a
// texture up as Windows does, '\' and '/' alike and letters in any case, and keeps the name the
// X file gives when it finds no file; the glTF file must name the file as it really is.
#pragma once

#include "gltf/GltfScene.h"

#include <string>
#include <vector>

namespace cli {

// The file `path` names when separators may be either slash and letters may differ in case: the
// path itself when it exists, else the first match (in name order) of each component in turn;
// empty when there is none.
std::string findFileIgnoringCase(const std::string& path);

// Points every image of `scene` with a path at the file it names (see findFileIgnoringCase). An
// image whose file is found nowhere keeps its name as the uri, and one warning says so.
void resolveImageFiles(gltf::Scene& scene, std::vector<std::string>& warnings);

} // namespace cli
