// Nice steps for the graph's axes.
#include "graph/graph_axes.h"
#include "common/bounded_text.h"
#include <cmath>
#include <initializer_list>

namespace {

const int kMostRttLines = 5;
const double kHeadroom = 1.1;   // the top gridline stands a tenth above the highest RTT
const double kSmallestTop = 1;  // ms: a hop under a millisecond still gets an axis
const double kLargestTop = 1e9; // ms: past any echo's wait, and a step that stays finite

const int kTimeSteps[] = {1,   2,   5,    10,   15,   30,    60,    120,   300,
                          600, 900, 1800, 3600, 7200, 10800, 21600, 43200, 86400};

} // namespace

RttAxis NiceRttAxis(double maxRtt) {
    double wanted = maxRtt * kHeadroom;
    if (!(wanted >= kSmallestTop)) // also NaN
        wanted = kSmallestTop;
    if (wanted > kLargestTop)
        wanted = kLargestTop;
    // The smallest step of 1, 2 or 5 x 10^n that reaches wanted in at most five lines; the one
    // below it took more than five, and the steps grow at most 2.5 times, so this takes three.
    double power = std::pow(10.0, std::floor(std::log10(wanted / kMostRttLines)));
    RttAxis axis = {};
    for (int tries = 0; tries < 8; tries++, power *= 10) {
        for (double mantissa : {1.0, 2.0, 5.0}) {
            double step = mantissa * power;
            double lines = std::ceil(wanted / step - 1e-9);
            if (lines <= kMostRttLines) {
                axis.step = step;
                axis.lines = static_cast<int>(lines);
                axis.top = step * axis.lines;
                axis.decimals =
                    step >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
                return axis;
            }
        }
    }
    return {kLargestTop, kLargestTop, 1, 0}; // not reached
}

char* FormatRttLabel(const RttAxis& axis, int line, char* text, size_t size) {
    return FormatText(text, size, "%.*f", axis.decimals, axis.step * line);
}

TimeAxis NiceTimeAxis(double spanSeconds, int maxLabels) {
    if (maxLabels < 1)
        maxLabels = 1;
    int step = kTimeSteps[sizeof kTimeSteps / sizeof kTimeSteps[0] - 1];
    for (int candidate : kTimeSteps) {
        if (spanSeconds / candidate <= maxLabels) {
            step = candidate;
            break;
        }
    }
    return {step, step < 60};
}

double FirstTimeTick(const TimeAxis& axis, double fromClock) {
    return std::ceil(fromClock / axis.step - 1e-9) * axis.step;
}

char* FormatClock(double clock, bool withSeconds, char* text, size_t size) {
    long seconds = static_cast<long>(std::floor(clock + 0.5));
    seconds %= 86400;
    if (seconds < 0)
        seconds += 86400;
    if (withSeconds)
        return FormatText(text, size, "%02ld:%02ld:%02ld", seconds / 3600, seconds / 60 % 60,
                          seconds % 60);
    return FormatText(text, size, "%02ld:%02ld", seconds / 3600, seconds / 60 % 60);
}
