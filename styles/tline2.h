#ifndef TLINE2_H
#define TLINE2_H

#include "view/tline.h"

// A grid of row lines under a heading band of year, month and day labels; items are plain bars.
class TLine2 : public TLine
{
    Q_OBJECT

public:
    explicit TLine2(QWidget *parent = nullptr);

public slots:
    void recalcSize() override;

protected:
    void paint(QPainter *painter) override;
    int dateToX(const QDate &date) const override;
    int posToY(int pos) const override;
    void paintItem(QPainter *painter, int row, const QRect &shownPart) override;
    bool decoratesBoxes() const override;
};

#endif
