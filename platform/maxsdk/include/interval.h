// Interval: a closed range of animation time [start, end], used for validity.
#pragma once

#include "maxtypes.h"

class Interval {
public:
    // Empty: both ends TIME_NegInfinity.
    Interval() : start(TIME_NegInfinity), end(TIME_NegInfinity) {}
    // Ends are swapped when e < s.
    Interval(TimeValue s, TimeValue e) { Set(s, e); }

    void Set(TimeValue s, TimeValue e) {
        start = e < s ? e : s;
        end = e < s ? s : e;
    }
    void SetStart(TimeValue s) { start = s; }
    void SetEnd(TimeValue e) { end = e; }
    void SetInfinite() {
        start = TIME_NegInfinity;
        end = TIME_PosInfinity;
    }
    void SetEmpty() { start = end = TIME_NegInfinity; }
    void SetInstant(TimeValue t) { start = end = t; }

    TimeValue Start() const { return start; }
    TimeValue End() const { return end; }
    // end - start + 1, saturated at the largest TimeValue (FOREVER does not overflow).
    TimeValue Duration() const;
    int Empty() const { return start == TIME_NegInfinity && end == TIME_NegInfinity; }
    // start <= t <= end, never for TIME_NegInfinity (so an empty interval contains nothing).
    int InInterval(TimeValue t) const { return start <= t && t <= end && t != TIME_NegInfinity; }
    int InInterval(const Interval& i) const { return InInterval(i.start) && InInterval(i.end); }

    // Intersection; disjoint intervals give the empty interval.
    Interval operator&(const Interval& i) const;
    Interval& operator&=(const Interval& i) { return *this = *this & i; }
    int operator==(const Interval& i) const { return start == i.start && end == i.end; }
    int operator!=(const Interval& i) const { return !(*this == i); }

private:
    TimeValue start, end;
};

#define FOREVER Interval(TIME_NegInfinity, TIME_PosInfinity)
#define NEVER Interval(TIME_NegInfinity, TIME_NegInfinity)
