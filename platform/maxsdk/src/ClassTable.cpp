#include "ClassTable.h"

#include "Controllers.h"
#include "modstack.h"
#include "triobj.h"

namespace hostcore::detail {

void* createInstance(SClass_ID superID, Class_ID classID) {
    switch (superID) {
    case GEOMOBJECT_CLASS_ID:
        if (classID == triObjectClassID) return CreateNewTriObject();
        break;
    case GEN_DERIVOB_CLASS_ID:
        if (classID == Class_ID(DERIVOB_CLASS_ID, 0)) return CreateDerivedObject();
        break;
    case CTRL_MATRIX3_CLASS_ID:
        if (classID == Class_ID(PRS_CONTROL_CLASS_ID, 0)) return new PRSControl;
        break;
    case CTRL_POSITION_CLASS_ID:
        if (classID == Class_ID(LININTERP_POSITION_CLASS_ID, 0)) return new PositionKeyControl;
        break;
    case CTRL_ROTATION_CLASS_ID:
        if (classID == Class_ID(LININTERP_ROTATION_CLASS_ID, 0)) return new RotationKeyControl;
        break;
    case CTRL_SCALE_CLASS_ID:
        if (classID == Class_ID(LININTERP_SCALE_CLASS_ID, 0)) return new ScaleKeyControl;
        break;
    default:
        break;
    }
    return nullptr;
}

}  // namespace hostcore::detail
