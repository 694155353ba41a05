// Scoped changes of the host's animate mode: whatever happens in the scope, the mode the host
// had before is restored when it ends.
#pragma once

#include "control.h"

// Values set in the scope change the scene's constant values; no keys are made.
class AnimateSuspension {
public:
    AnimateSuspension() { SuspendAnimate(); }
    ~AnimateSuspension() { ResumeAnimate(); }
    AnimateSuspension(const AnimateSuspension&) = delete;
    AnimateSuspension& operator=(const AnimateSuspension&) = delete;
};

// Values set in the scope make keys at their times.
class KeyCreation {
public:
    KeyCreation() {
        SuspendAnimate();
        AnimateOn();
    }
    ~KeyCreation() { ResumeAnimate(); }
    KeyCreation(const KeyCreation&) = delete;
    KeyCreation& operator=(const KeyCreation&) = delete;
};
