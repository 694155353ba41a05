// Every truncation and every flipped byte of a small skinned, textured, animated X file goes
// through the whole import command: whatever the reader makes of it, the scene that results is
// sound and the host's animate mode and progress display are as they were.
#include "CharacterScene.h"
#include "ImportTestSupport.h"

#include "control.h"
#include "maxapi.h"

#include <SceneKit.h>

#include <fstream>

using namespace importtest;

namespace {

std::vector<char> bytesOf(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const std::filesystem::path& path, const std::vector<char>& bytes,
                std::size_t length) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(length));
}

bool cornersWithin(const TVFace* faces, int faceCount, int valueCount) {
    for (int f = 0; f < faceCount; ++f)
        for (int corner = 0; corner < 3; ++corner)
            if (faces[f].getTVert(corner) >= DWORD(valueCount)) return false;
    return true;
}

// Every mesh index within its values, and the host's modes back where they were.
void expectSoundScene(const std::string& what) {
    EXPECT_FALSE(Animating()) << what;
    EXPECT_FALSE(hostcore::progressView().shown) << what;
    for (INode* node : hostcore::allNodes()) {
        TriObject* object = scenekit::baseTriObject(node);
        if (!object) continue;
        Mesh& mesh = object->GetMesh();
        for (int f = 0; f < mesh.getNumFaces(); ++f)
            for (int corner = 0; corner < 3; ++corner)
                ASSERT_LT(mesh.faces[f].getVert(corner), DWORD(mesh.getNumVerts())) << what;
        for (int channel : {0, 1, 2})
            if (mesh.mapSupport(channel)) {
                ASSERT_EQ(mesh.getNumMapFaces(channel), mesh.getNumFaces()) << what;
                ASSERT_TRUE(cornersWithin(mesh.mapFaces(channel), mesh.getNumFaces(),
                                          mesh.getNumMapVerts(channel)))
                    << what << " channel " << channel;
            }
        // Evaluating runs the skin over whatever weights came in.
        (void)scenekit::evaluatedMesh(node, 2400);
    }
}

class DamagedFileImport : public ImportTest {};

TEST_F(DamagedFileImport, EveryTruncationAndFlippedByteImportsSoundly) {
    std::ofstream(scratch("skin.png")) << "image";
    for (int format : {0, 1}) {
        const std::filesystem::path whole = writeXFile(
            scratch(format == 0 ? "whole.bin.x" : "whole.txt.x"), makeCharacter(), format);
        const std::vector<char> bytes = bytesOf(whole);
        ASSERT_GT(bytes.size(), 16u);
        const std::filesystem::path damaged = scratch("damaged.x");
        // Text files are longer and mostly numbers: every third cut covers their structure.
        const std::size_t step = format == 0 ? 1 : 3;
        for (std::size_t length = 0; length < bytes.size(); length += step) {
            writeBytes(damaged, bytes, length);
            hostcore::resetScene();
            EXPECT_EQ(importWithDialog(damaged), 1);
            expectSoundScene("format " + std::to_string(format) + " cut at " +
                             std::to_string(length));
        }
        for (std::size_t at = 0; at < bytes.size(); at += step) {
            std::vector<char> flipped = bytes;
            flipped[at] = char(flipped[at] ^ 0x5A);
            writeBytes(damaged, flipped, flipped.size());
            hostcore::resetScene();
            EXPECT_EQ(importWithDialog(damaged), 1);
            expectSoundScene("format " + std::to_string(format) + " flipped at " +
                             std::to_string(at));
        }
    }
}

} // namespace
