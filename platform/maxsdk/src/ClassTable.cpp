#include "ClassTable.h"

#include "Controllers.h"
#include "Deformers.h"
#include "Materials.h"
#include "iskin.h"
#include "modstack.h"
#include "phyexp.h"
#include "triobj.h"

namespace hostcore::detail {

void* createInstance(SClass_ID superID, Class_ID classID) {
    switch (superID) {
    case GEOMOBJECT_CLASS_ID:
        if (classID == triObjectClassID) return CreateNewTriObject();
        if (classID == BONE_OBJ_CLASSID) return newBoneObject();
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
        if (classID == Class_ID(PRS_CONTROL_CLASS_ID, 0)) return new PRSControl;
        if (classID == BIPBODY_CONTROL_CLASS_ID) return new BipedBodyControl;
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
    return createPluginInstance(superID, classID);
}

}  // namespace hostcore::detail
