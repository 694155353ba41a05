// Polar decomposition of affine matrices (after Shoemake, "Polar Matrix Decomposition",
// Graphics Gems IV), worked in double precision. With row vectors the 3x3 block is A = S * R:
// S symmetric positive semi-definite (the stretch), R orthogonal (rotation times mirror sign).
// S = Inverse(U) * K * U comes from its eigenvectors.
#include "decomp.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace {

using Mat = std::array<std::array<double, 3>, 3>;

Mat identity() {
    return Mat{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
}

Mat product(const Mat& a, const Mat& b) {
    Mat c{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            c[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j];
    return c;
}

Mat transpose(const Mat& a) {
    Mat t{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            t[i][j] = a[j][i];
    return t;
}

double determinant(const Mat& a) {
    return a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) -
           a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
           a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
}

double frobenius(const Mat& a) {
    double sum = 0.0;
    for (const auto& row : a)
        for (double v : row)
            sum += v * v;
    return std::sqrt(sum);
}

// The transpose of the inverse, as cofactors over the determinant (the caller ensures det != 0).
Mat inverseTranspose(const Mat& a) {
    double det = determinant(a);
    Mat c{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            int i1 = (i + 1) % 3, i2 = (i + 2) % 3, j1 = (j + 1) % 3, j2 = (j + 2) % 3;
            c[i][j] = (a[i1][j1] * a[i2][j2] - a[i1][j2] * a[i2][j1]) / det;
        }
    return c;
}

std::array<double, 3> cross(const std::array<double, 3>& a, const std::array<double, 3>& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

double dot(const std::array<double, 3>& a, const std::array<double, 3>& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

bool normalise(std::array<double, 3>& v) {
    double length = std::sqrt(dot(v, v));
    if (!(length > 0.0)) return false;
    for (double& c : v)
        c /= length;
    return true;
}

// Cyclic Jacobi: s symmetric = vectors * diag(values) * transpose(vectors), eigenvectors in the
// columns. Converges quadratically; the sweep limit only guards against non-finite input.
void jacobiEigen(Mat s, std::array<double, 3>& values, Mat& vectors) {
    vectors = identity();
    for (int sweep = 0; sweep < 50; ++sweep) {
        double offDiagonal = s[0][1] * s[0][1] + s[0][2] * s[0][2] + s[1][2] * s[1][2];
        double diagonal = s[0][0] * s[0][0] + s[1][1] * s[1][1] + s[2][2] * s[2][2];
        if (!(offDiagonal > 1e-32 * diagonal)) break;
        for (int p = 0; p < 2; ++p)
            for (int q = p + 1; q < 3; ++q) {
                if (s[p][q] == 0.0) continue;
                double theta = (s[q][q] - s[p][p]) / (2.0 * s[p][q]);
                double t = (theta >= 0.0 ? 1.0 : -1.0) /
                           (std::fabs(theta) + std::sqrt(theta * theta + 1.0));
                double c = 1.0 / std::sqrt(t * t + 1.0), sn = t * c;
                Mat rotation = identity();
                rotation[p][p] = c;
                rotation[q][q] = c;
                rotation[p][q] = sn;
                rotation[q][p] = -sn;
                s = product(transpose(rotation), product(s, rotation));
                s[p][q] = s[q][p] = 0.0;
                vectors = product(vectors, rotation);
            }
    }
    values = {s[0][0], s[1][1], s[2][2]};
}

// The orthogonal polar factor of a nonsingular a: Newton's iteration X <- (g X + X^-T / g) / 2
// with Higham's scaling g, which converges quadratically from any start.
Mat orthogonalFactor(const Mat& a) {
    Mat x = a;
    for (int iteration = 0; iteration < 100; ++iteration) {
        Mat xit = inverseTranspose(x);
        double gamma = std::sqrt(frobenius(xit) / frobenius(x));
        Mat next{};
        double change = 0.0;
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) {
                next[i][j] = 0.5 * (gamma * x[i][j] + xit[i][j] / gamma);
                change += (next[i][j] - x[i][j]) * (next[i][j] - x[i][j]);
            }
        x = next;
        if (!(change > 1e-30)) break;
    }
    return x;
}

// The orthogonal factor of a rank-deficient a, with determinant +1: from the eigenvectors of
// a * transpose(a) = S^2, rows of transpose(E) * R are the normalised rows of transpose(E) * a
// where the stretch is nonzero; the others are completed perpendicular to them.
Mat orthogonalFactorSingular(const Mat& a) {
    std::array<double, 3> squares;
    Mat e;
    jacobiEigen(product(a, transpose(a)), squares, e);
    Mat b = product(transpose(e), a);
    double largest = std::max({squares[0], squares[1], squares[2], 0.0});
    std::array<std::array<double, 3>, 3> w{};
    bool known[3] = {false, false, false};
    for (int i = 0; i < 3; ++i) {
        if (!(squares[i] > 1e-14 * largest)) continue;
        w[i] = b[i];
        for (int k = 0; k < 3; ++k)
            if (known[k]) {
                double along = dot(w[i], w[k]);
                for (int j = 0; j < 3; ++j)
                    w[i][j] -= along * w[k][j];
            }
        known[i] = normalise(w[i]);
    }
    int knownCount = int(known[0]) + int(known[1]) + int(known[2]);
    if (knownCount == 0) return identity();
    int completed = -1;
    if (knownCount == 1) {
        int only = known[0] ? 0 : (known[1] ? 1 : 2);
        int second = (only + 1) % 3;
        // Any direction perpendicular to the known one: cross it with the world axis it is
        // least aligned with.
        std::array<double, 3> axis{0, 0, 0};
        int smallest = 0;
        for (int j = 1; j < 3; ++j)
            if (std::fabs(w[only][j]) < std::fabs(w[only][smallest])) smallest = j;
        axis[smallest] = 1.0;
        w[second] = cross(w[only], axis);
        normalise(w[second]);
        known[second] = true;
    }
    for (int i = 0; i < 3; ++i)
        if (!known[i]) {
            w[i] = cross(w[(i + 1) % 3], w[(i + 2) % 3]);
            completed = i;
        }
    Mat r = product(e, Mat{w[0], w[1], w[2]});
    if (determinant(r) < 0.0 && completed >= 0) {
        for (double& v : w[completed])
            v = -v;
        r = product(e, Mat{w[0], w[1], w[2]});
    }
    return r;
}

Mat blockOf(const Matrix3& m) {
    Mat a{};
    for (int i = 0; i < 3; ++i) {
        Point3 row = m.GetRow(i);
        a[i] = {row.x, row.y, row.z};
    }
    return a;
}

Quat rotationOf(const Mat& r) {
    Matrix3 m(1);
    for (int i = 0; i < 3; ++i)
        m.SetRow(i, Point3(float(r[i][0]), float(r[i][1]), float(r[i][2])));
    Quat q(m);
    if (q.w < 0.0f) q = -q;
    return q;
}

// s symmetric = transpose(U) * diag(k) * U with U a rotation as close to the identity as the
// axis permutations allow (Shoemake's "snuggle": the eigenvectors come in no particular order or
// sign). Equal factors make U the identity.
void spectral(const Mat& s, Point3& k, Quat& u) {
    double largest = std::max({std::fabs(s[0][0]), std::fabs(s[1][1]), std::fabs(s[2][2])});
    double offDiagonal = std::max({std::fabs(s[0][1]), std::fabs(s[0][2]), std::fabs(s[1][2])});
    if (!(offDiagonal > 1e-12 * largest)) {
        k = Point3(float(s[0][0]), float(s[1][1]), float(s[2][2]));
        u = Quat(0.0f, 0.0f, 0.0f, 1.0f);
        return;
    }
    std::array<double, 3> values;
    Mat e;
    jacobiEigen(s, values, e);
    Mat unsnuggled = transpose(e);
    if (determinant(unsnuggled) < 0.0)
        for (double& v : unsnuggled[2])
            v = -v;

    static const int permutations[6][3] = {{0, 1, 2}, {1, 2, 0}, {2, 0, 1},
                                           {0, 2, 1}, {2, 1, 0}, {1, 0, 2}};
    double bestTrace = -4.0;
    Mat best = unsnuggled;
    std::array<double, 3> bestValues = values;
    for (int p = 0; p < 6; ++p) {
        bool odd = p >= 3;
        for (int signs = 0; signs < 8; ++signs) {
            int negatives = (signs & 1) + ((signs >> 1) & 1) + ((signs >> 2) & 1);
            if ((negatives % 2 == 1) != odd) continue; // keep the determinant +1
            // Row i of P * U is (sign_i) * row perm[i] of U.
            Mat candidate{};
            double trace = 0.0;
            for (int i = 0; i < 3; ++i) {
                double sign = (signs >> i) & 1 ? -1.0 : 1.0;
                for (int j = 0; j < 3; ++j)
                    candidate[i][j] = sign * unsnuggled[permutations[p][i]][j];
                trace += candidate[i][i];
            }
            if (trace > bestTrace + 1e-12) {
                bestTrace = trace;
                best = candidate;
                for (int i = 0; i < 3; ++i)
                    bestValues[i] = values[permutations[p][i]];
            }
        }
    }
    k = Point3(float(bestValues[0]), float(bestValues[1]), float(bestValues[2]));
    u = rotationOf(best);
}

} // namespace

void decomp_affine(Matrix3 A, AffineParts* parts) {
    parts->t = A.GetTrans();
    Mat a = blockOf(A);
    double scale = frobenius(a);
    double det = determinant(a);
    Mat r = std::fabs(det) > 1e-12 * scale * scale * scale ? orthogonalFactor(a)
                                                           : orthogonalFactorSingular(a);
    parts->f = determinant(r) < 0.0 ? -1.0f : 1.0f;

    Mat s = product(a, transpose(r));
    for (int i = 0; i < 3; ++i)
        for (int j = i + 1; j < 3; ++j)
            s[i][j] = s[j][i] = 0.5 * (s[i][j] + s[j][i]);
    spectral(s, parts->k, parts->u);
    for (int i = 0; i < 3; ++i)
        parts->k[i] = std::max(parts->k[i], 0.0f); // rounding below zero

    if (parts->f < 0.0f)
        for (auto& row : r)
            for (double& v : row)
                v = -v;
    parts->q = rotationOf(r);
}

void invert_affine(AffineParts* parts, AffineParts* inverse) {
    // The inverse block is transpose(Q) * transpose(U) * K^-1 * U * Q * F, i.e. stretch frame
    // U * Q, factors 1/k, rotation conjugate(q), same mirror sign.
    AffineParts result;
    result.f = parts->f;
    result.q = Conjugate(parts->q);
    result.u = parts->u * parts->q;
    result.u.Normalize();
    for (int i = 0; i < 3; ++i)
        result.k[i] = parts->k[i] > 0.0f ? 1.0f / parts->k[i] : 0.0f;

    Matrix3 u, q;
    result.u.MakeMatrix(u);
    result.q.MakeMatrix(q);
    Matrix3 block = Inverse(u) * ScaleMatrix(result.k) * u * q *
                    ScaleMatrix(Point3(result.f, result.f, result.f));
    result.t = -block.VectorTransform(parts->t);
    *inverse = result;
}

void SpectralDecomp(Matrix3 m, Point3& s, Quat& q) {
    Mat a = blockOf(m);
    Mat symmetric{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            symmetric[i][j] = 0.5 * (a[i][j] + a[j][i]);
    spectral(symmetric, s, q);
}
