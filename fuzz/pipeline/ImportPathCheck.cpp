#include "PipelineChecks.h"
#include "PipelineChoices.h"

#include "build/ImportedModelCheck.h"
#include "build/SceneBuilder.h"
#include "gltf/GltfReader.h"
#include "gltf/GltfWriter.h"
#include "model/MeshIndexProcessing.h"
#include "model/SceneConversion.h"
#include "model/XModelTransforms.h"
#include "scene/HostToGltf.h"
#include "xfile/XFileIO.h"

#include <hostcore.h>
#include <impexp.h>

#include <fstream>
#include <memory>

namespace {

bool writeBytes(const std::filesystem::path& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return static_cast<bool>(file);
}

// The importer's steps after its dialog, with the dialog's answers from `choices`.
void importIntoHost(const std::filesystem::path& input, PipelineChoices choices) {
    XFileIO reader;
    reader.keepNormals = !choices.next();
    reader.keepTexCoords = !choices.next();
    reader.keepVertexColors = !choices.next();
    reader.keepSkin = !choices.next();
    reader.keepAnimation = !choices.next();
    const std::string path = input.string();
    std::unique_ptr<XScene> scene = reader.readScene(path.c_str());
    if (!scene || (scene->frames.empty() && scene->animationSets.empty())) return;
    checkImportedScene(*scene);
    prepareImportedScene(*scene);
    if (choices.next()) mirrorHandedness(*scene);
    std::unique_ptr<SceneSnapshot> snapshot = xSceneToSnapshot(*scene);

    SceneBuilder builder;
    if (choices.next())
        for (int axis = 0; axis < 3; ++axis) {
            builder.boneScale[axis] = choices.scale();
            builder.objectScale[axis] = choices.scale();
            builder.objectRotation[axis] = choices.angleDegrees();
        }
    builder.SetFileName(path.c_str());
    std::unique_ptr<ImpInterface> importInterface = hostcore::newImportInterface();
    builder.Build(importInterface.get(), *snapshot);
}

} // namespace

std::string checkImportPath(const std::uint8_t* data, std::size_t size,
                            const std::filesystem::path& scratch) {
    const std::filesystem::path input = scratch / "input.x";
    if (!writeBytes(input, data, size)) return "cannot write " + input.string();
    hostcore::resetScene();
    importIntoHost(input, PipelineChoices(data, size));

    // The host program's side: the scene out as glTF, as the import command writes it.
    scene::CaptureReport capture;
    const gltf::Scene captured = scene::captureHostScene(capture);
    hostcore::resetScene();
    const std::filesystem::path output = scratch / "output.glb";
    std::string error;
    if (!gltf::writeGltfFile(captured, output.string(), error))
        return error.empty() ? "the glTF writer refused the imported scene without a reason" : "";

    gltf::Scene again;
    gltf::ReadReport report;
    if (!gltf::readGltfFile(output.string(), again, report))
        return "the glTF file written from the imported scene does not read back: " + report.error;
    // Nodes and meshes are written as they are; an animation without channels is not.
    if (again.nodes.size() != captured.nodes.size() ||
        again.meshes.size() != captured.meshes.size())
        return "the glTF file written from the imported scene reads back as " +
               std::to_string(again.nodes.size()) + " nodes and " +
               std::to_string(again.meshes.size()) + " meshes instead of " +
               std::to_string(captured.nodes.size()) + " and " +
               std::to_string(captured.meshes.size());
    return "";
}
