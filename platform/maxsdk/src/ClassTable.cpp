#include "ClassTable.h"

#include <optional>

#include "Controllers.h"
#include "Deformers.h"
#include "Materials.h"
#include "iskin.h"
#include "modstack.h"
#include "phyexp.h"
#include "triobj.h"

namespace hostcore::detail {

namespace {

// The curve a keyframe controller class id names, if it is one of the three given.
std::optional<KeyCurve> curveOf(Class_ID classID, ULONG linear, ULONG bezier, ULONG tcb) {
    if (classID.PartB() != 0) return std::nullopt;
    if (classID.PartA() == linear) return KeyCurve::linear;
    if (classID.PartA() == bezier) return KeyCurve::bezier;
    if (classID.PartA() == tcb) return KeyCurve::tcb;
    return std::nullopt;
}

} // namespace

void* createInstance(SClass_ID superID, Class_ID classID) {
    switch (superID) {
    case GEOMOBJECT_CLASS_ID:
        if (classID == triObjectClassID) return CreateNewTriObject();
        if (classID == BONE_OBJ_CLASSID) return newBoneObject();
        if (classID == Class_ID(BOXOBJ_CLASS_ID, 0)) return newBoxObject();
        break;
    case HELPER_CLASS_ID:
        if (classID == Class_ID(DUMMY_CLASS_ID, 0)) return newDummyObject();
        break;
    case CAMERA_CLASS_ID:
        if (classID == Class_ID(SIMPLE_CAM_CLASS_ID, 0)) return newFreeCamera();
        break;
    case LIGHT_CLASS_ID:
        if (classID == Class_ID(OMNI_LIGHT_CLASS_ID, 0)) return newOmniLight();
        break;
    case GEN_DERIVOB_CLASS_ID:
        if (classID == Class_ID(DERIVOB_CLASS_ID, 0)) return CreateDerivedObject();
        break;
    case OSM_CLASS_ID:
        if (classID == SKIN_CLASSID) return newSkinModifier();
        if (classID == PHYSIQUE_CLASS_ID) return newPhysiqueModifier();
        if (classID == PAINTLAYERMOD_CLASS_ID) return newVertexPaintModifier();
        break;
    case MATERIAL_CLASS_ID:
        if (classID == Class_ID(DMTL_CLASS_ID, 0)) return NewDefaultStdMat();
        if (classID == Class_ID(MULTI_CLASS_ID, 0)) return NewDefaultMultiMtl();
        break;
    case TEXMAP_CLASS_ID:
        if (classID == Class_ID(BMTEX_CLASS_ID, 0)) return NewDefaultBitmapTex();
        if (classID == Class_ID(VCOL_CLASS_ID, 0)) return new VertexColorMap;
        break;
    case CTRL_MATRIX3_CLASS_ID:
        // As the host makes one: Bezier position, TCB rotation, Bezier scale.
        if (classID == Class_ID(PRS_CONTROL_CLASS_ID, 0))
            return new PRSControl(KeyCurve::bezier, KeyCurve::tcb, KeyCurve::bezier);
        if (classID == BIPBODY_CONTROL_CLASS_ID) return new BipedBodyControl;
        break;
    case CTRL_FLOAT_CLASS_ID:
        if (auto curve = curveOf(classID, LININTERP_FLOAT_CLASS_ID, HYBRIDINTERP_FLOAT_CLASS_ID,
                                 TCBINTERP_FLOAT_CLASS_ID))
            return new FloatKeyControl(*curve);
        break;
    case CTRL_POSITION_CLASS_ID:
        if (auto curve = curveOf(classID, LININTERP_POSITION_CLASS_ID,
                                 HYBRIDINTERP_POSITION_CLASS_ID, TCBINTERP_POSITION_CLASS_ID))
            return new PositionKeyControl(*curve);
        if (classID == POSITION_XYZ_CLASS_ID) return new PositionXYZControl;
        break;
    case CTRL_ROTATION_CLASS_ID:
        if (auto curve = curveOf(classID, LININTERP_ROTATION_CLASS_ID,
                                 HYBRIDINTERP_ROTATION_CLASS_ID, TCBINTERP_ROTATION_CLASS_ID))
            return new RotationKeyControl(*curve);
        if (classID == Class_ID(EULER_CONTROL_CLASS_ID, 0)) return new EulerXYZControl;
        break;
    case CTRL_SCALE_CLASS_ID:
        if (auto curve = curveOf(classID, LININTERP_SCALE_CLASS_ID, HYBRIDINTERP_SCALE_CLASS_ID,
                                 TCBINTERP_SCALE_CLASS_ID))
            return new ScaleKeyControl(*curve);
        break;
    default:
        break;
    }
    return createPluginInstance(superID, classID);
}

} // namespace hostcore::detail
