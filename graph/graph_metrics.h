// Every size of the graph window in pixels, in one place, so that scaling them is one change.
// Text sizes are not here: they come from the font's own metrics.
#pragma once

enum GraphMetrics {
    // The window: where it opens without a kept placement (offset from the main window's corner),
    // its size then, and the least it can be made.
    kGraphOffset = 40,
    kGraphDefaultWidth = 720,
    kGraphDefaultHeight = 560,
    kGraphMinWidth = 480,
    kGraphMinHeight = 360,

    kGraphMargin = 8,      // around everything
    kGraphSectionGap = 10, // between the selector, the route pane and the time line
    kGraphTextGap = 6,     // between a text and what it labels
    kLabelIndent = 2,      // a hop's label from its band's left edge
    kAxisLabelGap = 3,     // between an RTT label and its tick

    // The span selector: room around each name.
    kSelectorPadX = 8,
    kSelectorPadY = 2,

    // The route pane: a band's height over its line of text, the least height of a band once many
    // hops squeeze them, the room above and below a bar inside its band, the whisker's end caps,
    // the loss bar's length, and the most of the room below the selector the pane may take.
    kBandTextPad = 2,
    kBandMinHeight = 3,
    kBandPad = 2,
    kWhiskerCap = 2,
    kLossBarWidth = 60,
    kRoutePanePercent = 45,

    // The time line: tick marks, the thinnest RTT range (so that a hop under a millisecond shows
    // on the axis), the least height of the plot, the widest plot drawn column by column (wider
    // screens draw each column wider), and the smallest loss mark.
    kTickLength = 4,
    kRangeMinHeight = 3,
    kPlotMinHeight = 60,
    kPlotMaxColumns = 4096,
    kLossMarkMinHeight = 2,
};
