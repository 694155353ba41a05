// Whole-scene adjustments of an X scene model, applied in place before writing or after reading:
// the handedness conversion and the user's object scale and rotation.
#pragma once

#include "model/XScene.h"

// Mirrors the whole scene through the plane z = 0, turning a right-handed scene into a
// left-handed one and back: every frame transform, mesh (positions, normals, skin offset
// matrices, windings) and animation key. Texture coordinates, colours and materials are kept.
void mirrorHandedness(XScene& scene);

// Scales every top-level frame by (sx, sy, sz), applied after its own transform. The animation of
// a top-level frame moves with it: position and matrix keys are multiplied by the scale matrix and
// scale keys component by component (exact for a uniform scale; a non-uniform scale under an
// animated rotation cannot be expressed in keys and is approximated so). Each animation is adjusted
// once, however many top-level frames share its target name.
void scaleTopFrames(XScene& scene, float sx, float sy, float sz);

// Turns every top-level frame by the given angles in degrees: roll about z first, then pitch about
// x, then yaw about y, applied after the frame's own transform. The animation of a top-level frame
// turns with it: position and matrix keys are multiplied by the rotation, rotation keys are
// followed by it. Each animation is adjusted once, however many top-level frames share its name.
void rotateTopFrames(XScene& scene, float xDegrees, float yDegrees, float zDegrees);

// Mirrors one matrix through the plane z = 0 by way of its axis scales, rotation and translation,
// giving an affine result: F M F with F = diag(1, 1, -1, 1) for a scaled and rotated matrix (a
// sheared one keeps only what its normalised rows' rotation holds). A matrix with a zero-length
// axis row has no rotation to separate; it becomes F M F directly, so the result is finite
// whenever the input is.
XMatrix mirrorMatrix(const XMatrix& matrix);
