// Finding the image file a material's texture name refers to, as the importer gives it to a
// bitmap texture.
#pragma once

#include <string>

// The first of these that names an existing file (the host's file test):
// 1. the texture name as it stands;
// 2. the name as the host's own bitmap search completes it (scene folder, map paths);
// 3. the folder of the X file `xFileName` joined, with exactly one separator, to the texture's
//    file name and extension; both names are made absolute first;
// 4. otherwise the texture name unchanged.
// Names of any length. When either name cannot be made absolute, rule 3 is skipped.
std::string findTextureFile(const std::string& textureName, const std::string& xFileName);
