// Scaling by DPI, the pick of the artwork's size, and the INI file's column widths.
#include "dpi/dpi_rules.h"
#include <climits>
#include <cstdlib>

// value * numerator / denominator with MulDiv's rounding; denominator > 0, numerator >= 0.
static int MultiplyDivide(int value, int numerator, int denominator) {
    long long magnitude = std::llabs(static_cast<long long>(value)) * numerator;
    long long quotient = (magnitude + denominator / 2) / denominator;
    if (quotient > INT_MAX)
        return value < 0 ? INT_MIN : INT_MAX;
    return static_cast<int>(value < 0 ? -quotient : quotient);
}

static int UsableDpi(int dpi) {
    return dpi > 0 ? dpi : kBaseDpi;
}

int ScaleToDpi(int value, int dpi) {
    return MultiplyDivide(value, UsableDpi(dpi), kBaseDpi);
}

int ScaleFromDpi(int value, int dpi) {
    return MultiplyDivide(value, kBaseDpi, UsableDpi(dpi));
}

int PickArtworkSize(int needed, const int* sizes, int count) {
    for (int i = 0; i < count; i++)
        if (sizes[i] >= needed)
            return i;
    return count - 1;
}

// A shown column's width never rounds to 0, which would read back as hidden.
static int KeepShown(int before, int after) {
    return before > 0 && after < 1 ? 1 : after;
}

int StoredColumnValue(int pixelValue, int dpi) {
    return KeepShown(pixelValue, ScaleFromDpi(pixelValue, dpi));
}

int ColumnValueAtDpi(int storedValue, int dpi) {
    return KeepShown(storedValue, ScaleToDpi(storedValue, dpi));
}
