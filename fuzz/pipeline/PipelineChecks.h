// What the whole-pipeline fuzz targets check of one input, shared with the tests that replay every
// input that ever failed. Each check runs the steps the plug-in's commands and the host program
// run, in process and without dialogs, with the choices a user could make taken from the input's
// own bytes, so one input always takes the same path. Any crash, sanitizer report, hang or runaway
// allocation is a fault; so is a broken promise between the steps, which the checks return.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

// X file bytes -> the X file reader (from a file, as the importer reads) -> the model's check and
// import preparation -> scene snapshot -> scene building in the host core -> the host scene
// captured as glTF -> the glTF writer -> the glTF reader. Returns "" when every promise holds,
// else what broke: a glTF file written from an imported scene that does not read back whole, or a
// refusal without a reason. `scratch` is an existing folder the check may fill; it replaces the
// host scene.
std::string checkImportPath(const std::uint8_t* data, std::size_t size,
                            const std::filesystem::path& scratch);

// glTF bytes (a .gltf or .glb; relative URIs point into `baseFolder`) -> the glTF reader -> the
// host scene -> scene capture and conversion -> the X model's transforms -> the X file writer in
// all four encodings -> the X file reader. Returns "" when every promise holds, else what broke:
// a refusal without a reason, a written file that does not read back, or encodings that read back
// as different scenes. `scratch` is as above.
std::string checkExportPath(const std::uint8_t* data, std::size_t size,
                            const std::string& baseFolder, const std::filesystem::path& scratch);

// A fresh folder for the checks, under /dev/shm when it exists (nothing needs to reach the disk).
std::filesystem::path makeScratchFolder(const std::string& prefix);

// One scratch folder for the life of the process, removed at exit. Aborts when none can be made.
const std::filesystem::path& processScratchFolder();
