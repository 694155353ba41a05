// Affine decomposition: the parts of a transform, as a real polar decomposition.
#pragma once

#include "matrix3.h"
#include "point3.h"
#include "quat.h"

// With row vectors, A = Inverse(U) * K * U * Q * F * T, where U and Q are the rotation matrices
// of u and q (Quat::MakeMatrix), K = ScaleMatrix(k), F = ScaleMatrix(Point3(f, f, f)) and T the
// translation by t.
struct AffineParts {
    Point3 t; // translation
    Quat q;   // essential rotation
    Quat u;   // stretch rotation: the frame the factors k act in
    Point3 k; // stretch factors, never negative
    float f;  // sign of the determinant: +1, or -1 when mirrored
};

// Decomposes any affine matrix, including non-uniform scale under rotation (off-axis stretch)
// and mirrors. The stretch frame u is chosen as close to the identity as the factors allow, so a
// scale along the matrix' own axes gives u = identity. Rank-deficient matrices decompose too
// (zero factors; the missing directions of the rotation are completed), and f is +1 when the
// determinant is zero. Quaternions are unit with w >= 0.
void decomp_affine(Matrix3 A, AffineParts* parts);

// The parts of the inverse transform. Zero stretch factors have no inverse and stay zero.
void invert_affine(AffineParts* parts, AffineParts* inverse);

// Eigen-decomposition of the symmetric part of m's 3x3 block: S = Inverse(U) * ScaleMatrix(s) * U,
// q the rotation of U. Not a decomposition of a general matrix: see decomp_affine.
void SpectralDecomp(Matrix3 m, Point3& s, Quat& q);
