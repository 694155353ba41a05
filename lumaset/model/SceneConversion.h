// Conversions between the host-side scene snapshot and the X scene model. Field-for-field copies
// with four rules of their own: spaces in frame, bone and animation target names become
// underscores on export; host matrices become X matrices and back; triangles become three-corner
// faces and back; matrix keys are split into position, scale and rotation keys on import.
#pragma once

#include "model/SceneSnapshot.h"
#include "model/XScene.h"

#include <memory>
#include <string>

// Builds a new X scene from a snapshot for export. Never fails; the snapshot is not changed.
std::unique_ptr<XScene> snapshotToXScene(const SceneSnapshot& snapshot);

// The same, taking the meshes' data out of `snapshot` as it goes. Afterwards every node of
// `snapshot` has an empty mesh; names, transforms, the tree and the animation sets stay.
std::unique_ptr<XScene> snapshotToXScene(SceneSnapshot&& snapshot);

// Builds a new snapshot from an imported X scene. Names are kept as they are; faces keep their
// first three corners (quads are split beforehand by prepareImportedScene). Matrix keys become
// position, rotation and scale keys at the same times, replacing keys given there; a mirrored
// matrix key keeps its mirror as negative scale factors. Never fails; the scene is not changed.
std::unique_ptr<SceneSnapshot> xSceneToSnapshot(const XScene& scene);

// The same, taking the meshes' data out of `scene` as it goes, so that a large scene is not held
// twice over. Afterwards every frame of `scene` has an empty mesh; names, transforms, the tree
// and the animation sets stay.
std::unique_ptr<SceneSnapshot> xSceneToSnapshot(XScene&& scene);

// Row r of the X matrix is (m[r][0], m[r][1], m[r][2], 0), and (translation, 1) for row 3.
XMatrix toXMatrix(const Matrix3& matrix);

// Row r of the host matrix is the first three values of row r; the fourth column is ignored.
Matrix3 toMatrix3(const XMatrix& matrix);

// The export name rule: every space becomes an underscore, nothing else changes.
std::string toXName(std::string name);
