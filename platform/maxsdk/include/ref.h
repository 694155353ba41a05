// References between scene objects. A ReferenceMaker holds references to ReferenceTargets; a
// target knows its dependents, tells them when it changes and is deleted when the last
// reference to it goes (unless A_LOCK_TARGET is set), as the host does.
#pragma once

#include <vector>

#include "animtbl.h"
#include "interval.h"

typedef int RefResult;
#define REF_FAIL 0
#define REF_SUCCEED 1
#define REF_DONTCARE 2
#define REF_STOP 3

typedef unsigned int RefMessage;
#define REFMSG_CHANGE 0x50
#define REFMSG_TARGET_DELETED 0x20

typedef DWORD PartID;
#define PART_TOPO (1 << 0)
#define PART_GEOM (1 << 1)
#define PART_TEXMAP (1 << 2)
#define PART_MTL (1 << 3)
#define PART_SELECT (1 << 4)
#define PART_SUBSEL_TYPE (1 << 5)
#define PART_DISPLAY (1 << 6)
#define PART_VERTCOLOR (1 << 7)
#define PART_GFX_DATA (1 << 8)
#define PART_DISP_APPROX (1 << 9)
#define PART_EXTENSION (1 << 10)
#define PART_TM_CHAN (1 << 11)
#define PART_MTL_CHAN (1 << 12)
#define PART_OBJECT_TYPE (1 << 13)
#define PART_ALL 0x3FFF

#define NOTIFY_ALL 0xfffffff0

class ReferenceTarget;
typedef ReferenceTarget* RefTargetHandle;

class ReferenceMaker : public Animatable {
public:
    // Called when a target this object references changes or goes away.
    virtual RefResult NotifyRefChanged(Interval changeInt, RefTargetHandle hTarget, PartID& partID,
                                       RefMessage message);
};

class ReferenceTarget : public ReferenceMaker {
public:
    ReferenceTarget();
    ~ReferenceTarget() override;

    // Tells every dependent that this target changed; dependents pass it on when `propagate`.
    RefResult NotifyDependents(Interval changeInt, PartID partID, RefMessage message,
                               SClass_ID sclass = NOTIFY_ALL, BOOL propagate = TRUE,
                               RefTargetHandle hTarg = nullptr);

private:
    friend class hostcore::detail::CoreAccess;
    std::vector<ReferenceMaker*> dependents; // in the order they took their reference
};
