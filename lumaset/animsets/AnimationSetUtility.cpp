#include "animsets/AnimationSetUtility.h"

void AnimationSetUtility::BeginEditParams(Interface*, IUtil*) {}

void AnimationSetUtility::EndEditParams(Interface*, IUtil*) {}
