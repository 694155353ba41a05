// FPMixinInterface: a published interface that an object offers as part of itself.
#pragma once

#include "baseinterface.h"

class FPMixinInterface : public BaseInterface {};
