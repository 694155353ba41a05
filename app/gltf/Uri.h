// URIs as glTF files use them for buffers and images: relative references with percent-encoding,
// or data: URIs.
#pragma once

#include <string>
#include <string_view>

namespace gltf {

bool isDataUri(std::string_view uri);

// Decodes %XX escapes; a malformed escape is kept as written.
std::string decodeUri(std::string_view uri);

// Encodes a relative file path for a uri: unreserved characters and '/' stay, everything else
// becomes %XX.
std::string encodeUriPath(std::string_view path);

} // namespace gltf
