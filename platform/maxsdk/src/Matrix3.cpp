#include "matrix3.h"
#include "quat.h"

#include <cmath>

namespace {

Matrix3 fromRows(const Point3& r0, const Point3& r1, const Point3& r2, const Point3& r3,
                 DWORD identFlags) {
    Matrix3 result(r0, r1, r2, r3);
    result.SetIdentFlags(identFlags);
    return result;
}

} // namespace

Matrix3::Matrix3(BOOL init) : flags(0) {
    if (init)
        IdentityMatrix();
    else
        Zero();
}

Matrix3::Matrix3(const Point3& U, const Point3& V, const Point3& N, const Point3& T) : flags(0) {
    Set(U, V, N, T);
}

Matrix3::Matrix3(const float (*rows)[3]) : flags(0) {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 3; ++j)
            m[i][j] = rows[i][j];
    ValidateFlags();
}

Matrix3& Matrix3::Set(const Point3& U, const Point3& V, const Point3& N, const Point3& T) {
    const Point3* rows[4] = {&U, &V, &N, &T};
    for (int i = 0; i < 4; ++i) {
        m[i][0] = rows[i]->x;
        m[i][1] = rows[i]->y;
        m[i][2] = rows[i]->z;
    }
    ValidateFlags();
    return *this;
}

void Matrix3::SetRow(int i, Point3 p) {
    m[i][0] = p.x;
    m[i][1] = p.y;
    m[i][2] = p.z;
    SetNotIdent();
}

void Matrix3::SetColumn(int i, Point4 col) {
    for (int row = 0; row < 4; ++row)
        m[row][i] = col[row];
    SetNotIdent();
}

void Matrix3::SetTrans(const Point3 p) {
    m[3][0] = p.x;
    m[3][1] = p.y;
    m[3][2] = p.z;
    flags &= ~DWORD(POS_IDENT);
}

void Matrix3::SetTrans(int i, float v) {
    m[3][i] = v;
    flags &= ~DWORD(POS_IDENT);
}

void Matrix3::NoTrans() {
    m[3][0] = m[3][1] = m[3][2] = 0.0f;
    flags |= POS_IDENT;
}

void Matrix3::NoRot() {
    for (int i = 0; i < 3; ++i) {
        float length = GetRow(i).Length();
        for (int j = 0; j < 3; ++j)
            m[i][j] = i == j ? length : 0.0f;
    }
    flags = (flags | ROT_IDENT) & ~DWORD(SCL_IDENT);
}

void Matrix3::NoScale() {
    for (int i = 0; i < 3; ++i)
        (*this)[i] = GetRow(i).Normalize();
    flags = (flags | SCL_IDENT) & ~DWORD(ROT_IDENT);
}

void Matrix3::Orthogonalize() {
    Point3 rows[3] = {GetRow(0), GetRow(1), GetRow(2)};
    float lengths[3] = {rows[0].Length(), rows[1].Length(), rows[2].Length()};
    Point3 units[3];
    for (int i = 0; i < 3; ++i) {
        Point3 v = rows[i];
        for (int k = 0; k < i; ++k)
            v -= units[k] * (v % units[k]);
        units[i] = v.Normalize();
    }
    for (int i = 0; i < 3; ++i)
        (*this)[i] = units[i] * lengths[i];
    SetNotIdent();
}

void Matrix3::IdentityMatrix() {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 3; ++j)
            m[i][j] = i == j ? 1.0f : 0.0f;
    flags = MAT_IDENT;
}

void Matrix3::Zero() {
    for (auto& row : m)
        row[0] = row[1] = row[2] = 0.0f;
    flags = POS_IDENT; // only the translation is the identity's
}

void Matrix3::ValidateFlags() {
    flags = 0;
    if (m[3][0] == 0.0f && m[3][1] == 0.0f && m[3][2] == 0.0f) flags |= POS_IDENT;
    bool diagonal = true, unitDiagonal = true;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            if (i != j && m[i][j] != 0.0f) diagonal = false;
            if (i == j && m[i][j] != 1.0f) unitDiagonal = false;
        }
    // A diagonal block has no rotation; with unit entries it has no scale either.
    if (diagonal) {
        flags |= ROT_IDENT;
        if (unitDiagonal) flags |= SCL_IDENT;
    }
}

void Matrix3::Translate(const Point3& p) {
    m[3][0] += p.x;
    m[3][1] += p.y;
    m[3][2] += p.z;
    flags &= ~DWORD(POS_IDENT);
}

void Matrix3::RotateX(float angle) {
    *this = *this * RotateXMatrix(angle);
}
void Matrix3::RotateY(float angle) {
    *this = *this * RotateYMatrix(angle);
}
void Matrix3::RotateZ(float angle) {
    *this = *this * RotateZMatrix(angle);
}

void Matrix3::Scale(const Point3& s, BOOL trans) {
    int lastRow = trans ? 4 : 3;
    for (int i = 0; i < lastRow; ++i)
        for (int j = 0; j < 3; ++j)
            m[i][j] *= s[j];
    SetNotIdent();
}

void Matrix3::PreTranslate(const Point3& p) {
    Point3 moved = VectorTransform(p);
    Translate(moved);
}

void Matrix3::PreRotateX(float angle) {
    *this = RotateXMatrix(angle) * *this;
}
void Matrix3::PreRotateY(float angle) {
    *this = RotateYMatrix(angle) * *this;
}
void Matrix3::PreRotateZ(float angle) {
    *this = RotateZMatrix(angle) * *this;
}

void Matrix3::PreScale(const Point3& s, BOOL trans) {
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            m[i][j] *= s[i];
    if (trans)
        for (int j = 0; j < 3; ++j)
            m[3][j] *= s[j];
    SetNotIdent();
}

void Matrix3::SetTranslate(const Point3& p) {
    IdentityMatrix();
    SetTrans(p);
}

void Matrix3::SetRotateX(float angle) {
    *this = RotateXMatrix(angle);
}
void Matrix3::SetRotateY(float angle) {
    *this = RotateYMatrix(angle);
}
void Matrix3::SetRotateZ(float angle) {
    *this = RotateZMatrix(angle);
}
void Matrix3::SetScale(const Point3& s) {
    *this = ScaleMatrix(s);
}
void Matrix3::SetRotate(const Quat& q) {
    q.MakeMatrix(*this);
}
void Matrix3::SetRotate(const AngAxis& aa) {
    Quat(aa).MakeMatrix(*this);
}

void Matrix3::SetAngleAxis(const Point3& axis, float angle) {
    Point3 a = axis;
    *this = RotAngleAxisMatrix(a, angle);
}

void Matrix3::SetRotate(float yaw, float pitch, float roll) {
    *this = RotateYPRMatrix(yaw, pitch, roll);
}

void Matrix3::GetYawPitchRoll(float* yaw, float* pitch, float* roll) const {
    // M = Rz(roll) * Rx(pitch) * Ry(yaw) has row 2 = (cp sy, -sp, cp cy), m[0][1] = sr cp and
    // m[1][1] = cr cp.
    Point3 r0 = GetRow(0).Normalize(), r1 = GetRow(1).Normalize(), r2 = GetRow(2).Normalize();
    float sinPitch = -r2.y;
    sinPitch = sinPitch > 1.0f ? 1.0f : (sinPitch < -1.0f ? -1.0f : sinPitch);
    *pitch = std::asin(sinPitch);
    if (std::fabs(sinPitch) < 0.99999f) {
        *yaw = std::atan2(r2.x, r2.z);
        *roll = std::atan2(r0.y, r1.y);
    } else {
        // Gimbal lock: yaw and roll turn about the same axis; take it all as yaw (row 0 is then
        // (cy, 0, -sy)).
        *roll = 0.0f;
        *yaw = std::atan2(-r0.z, r0.x);
    }
}

void Matrix3::Invert() {
    const float(&a)[4][3] = m;
    // Cofactors of the 3x3 block; the inverse is their transpose over the determinant.
    double c00 = double(a[1][1]) * a[2][2] - double(a[1][2]) * a[2][1];
    double c01 = double(a[1][2]) * a[2][0] - double(a[1][0]) * a[2][2];
    double c02 = double(a[1][0]) * a[2][1] - double(a[1][1]) * a[2][0];
    double det = a[0][0] * c00 + a[0][1] * c01 + a[0][2] * c02;
    if (!(det != 0.0) || !std::isfinite(det)) {
        for (auto& row : m)
            row[0] = row[1] = row[2] = 0.0f;
        flags = 0;
        return;
    }
    double inv[3][3];
    inv[0][0] = c00;
    inv[1][0] = c01;
    inv[2][0] = c02;
    inv[0][1] = double(a[0][2]) * a[2][1] - double(a[0][1]) * a[2][2];
    inv[1][1] = double(a[0][0]) * a[2][2] - double(a[0][2]) * a[2][0];
    inv[2][1] = double(a[0][1]) * a[2][0] - double(a[0][0]) * a[2][1];
    inv[0][2] = double(a[0][1]) * a[1][2] - double(a[0][2]) * a[1][1];
    inv[1][2] = double(a[0][2]) * a[1][0] - double(a[0][0]) * a[1][2];
    inv[2][2] = double(a[0][0]) * a[1][1] - double(a[0][1]) * a[1][0];
    double t[3] = {a[3][0], a[3][1], a[3][2]};
    float result[4][3];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            result[i][j] = float(inv[i][j] / det);
    // p = (p' - t) * inverse, so the new translation is -t * inverse.
    for (int j = 0; j < 3; ++j)
        result[3][j] = float(-(t[0] * inv[0][j] + t[1] * inv[1][j] + t[2] * inv[2][j]) / det);
    DWORD keptFlags = flags;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 3; ++j)
            m[i][j] = result[i][j];
    flags = keptFlags; // the inverse of an identity part is the identity
}

BOOL Matrix3::Parity() const {
    double det = m[0][0] * (double(m[1][1]) * m[2][2] - double(m[1][2]) * m[2][1]) -
                 m[0][1] * (double(m[1][0]) * m[2][2] - double(m[1][2]) * m[2][0]) +
                 m[0][2] * (double(m[1][0]) * m[2][1] - double(m[1][1]) * m[2][0]);
    return det < 0.0 ? TRUE : FALSE;
}

Point3 Matrix3::PointTransform(const Point3& p) const {
    return Point3(p.x * m[0][0] + p.y * m[1][0] + p.z * m[2][0] + m[3][0],
                  p.x * m[0][1] + p.y * m[1][1] + p.z * m[2][1] + m[3][1],
                  p.x * m[0][2] + p.y * m[1][2] + p.z * m[2][2] + m[3][2]);
}

Point3 Matrix3::VectorTransform(const Point3& v) const {
    return Point3(v.x * m[0][0] + v.y * m[1][0] + v.z * m[2][0],
                  v.x * m[0][1] + v.y * m[1][1] + v.z * m[2][1],
                  v.x * m[0][2] + v.y * m[1][2] + v.z * m[2][2]);
}

Matrix3 Matrix3::operator*(const Matrix3& B) const {
    Matrix3 C;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 3; ++j)
            C.m[i][j] = m[i][0] * B.m[0][j] + m[i][1] * B.m[1][j] + m[i][2] * B.m[2][j] +
                        (i == 3 ? B.m[3][j] : 0.0f);
    C.flags = 0;
    return C;
}

Matrix3& Matrix3::operator*=(const Matrix3& B) {
    return *this = *this * B;
}

Matrix3 Matrix3::operator+(const Matrix3& B) const {
    Matrix3 C(*this);
    return C += B;
}

Matrix3 Matrix3::operator-(const Matrix3& B) const {
    Matrix3 C(*this);
    return C -= B;
}

Matrix3& Matrix3::operator+=(const Matrix3& B) {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 3; ++j)
            m[i][j] += B.m[i][j];
    flags = 0;
    return *this;
}

Matrix3& Matrix3::operator-=(const Matrix3& B) {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 3; ++j)
            m[i][j] -= B.m[i][j];
    flags = 0;
    return *this;
}

int Matrix3::operator==(const Matrix3& B) const {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 3; ++j)
            if (m[i][j] != B.m[i][j]) return 0;
    return 1;
}

int Matrix3::Equals(const Matrix3& B, float epsilon) const {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 3; ++j)
            if (!(std::fabs(m[i][j] - B.m[i][j]) <= epsilon)) return 0;
    return 1;
}

Point3 operator*(const Matrix3& A, const Point3& p) {
    return A.PointTransform(p);
}
Point3 operator*(const Point3& p, const Matrix3& A) {
    return A.PointTransform(p);
}
Point3 VectorTransform(const Matrix3& M, const Point3& v) {
    return M.VectorTransform(v);
}
Point3 VectorTransform(const Point3& v, const Matrix3& M) {
    return M.VectorTransform(v);
}

Matrix3 Inverse(const Matrix3& M) {
    Matrix3 result(M);
    result.Invert();
    return result;
}

Matrix3 TransMatrix(const Point3& p) {
    return fromRows(Point3::XAxis, Point3::YAxis, Point3::ZAxis, p, ROT_IDENT | SCL_IDENT);
}

Matrix3 ScaleMatrix(const Point3& s) {
    return fromRows(Point3(s.x, 0, 0), Point3(0, s.y, 0), Point3(0, 0, s.z), Point3::Origin,
                    POS_IDENT | ROT_IDENT);
}

Matrix3 RotateXMatrix(float angle) {
    float c = std::cos(angle), s = std::sin(angle);
    return fromRows(Point3(1, 0, 0), Point3(0, c, s), Point3(0, -s, c), Point3::Origin,
                    POS_IDENT | SCL_IDENT);
}

Matrix3 RotateYMatrix(float angle) {
    float c = std::cos(angle), s = std::sin(angle);
    return fromRows(Point3(c, 0, -s), Point3(0, 1, 0), Point3(s, 0, c), Point3::Origin,
                    POS_IDENT | SCL_IDENT);
}

Matrix3 RotateZMatrix(float angle) {
    float c = std::cos(angle), s = std::sin(angle);
    return fromRows(Point3(c, s, 0), Point3(-s, c, 0), Point3(0, 0, 1), Point3::Origin,
                    POS_IDENT | SCL_IDENT);
}

Matrix3 RotAngleAxisMatrix(Point3& axis, float angle) {
    // The quaternion's angle turns the other way (left-hand rule).
    Matrix3 result;
    QFromAngAxis(-angle, axis).MakeMatrix(result);
    return result;
}

Matrix3 RotateYPRMatrix(float Yaw, float Pitch, float Roll) {
    return RotateZMatrix(Roll) * RotateXMatrix(Pitch) * RotateYMatrix(Yaw);
}

Matrix3 XFormMat(const Matrix3& xm, const Matrix3& m) {
    return xm * m * Inverse(xm);
}
