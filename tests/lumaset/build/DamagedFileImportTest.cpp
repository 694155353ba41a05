// Every truncation and every flipped byte of a small skinned, textured, animated X file goes
// through the whole import command. A file the file services cannot walk to its end builds
// nothing: the scene and its stored sets stay as they were, rather than taking a part of the
// model. A file they do walk (a flip inside a number, a cut between objects) builds a sound
// scene. Either way the host's animate mode and progress display are as they were.
#include "CharacterScene.h"
#include "ImportTestSupport.h"

#include "xfile/XFileIO.h"
#include "xfile/XFileServices.h"

#include "control.h"
#include "maxapi.h"

#include <SceneKit.h>

#include <cstring>
#include <fstream>
#include <memory>

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

// Whether the file services walk `length` bytes of `bytes` to their end. The bytes go in a heap
// block of exactly that length, so a read past the end is caught under the sanitizers; the
// reader's own account of the same bytes must agree.
bool servicesReadWhole(const std::vector<char>& bytes, std::size_t length,
                       const std::string& what) {
    const std::unique_ptr<char[]> slice(new char[std::max<std::size_t>(length, 1)]);
    std::memcpy(slice.get(), bytes.data(), length);
    bool walked = false;
    IDirectXFileEnumObject* objects = nullptr;
    DXFILELOADMEMORY source{slice.get(), static_cast<DWORD>(length)};
    if (xfileServices().rootFile()->CreateEnumObject(&source, DXFILELOAD_FROMMEMORY, &objects) ==
        DXFILE_OK) {
        HRESULT status = DXFILE_OK;
        while (status == DXFILE_OK) {
            IDirectXFileData* object = nullptr;
            status = objects->GetNextDataObject(&object);
            if (object) object->Release();
        }
        objects->Release();
        walked = status == DXFILEERR_NOMOREOBJECTS;
    }
    bool readWhole = !walked;
    (void)XFileIO().readSceneFromMemory(slice.get(), length, &readWhole);
    EXPECT_EQ(readWhole, walked) << what;
    return walked;
}

class DamagedFileImport : public ImportTest {
protected:
    // Imports `length` bytes of `bytes` over the existing scene; returns whether it built.
    bool importSlice(const std::vector<char>& bytes, std::size_t length, const std::string& what) {
        const bool whole = servicesReadWhole(bytes, length, what);
        const std::filesystem::path damaged = scratch("damaged.x");
        writeBytes(damaged, bytes, length);
        hostcore::resetScene();
        makeExistingScene();
        EXPECT_EQ(importWithDialog(damaged), 1) << what;
        if (!whole) expectExistingSceneUnchanged(what);
        expectSoundScene(what);
        return whole;
    }
};

TEST_F(DamagedFileImport, AFileDamagedHalfWayBuildsNothingAndOtherwiseSoundly) {
    std::ofstream(scratch("skin.png")) << "image";
    for (int format : {0, 1, 2}) { // binary, text, compressed
        const std::filesystem::path whole =
            writeXFile(scratch("whole" + std::to_string(format) + ".x"), makeCharacter(), format);
        std::vector<char> bytes = bytesOf(whole);
        ASSERT_GT(bytes.size(), 16u);
        // Text files are longer and mostly numbers: every third cut covers their structure.
        const std::size_t step = format == 1 ? 3 : 1;
        std::size_t damagedCuts = 0;
        for (std::size_t length = 0; length < bytes.size(); length += step)
            if (!importSlice(bytes, length,
                             "format " + std::to_string(format) + " cut at " +
                                 std::to_string(length)))
                ++damagedCuts;
        // Nearly every cut ends inside an object; only cuts between top-level objects read.
        EXPECT_GT(damagedCuts * 10, 9 * (bytes.size() / step)) << "format " << format;
        for (std::size_t at = 0; at < bytes.size(); at += step) {
            bytes[at] = char(bytes[at] ^ 0x5A);
            importSlice(bytes, bytes.size(),
                        "format " + std::to_string(format) + " flipped at " + std::to_string(at));
            bytes[at] = char(bytes[at] ^ 0x5A);
        }
    }
}

} // namespace
