// Matrix3: an affine transform stored as four rows of three floats plus identity hint flags.
//
// Rows 0, 1, 2 are the images of the X, Y and Z axes, row 3 the translation; the fourth column is
// implicitly (0, 0, 0, 1). Points are row vectors transformed on the right: p' = p * M. So A * B
// means "apply A, then B", and a node's world matrix is local * parentWorld.
#pragma once

#include "point3.h"
#include "point4.h"
#include "wintypes.h"

class Quat;
class AngAxis;

// Identity hints: a set bit claims that part of the matrix is the identity. Only IdentityMatrix,
// the SetIdentFlags family and ValidateFlags set bits; anything else that changes a part clears
// them, so a set bit is always true, but a clear bit proves nothing.
#define POS_IDENT 1
#define ROT_IDENT 2
#define SCL_IDENT 4
#define MAT_IDENT (POS_IDENT | ROT_IDENT | SCL_IDENT)

typedef float MRow[3];

class Matrix3 {
public:
    // Uninitialised numbers, flags zero.
    Matrix3() : flags(0) {}
    // The identity when `init` is nonzero (usually written Matrix3(1)), else the zero matrix.
    explicit Matrix3(BOOL init);
    // Rows 0..3 given; flags computed from the numbers.
    Matrix3(const Point3& U, const Point3& V, const Point3& N, const Point3& T);
    explicit Matrix3(const float (*rows)[3]);

    Matrix3& Set(const Point3& U, const Point3& V, const Point3& N, const Point3& T);

    // Row access. The reference forms write without touching the flags.
    Point3& operator[](int i) { return reinterpret_cast<Point3&>(m[i]); }
    const Point3& operator[](int i) const { return reinterpret_cast<const Point3&>(m[i]); }
    MRow* GetAddr() { return m; }
    const MRow* GetAddr() const { return m; }

    Point3 GetRow(int i) const { return Point3(m[i][0], m[i][1], m[i][2]); }
    void SetRow(int i, Point3 p); // clears all identity flags
    Point4 GetColumn(int i) const { return Point4(m[0][i], m[1][i], m[2][i], m[3][i]); }
    void SetColumn(int i, Point4 col);
    Point3 GetColumn3(int i) const { return Point3(m[0][i], m[1][i], m[2][i]); }

    Point3 GetTrans() const { return GetRow(3); }
    void SetTrans(const Point3 p);
    void SetTrans(int i, float v);
    void NoTrans(); // translation to zero
    void NoRot();   // keeps each axis' length, drops its direction (axis i along world axis i)
    void NoScale(); // each axis to unit length (zero axes stay zero)
    // Makes the axes perpendicular (Gram-Schmidt from row 0), keeping each axis' length.
    void Orthogonalize();

    void IdentityMatrix();
    void Zero();
    DWORD GetIdentFlags() const { return flags; }
    void SetIdentFlags(DWORD f) { flags = f & MAT_IDENT; }
    void ClearIdentFlag(DWORD f) { flags &= ~f; }
    void SetNotIdent() { flags &= ~DWORD(MAT_IDENT); }
    int IsIdentity() const { return (flags & MAT_IDENT) == MAT_IDENT; }
    // Recomputes the flags from the numbers (exact comparison).
    void ValidateFlags();

    // Post-multiplications: M = M * T.
    void Translate(const Point3& p);
    void RotateX(float angle);
    void RotateY(float angle);
    void RotateZ(float angle);
    void Scale(const Point3& s, BOOL trans = FALSE); // row 3 scaled too only when `trans`
    // Pre-multiplications: M = T * M.
    void PreTranslate(const Point3& p);
    void PreRotateX(float angle);
    void PreRotateY(float angle);
    void PreRotateZ(float angle);
    void PreScale(const Point3& s, BOOL trans = FALSE);

    // Replace the whole matrix. Angles in radians, right-hand rule.
    void SetTranslate(const Point3& p);
    void SetRotateX(float angle);
    void SetRotateY(float angle);
    void SetRotateZ(float angle);
    void SetScale(const Point3& s);
    void SetRotate(const Quat& q);
    void SetRotate(const AngAxis& aa);
    void SetAngleAxis(const Point3& axis, float angle); // as RotAngleAxisMatrix
    // RotateZMatrix(roll) * RotateXMatrix(pitch) * RotateYMatrix(yaw).
    void SetRotate(float yaw, float pitch, float roll);
    // Inverse of SetRotate(yaw, pitch, roll) for the rotation part (scale is ignored); pitch in
    // -pi/2..pi/2. At pitch +-pi/2 the roll is reported as zero.
    void GetYawPitchRoll(float* yaw, float* pitch, float* roll) const;

    // General affine inverse (scale and shear allowed). A singular matrix has no inverse: it
    // becomes the zero matrix rather than infinities.
    void Invert();
    // TRUE when the 3x3 part has a negative determinant (mirrored); FALSE for the normal case.
    BOOL Parity() const;

    Point3 PointTransform(const Point3& p) const;  // p * M, translation included
    Point3 VectorTransform(const Point3& v) const; // rows 0..2 only

    Matrix3& operator*=(const Matrix3& B); // *this = *this * B
    Matrix3 operator*(const Matrix3& B) const;
    Matrix3 operator+(const Matrix3& B) const; // element-wise
    Matrix3 operator-(const Matrix3& B) const; // element-wise
    Matrix3& operator+=(const Matrix3& B);
    Matrix3& operator-=(const Matrix3& B);

    int operator==(const Matrix3& B) const; // exact element comparison, flags ignored
    int operator!=(const Matrix3& B) const { return !(*this == B); }
    int Equals(const Matrix3& B, float epsilon = 1E-6f) const;

private:
    float m[4][3];
    DWORD flags;
};

static_assert(sizeof(Point3) == 3 * sizeof(float), "rows are read as Point3");

Point3 operator*(const Matrix3& A, const Point3& p); // p * A
Point3 operator*(const Point3& p, const Matrix3& A); // p * A
Point3 VectorTransform(const Matrix3& M, const Point3& v);
Point3 VectorTransform(const Point3& v, const Matrix3& M);

Matrix3 Inverse(const Matrix3& M);
Matrix3 TransMatrix(const Point3& p);
Matrix3 ScaleMatrix(const Point3& s);
Matrix3 RotateXMatrix(float angle);
Matrix3 RotateYMatrix(float angle);
Matrix3 RotateZMatrix(float angle);
// Rotation by `angle` radians about `axis` (normalised here), right-hand rule like RotateXMatrix.
Matrix3 RotAngleAxisMatrix(Point3& axis, float angle);
Matrix3 RotateYPRMatrix(float Yaw, float Pitch, float Roll);
// xm * m * Inverse(xm): `m` expressed in the frame `xm`.
Matrix3 XFormMat(const Matrix3& xm, const Matrix3& m);
