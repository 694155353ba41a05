// Template definitions held by the plug-in as constant data.
#pragma once

#include <cstddef>

// The standard X template set (Header ... RightHanded, 35 templates) in binary X encoding with
// the header "xof 0302bin 0064". Registered once at start-up.
inline constexpr std::size_t kStandardTemplatesSize = 3278;
extern const unsigned char kStandardTemplates[kStandardTemplatesSize];

// The skinning and extension templates (XSkinMeshHeader ... CompressedAnimationSet, 16
// templates) as text X, "xof 0303txt 0032". Registered once at start-up; pass
// `sizeof kExtensionTemplates - 1` bytes.
extern const char kExtensionTemplates[];

// AnimTicksPerSecond, XSkinMeshHeader and SkinWeights as text X, registered before every save;
// pass its string length.
extern const char kWriterTemplates[];
