#ifndef TLSTYLEFACTORY_H
#define TLSTYLEFACTORY_H

class QWidget;
class TLine;

// Makes the chart widget of a style number: 1 TLine1, 2 TLine2, 3 TLine3.
class TLStyleFactory
{
public:
    // Whether a document may ask for the style.
    static bool isStyle(int style);
    // A chart of the style, or of style 1 for any other number.
    static TLine *create(int style, QWidget *parent = nullptr);
};

#endif
