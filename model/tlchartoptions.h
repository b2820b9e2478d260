#ifndef TLCHARTOPTIONS_H
#define TLCHARTOPTIONS_H

// The display switches and the background modes of a chart, numbered as
// documents store them. Charts, dialogs and documents share these names.
struct TLChartOptions
{
    enum DisplayFlag {
        MarkDays,
        MarkWeeks,
        MarkMonths,
        MarkYears,
        MarkEnds,
        MarkItems,
        ArrowShadow,
        ItemShadow,
        RoundEdges
    };

    enum BackgroundMode { NoBackground, SolidBackground, DiagonalGradient, VerticalGradient, ImageBackground };
};

#endif
