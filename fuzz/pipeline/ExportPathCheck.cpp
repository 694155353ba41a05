#include "PipelineChecks.h"
#include "PipelineChoices.h"

#include "capture/SceneCapture.h"
#include "gltf/GltfReader.h"
#include "model/SceneConversion.h"
#include "model/XModelTransforms.h"
#include "scene/GltfToHost.h"
#include "shell/CorrectMirroredWinding.h"
#include "xfile/XFileIO.h"

#include <hostcore.h>
#include <maxapi.h>

#include <cstdio>
#include <memory>
#include <span>
#include <vector>

namespace {

// What a scene holds, in counts every encoding must read back alike (the text encodings may
// rename, and floats need not compare equal when they are not numbers).
struct SceneShape {
    std::size_t frameCount = 0;
    std::size_t meshCount = 0;
    std::size_t faceCount = 0;
    std::size_t skinWeightsCount = 0;
    std::size_t animationSetCount = 0;
    std::size_t animationCount = 0;
    friend bool operator==(const SceneShape&, const SceneShape&) = default;

    std::string text() const {
        return std::to_string(frameCount) + " frames, " + std::to_string(meshCount) + " meshes, " +
               std::to_string(faceCount) + " faces, " + std::to_string(skinWeightsCount) +
               " skin weights, " + std::to_string(animationSetCount) + " animation sets, " +
               std::to_string(animationCount) + " animations";
    }
};

SceneShape shapeOf(const XScene& scene) {
    SceneShape shape;
    std::vector<const XFrame*> pending;
    for (const XFrame& frame : scene.frames)
        pending.push_back(&frame);
    while (!pending.empty()) {
        const XFrame* frame = pending.back();
        pending.pop_back();
        ++shape.frameCount;
        if (!frame->mesh.isEmpty()) {
            ++shape.meshCount;
            shape.faceCount += frame->mesh.faces.size();
            shape.skinWeightsCount += frame->mesh.skinWeights.size();
        }
        for (const XFrame& child : frame->children)
            pending.push_back(&child);
    }
    shape.animationSetCount = scene.animationSets.size();
    for (const auto& [name, set] : scene.animationSets)
        shape.animationCount += set.size();
    return shape;
}

// The exporter's steps after its dialog, with the dialog's answers from `choices`; the model is
// ready for the writer.
std::unique_ptr<XScene> exportFromHost(PipelineChoices& choices) {
    SceneCapture capture;
    if (choices.next()) capture.samplingFps = 10;
    std::unique_ptr<SceneSnapshot> snapshot = capture.captureScene(GetCOREInterface());
    CorrectMirroredWinding(*snapshot);
    std::unique_ptr<XScene> scene = snapshotToXScene(*snapshot);
    if (choices.next()) mirrorHandedness(*scene);
    if (choices.next()) scaleTopFrames(*scene, choices.scale(), choices.scale(), choices.scale());
    if (choices.next())
        rotateTopFrames(*scene, choices.angleDegrees(), choices.angleDegrees(),
                        choices.angleDegrees());
    return scene;
}

} // namespace

std::string checkExportPath(const std::uint8_t* data, std::size_t size,
                            const std::string& baseFolder, const std::filesystem::path& scratch) {
    gltf::Scene input;
    gltf::ReadReport report;
    if (!gltf::readGltfBytes(std::span<const std::uint8_t>(data, size), baseFolder, input, report))
        return report.error.empty() ? "the glTF reader refused the input without a reason" : "";

    // The host program's side: the scene into the host, embedded images written out for the
    // textures to name.
    const std::filesystem::path images = scratch / "images";
    std::error_code ignored;
    std::filesystem::remove_all(images, ignored);
    std::filesystem::create_directories(images, ignored);
    scene::ImportOptions options;
    options.imageFolder = images.string();
    options.inputPath = (scratch / "input.gltf").string();
    scene::ImportReport built;
    hostcore::resetScene();
    if (!scene::buildHostScene(input, options, built)) {
        hostcore::resetScene();
        return built.error.empty() ? "the host scene was refused without a reason" : "";
    }

    PipelineChoices choices(data, size);
    std::unique_ptr<XScene> scene = exportFromHost(choices);
    hostcore::resetScene();
    XFileIO writer;
    writer.keepNormals = !choices.next();
    writer.keepTexCoords = !choices.next();
    writer.keepTexturePath = !choices.next();
    writer.keepSkin = !choices.next();
    writer.keepAnimation = !choices.next();
    writer.keepVertexColors = !choices.next();
    const bool unify = choices.next();

    // Binary, text, compressed binary, compressed text: whatever one of them holds, every one
    // that was written reads back alike.
    std::string firstName;
    SceneShape firstShape;
    for (std::uint32_t format = 0; format < 4; ++format) {
        const std::string name = (scratch / ("output-" + std::to_string(format) + ".x")).string();
        std::remove(name.c_str());
        if (!writer.writeScene(name.c_str(), *scene, format, unify)) continue;
        XFileIO reader;
        std::unique_ptr<XScene> again = reader.readScene(name.c_str());
        if (!again)
            return "the X file written in format " + std::to_string(format) + " does not read back";
        const SceneShape shape = shapeOf(*again);
        if (firstName.empty()) {
            firstName = "format " + std::to_string(format);
            firstShape = shape;
        } else if (!(shape == firstShape)) {
            return "format " + std::to_string(format) + " reads back as " + shape.text() + ", " +
                   firstName + " as " + firstShape.text();
        }
    }
    return "";
}
