// Frames of the host timeline to host ticks, for the time slider and for stored set ranges.
#pragma once

#include <maxtypes.h>

// `frame` times `ticksPerFrame`, worked out in 64 bits and clamped to the ticks a TimeValue can
// hold, so a frame typed far beyond the timeline gives the timeline's end rather than a wrapped
// range. The lowest value is kept free: it marks an empty interval for the host.
TimeValue frameToTicks(int frame, int ticksPerFrame);
