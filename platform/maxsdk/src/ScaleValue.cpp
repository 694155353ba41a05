#include "scalevalue.h"

void ApplyScaling(Matrix3& m, const ScaleValue& v) {
    Matrix3 frame;
    v.q.MakeMatrix(frame);
    m = Inverse(frame) * ScaleMatrix(v.s) * frame * m;
}
