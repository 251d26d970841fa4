// The column and window placement rules of the INI file.
#include "settings/layout_rules.h"
#include <climits>

ColumnLayout DecodeColumnValue(int value) {
    if (value > 0)
        return {1, value};
    return {0, value == INT_MIN ? INT_MAX : -value};
}

int EncodeColumnValue(int visible, int shownWidth, int rememberedWidth) {
    if (visible)
        return shownWidth;
    return rememberedWidth > 0 ? -rememberedWidth : rememberedWidth; // hidden stays 0 or below
}

bool PlacementHasArea(int x, int y, int width, int height) {
    if (width <= 0 || height <= 0)
        return false;
    return static_cast<long long>(x) + width <= INT_MAX &&
           static_cast<long long>(y) + height <= INT_MAX;
}
