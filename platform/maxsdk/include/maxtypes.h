// Basic value types shared by the whole SDK: time, class identifiers, small id types.
#pragma once

#include "wintypes.h"

// The host core's own access to what the SDK classes keep private (its bookkeeping). Plug-ins
// never see its definition.
namespace hostcore::detail {
class CoreAccess;
}

// Animation time in ticks (TIME_TICKSPERSEC per second).
typedef int TimeValue;

#define TIME_TICKSPERSEC 4800
#define TIME_PosInfinity TimeValue(0x7fffffff)
#define TIME_NegInfinity TimeValue(0x80000000)

#define TicksToSec(ticks) ((float)(ticks) / (float)TIME_TICKSPERSEC)
#define SecToTicks(secs) ((TimeValue)((secs)*TIME_TICKSPERSEC))

// The scene's frame rate. Ticks per frame is 160 at the default 30 frames per second.
// SetFrameRate and SetTicksPerFrame ignore values that would give a rate of zero ticks or frames.
int GetTicksPerFrame();
void SetTicksPerFrame(int ticks);
int GetFrameRate();
void SetFrameRate(int rate);

#define TicksToFrames(ticks) ((ticks) / GetTicksPerFrame())
#define FramesToTicks(frames) ((frames)*GetTicksPerFrame())

typedef ULONG SClass_ID;
typedef unsigned short MtlID;
typedef short ParamID;
typedef short BlockID;

// Identifies a plug-in class: two 32-bit words chosen by its author. The default is the
// "no class" value (0xFFFFFFFF, 0xFFFFFFFF).
class Class_ID {
public:
    constexpr Class_ID() : a(0xFFFFFFFF), b(0xFFFFFFFF) {}
    constexpr Class_ID(ULONG aa, ULONG bb) : a(aa), b(bb) {}

    constexpr ULONG PartA() const { return a; }
    constexpr ULONG PartB() const { return b; }
    void SetPartA(ULONG aa) { a = aa; }
    void SetPartB(ULONG bb) { b = bb; }

    int operator==(const Class_ID& other) const { return a == other.a && b == other.b; }
    int operator!=(const Class_ID& other) const { return a != other.a || b != other.b; }
    // Orders by part A, then part B, so class ids can key ordered containers.
    bool operator<(const Class_ID& other) const {
        return a < other.a || (a == other.a && b < other.b);
    }

private:
    ULONG a, b;
};

// Identifies a published function interface: two 32-bit words, like Class_ID.
class Interface_ID {
public:
    constexpr Interface_ID() : a(0xFFFFFFFF), b(0xFFFFFFFF) {}
    constexpr Interface_ID(ULONG aa, ULONG bb) : a(aa), b(bb) {}

    constexpr ULONG PartA() const { return a; }
    constexpr ULONG PartB() const { return b; }

    int operator==(const Interface_ID& other) const { return a == other.a && b == other.b; }
    int operator!=(const Interface_ID& other) const { return a != other.a || b != other.b; }
    bool operator<(const Interface_ID& other) const {
        return a < other.a || (a == other.a && b < other.b);
    }

private:
    ULONG a, b;
};
