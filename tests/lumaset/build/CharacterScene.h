// A small skinned, textured and animated character as an X scene, for the import tests.
#pragma once

#include "model/XScene.h"

#include "matrix3.h"

#include <string>

namespace importtest {

// Top-level frames: "Rig" with the bone chain Hip -> Spine below it, and "Body" holding a cube
// mesh (8 positions, 12 triangles, normals, texture coordinates, colours, one material with the
// texture `textureName`) skinned to Hip (corners 0 to 3 alone, 4 to 7 half) and Spine (4 to 7
// half). One set "walk": Hip moves, Spine turns, keys at 0, 2400 and 4800 ticks.
XScene makeCharacter(const std::string& textureName = "skin.png");

// The bones' places in the scene at binding time, and at `ticks` of "walk".
Matrix3 hipWorld(int ticks);
Matrix3 spineWorld(int ticks);
// The bind places the offset matrices undo.
Matrix3 hipBind();
Matrix3 spineBind();

} // namespace importtest
