// Template definitions the plug-in registers: the standard and extension sets as the file
// services' headers give them, and the writer's own few.
#pragma once

#include <rmxftmpl.h>
#include <xextensions.h>

#include <cstddef>

// The standard X template set (Header ... RightHanded, 35 templates) in binary X encoding with
// the header "xof 0302bin 0064". Registered once at start-up.
inline constexpr std::size_t kStandardTemplatesSize = D3DRM_XTEMPLATE_BYTES;
inline constexpr const auto& kStandardTemplates = D3DRM_XTEMPLATES;

// The skinning and extension templates (XSkinMeshHeader ... CompressedAnimationSet, 16
// templates) as text X, "xof 0303txt 0032". Registered once at start-up; pass
// `sizeof kExtensionTemplates - 1` bytes.
inline constexpr const auto& kExtensionTemplates = XEXTENSIONS_TEMPLATES;

// AnimTicksPerSecond, XSkinMeshHeader and SkinWeights as text X, registered before every save;
// pass its string length.
extern const char kWriterTemplates[];
