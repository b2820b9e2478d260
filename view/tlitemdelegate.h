#ifndef TLITEMDELEGATE_H
#define TLITEMDELEGATE_H

#include "view/tlcelllines.h"

#include <QStyledItemDelegate>

class QLineEdit;
class QTableView;

// Shows the item table the way people read it: each label as its formatted
// text on one line, elided to the cell, and each box colour as a swatch
// with its name. Labels are edited as rich text and colours offer the
// colour chooser. The model and its values stay untouched: this only
// changes how the view paints and edits them.
class TLItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit TLItemDelegate(QObject *parent = nullptr);

    // Puts a delegate on the table and sizes the columns to their content
    // and headers; the label column takes the room that is left.
    static void applyTo(QTableView *table);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QString displayText(const QVariant &value, const QLocale &locale) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;

private:
    void paintLabel(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const;
    void chooseColour(QLineEdit *editor);
    static void noteShownValue(QWidget *editor);
    static bool isEdited(const QWidget *editor);

    // Filled again only for a row whose label, font or cell changed.
    mutable TLCellLines lines;
};

#endif
