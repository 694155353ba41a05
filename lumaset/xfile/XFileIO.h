// The X file writer and reader. Both go through the process-wide file services (XFileServices);
// when those are unavailable, a write reports false and a read gives no scene. Nothing is shown
// to the user and nothing is logged: the file services keep the last error for whoever asks.
#pragma once

#include "model/XScene.h"

#include <cstddef>
#include <cstdint>
#include <memory>

class XFileIO {
public:
    // X readers, this one included, stop at this many levels of nested data objects: a top-level
    // Frame is level 1, its FrameTransformMatrix and Mesh level 2, the Mesh's children level 3, a
    // material list's Material level 4 and its TextureFilename level 5.
    static constexpr int kMaxObjectNesting = 128;

    // Content switches, all on after construction. On write they trim the private copy of the
    // scene; on read they trim the scene made from the file (keepTexturePath has no effect there).
    bool keepNormals = true;
    bool keepTexCoords = true;
    // Off: every texture file name is cut to the part after its last backslash.
    bool keepTexturePath = true;
    bool keepSkin = true;
    // Off: no animation set and no AnimTicksPerSecond object is written (or kept on read).
    bool keepAnimation = true;
    bool keepVertexColors = true;

    // Writes `scene` to `fileName` (passed unchanged to the file services) in `format`: 1 text,
    // 0 binary, 2 compressed (DXFILEFORMAT_*). The caller's scene is never modified: the writer
    // works on a private copy that it compacts, trims by the switches above and, when
    // `unifyVertices` is set, re-indexes so that positions, texture coordinates and colours share
    // one index per corner. Mesh streams whose indices are out of range are left out rather than
    // written broken; positions merge only when their skin weights are equal too. In the text
    // encodings (format 1 or 3) names that a text file cannot carry are written renamed, the same
    // way wherever they appear (see TextEncodingNames); the binary encodings keep every name.
    // Returns true when the whole scene was handed to the services and saved; false when the
    // services are unavailable, the file cannot be created, the writer templates are refused, any
    // object could not be made or saved, or frames nest so deeply that their objects would go
    // past kMaxObjectNesting levels (no reader could read such a file). The services replace an
    // existing target file only after a complete save, and every failure after the save object
    // exists is on record as the services' last error (DirectXFileGetLastError): too deep a scene
    // reads there as objects nested too deeply.
    [[nodiscard]] bool writeScene(const char* fileName, const XScene& scene, std::uint32_t format,
                                  bool unifyVertices) const;

    // Reads the X file `fileName` and returns the scene it holds, owned by the caller, or null
    // when the file cannot be read, the services are unavailable or refuse the file's header. The
    // file services load the file, so why a file could not be read is their last error. When
    // `readWhole` is given it says whether the services walked the file to its end: false for no
    // scene, and for a file damaged half way, whose scene then holds only the objects before the
    // damage (and the services' last error says where and why). Key times
    // come in ticks at 4800 a second: a file that announces another rate in an AnimTicksPerSecond
    // object has its times converted (rounded); a key whose converted time does not fit the signed
    // 32-bit range is left out. Files at 4800, or without the object, keep their times as they
    // stand. Untrusted input: an error in the middle of the file ends the read with the objects
    // before it; every index of the returned scene is in range for its list (streams that would
    // break that are dropped), and every per-corner list matches the faces. Polygons of more than
    // four corners are split into fans of triangles; a frame holding several meshes gets them
    // merged into one.
    [[nodiscard]] std::unique_ptr<XScene> readScene(const char* fileName,
                                                    bool* readWhole = nullptr) const;

    // The same, from `size` bytes at `bytes` (a whole X file image, header included), which stay
    // the caller's.
    [[nodiscard]] std::unique_ptr<XScene> readSceneFromMemory(const void* bytes, std::size_t size,
                                                              bool* readWhole = nullptr) const;

private:
    // Reads what CreateEnumObject makes of `source` under `loadOptions` (DXFILELOAD_*).
    std::unique_ptr<XScene> readEnumerated(void* source, std::uint32_t loadOptions,
                                           bool* readWhole) const;
    void trimReadScene(XScene& scene) const;
};
