#include <vector>

#include "control.h"

namespace {

struct AnimateState {
    bool animating = false;
    std::vector<bool> suspended;
};

AnimateState& animateState() {
    static AnimateState state;
    return state;
}

} // namespace

int Animating() {
    return animateState().animating ? 1 : 0;
}
void AnimateOn() {
    animateState().animating = true;
}
void AnimateOff() {
    animateState().animating = false;
}

void SuspendAnimate() {
    AnimateState& state = animateState();
    state.suspended.push_back(state.animating);
    state.animating = false;
}

// An unmatched resume leaves the state as it is.
void ResumeAnimate() {
    AnimateState& state = animateState();
    if (state.suspended.empty()) return;
    state.animating = state.suspended.back();
    state.suspended.pop_back();
}

BOOL AreWeAnimating(const TimeValue&) {
    return Animating();
}
BOOL AreWeKeying(const TimeValue&) {
    return Animating();
}
