// The graph's axes: RTT gridlines at nice steps, clock-time ticks at nice steps (platform-free).
#pragma once
#include <cstddef>

// A y axis from 0 ms to top, with gridlines at step, 2 x step ... top (lines of them, 3 to 5);
// step is 1, 2 or 5 x 10^n ms, and decimals the digits its labels need after the point.
struct RttAxis {
    double step;
    double top;
    int lines;
    int decimals;
};
// The axis for RTTs up to maxRtt ms, with headroom above it; at least 0 to 1 ms.
RttAxis NiceRttAxis(double maxRtt);
// A gridline's label: "0.5", "20", "1000" (the unit is written once beside the axis).
char* FormatRttLabel(const RttAxis& axis, int line, char* text, size_t size);

// Clock-time ticks over a span of spanSeconds shown across room for at most maxLabels labels:
// every step seconds (1, 2, 5, 10, 15, 30 s, 1, 2, 5, 10, 15, 30 min, 1, 2, 3, 6, 12 h, 1 day,
// the smallest whose labels fit), labelled with seconds when step is below a minute.
struct TimeAxis {
    int step;
    bool withSeconds;
};
TimeAxis NiceTimeAxis(double spanSeconds, int maxLabels);
// The first tick at or after fromClock (seconds since local midnight, maybe past a day), on a
// multiple of the step.
double FirstTimeTick(const TimeAxis& axis, double fromClock);
// "HH:MM" or "HH:MM:SS" of a clock time in seconds since local midnight (past a day wraps).
char* FormatClock(double clock, bool withSeconds, char* text, size_t size);
