// Scenes for the file services benchmarks, built through the save interfaces: a frame holding a
// 1,000,000-triangle mesh with normals and texture coordinates, and an animation file of 500
// bones under a root frame and 500 animations, each a bone reference and rotation, scale and
// position keys: 150,000 keys.
#pragma once

#include <dxfile.h>

#include <string>
#include <vector>

enum class BenchScene { Mesh, Animation };

// The top-level objects of `scene`, created through `save` (any save object of `root`).
// The caller releases them.
std::vector<IDirectXFileData*> buildScene(IDirectXFileSaveObject* save, BenchScene scene);

// Saves `objects` to `path` in `format` through `root`; false on any failure.
bool saveScene(IDirectXFile* root, const std::vector<IDirectXFileData*>& objects, const std::string& path,
               DXFILEFORMAT format);

// A root object with the standard and extension templates registered.
IDirectXFile* benchRoot();
