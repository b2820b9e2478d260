#include "view/tlitemdelegate.h"

#include "model/tldatetext.h"
#include "model/tlitem.h"
#include "model/tlrichtext.h"
#include "view/tldateedit.h"
#include "view/tlrichtextedit.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QApplication>
#include <QColorDialog>
#include <QHeaderView>
#include <QIcon>
#include <QLineEdit>
#include <QMetaProperty>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QPointer>
#include <QStyle>
#include <QTableView>
#include <QTextEdit>

#include <algorithm>
#include <cmath>

namespace {

int textMargin(const QStyle *style, const QWidget *widget)
{
    return style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
}

QStyle *styleOf(const QStyleOptionViewItem &option)
{
    return option.widget ? option.widget->style() : QApplication::style();
}

QString colourName(const QColor &colour)
{
    return colour.name(colour.alpha() == 255 ? QColor::HexRgb : QColor::HexArgb);
}

// A framed square of the colour, so that it stays visible on a row painted
// in the same colour.
QPixmap swatch(const QColor &colour, const QSize &size, qreal ratio)
{
    const QString key = QStringLiteral("tlitemdelegate-swatch-%1-%2x%3-%4")
                            .arg(colourName(colour))
                            .arg(size.width())
                            .arg(size.height())
                            .arg(ratio);
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap))
        return pixmap;
    pixmap = QPixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    const QRectF frame(0.5, 0.5, size.width() - 1.0, size.height() - 1.0);
    painter.setPen(QPen(QColor(64, 64, 64), 1.0));
    painter.setBrush(colour);
    painter.drawRect(frame);
    painter.setPen(QPen(Qt::white, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(frame.adjusted(1.0, 1.0, -1.0, -1.0));
    painter.end();
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

QIcon swatchIcon(const QColor &colour)
{
    if (!colour.isValid())
        return QIcon();
    return QIcon(swatch(colour, QSize(16, 16), qApp->devicePixelRatio()));
}

const char shownValue[] = "tlShownValue";

QVariant editorValue(const QWidget *editor)
{
    return editor->metaObject()->userProperty().read(editor);
}

}

void TLItemDelegate::noteShownValue(QWidget *editor)
{
    editor->setProperty(shownValue, editorValue(editor));
}

bool TLItemDelegate::isEdited(const QWidget *editor)
{
    return editorValue(editor) != editor->property(shownValue);
}

TLItemDelegate::TLItemDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
{
}

void TLItemDelegate::applyTo(QTableView *table)
{
    table->setItemDelegate(new TLItemDelegate(table));
    QHeaderView *header = table->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    // Dates, positions and colour names come in a few fixed widths, so the
    // rows around the view size the columns as well as a thousand would, and
    // every change to a large chart resizes them at a tenth of the cost.
    header->setResizeContentsPrecision(100);
    header->setSectionResizeMode(TLItem::TextColumn, QHeaderView::Stretch);
}

void TLItemDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.column() == TLItem::TextColumn) {
        // The label is painted as formatted text by paintLabel.
        option->text.clear();
    } else if (index.column() == TLItem::BackgroundColorColumn) {
        const QColor colour = index.data(Qt::DisplayRole).value<QColor>();
        if (!colour.isValid()) {
            option->text.clear();
            return;
        }
        const qreal ratio = option->widget ? option->widget->devicePixelRatioF() : qApp->devicePixelRatio();
        option->text = colourName(colour);
        option->features |= QStyleOptionViewItem::HasDecoration;
        option->icon = QIcon(swatch(colour, option->decorationSize, ratio));
    }
}

void TLItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    if (index.column() == TLItem::TextColumn)
        paintLabel(painter, option, index);
    else
        QStyledItemDelegate::paint(painter, option, index);
}

void TLItemDelegate::paintLabel(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem cell(option);
    initStyleOption(&cell, index);
    const QStyle *style = styleOf(cell);
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, cell.widget);

    // Labels have no icon or check box: the text takes the whole cell.
    const int margin = textMargin(style, cell.widget);
    const QRect area = cell.rect.adjusted(margin, 1, -margin, -1);
    if (area.width() <= 0 || area.height() <= 0)
        return;

    const TLCellLines::Line &line = lines.line(index.row(), index.data(Qt::DisplayRole).toString(), cell.font,
                                               area.size());
    if (line.document->isEmpty())
        return;
    const qreal height = line.height;
    const qreal scale = line.scale;

    QPalette::ColorGroup group = QPalette::Normal;
    if (!(cell.state & QStyle::State_Enabled))
        group = QPalette::Disabled;
    else if (!(cell.state & QStyle::State_Active))
        group = QPalette::Inactive;
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette = cell.palette;
    context.palette.setColor(QPalette::Text, cell.palette.color(group, cell.state & QStyle::State_Selected
                                                                           ? QPalette::HighlightedText
                                                                           : QPalette::Text));
    painter->save();
    painter->setClipRect(area, Qt::IntersectClip);
    painter->translate(area.left(), area.top() + (area.height() - height * scale) / 2.0);
    painter->scale(scale, scale);
    line.document->documentLayout()->draw(painter, context);
    painter->restore();
}

QSize TLItemDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (index.column() != TLItem::TextColumn)
        return size;
    QStyleOptionViewItem cell(option);
    initStyleOption(&cell, index);
    const qreal widest = 40.0 * cell.fontMetrics.averageCharWidth();
    const int width =
        int(std::ceil(std::min(TLCellLines::naturalWidth(index.data(Qt::DisplayRole).toString(), cell.font), widest)));
    size.setWidth(std::max(size.width(), width + 2 * textMargin(styleOf(cell), cell.widget)));
    return size;
}

QWidget *TLItemDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                      const QModelIndex &index) const
{
    if (index.column() == TLItem::TextColumn) {
        // The dialog's editor: a label pasted into it is clamped at once,
        // before its layout could hang the program.
        TLRichTextEdit *editor = new TLRichTextEdit(parent);
        editor->setToolTip(tr("Ctrl+Return to finish, Ctrl+B, Ctrl+I and Ctrl+U for bold, italic and underline"));
        TLItemDelegate *self = const_cast<TLItemDelegate *>(this);
        connect(editor, &TLRichTextEdit::finishRequested, self, [self, editor] {
            emit self->commitData(editor);
            emit self->closeEditor(editor, QAbstractItemDelegate::NoHint);
        });
        return editor;
    }
    if (index.column() == TLItem::BackgroundColorColumn) {
        QLineEdit *editor = new QLineEdit(parent);
        QAction *choose = editor->addAction(QIcon(), QLineEdit::TrailingPosition);
        choose->setObjectName(QStringLiteral("chooseColour"));
        choose->setToolTip(tr("Choose a colour"));
        connect(editor, &QLineEdit::textChanged, choose,
                [choose](const QString &text) { choose->setIcon(swatchIcon(QColor::fromString(text))); });
        TLItemDelegate *self = const_cast<TLItemDelegate *>(this);
        connect(choose, &QAction::triggered, self, [self, editor] { self->chooseColour(editor); });
        return editor;
    }
    if (index.column() == TLItem::DateColumn || index.column() == TLItem::EndDateColumn) {
        TLDateEdit *editor = new TLDateEdit(parent);
        // An end date can be emptied, and an empty one starts at the item's
        // date, as in the item dialog.
        if (index.column() == TLItem::EndDateColumn) {
            editor->setNoDateAllowed(true);
            editor->setStepStart(index.siblingAtColumn(TLItem::DateColumn).data(Qt::EditRole).toDate());
        }
        return editor;
    }
    return QStyledItemDelegate::createEditor(parent, option, index);
}

// Dates of every age read as the chart writes them; the years from 1 on as
// the locale writes them.
QString TLItemDelegate::displayText(const QVariant &value, const QLocale &locale) const
{
    if (value.userType() == QMetaType::QDate && value.toDate().isValid() && value.toDate().year() < 1)
        return TLDateText::format(value.toDate(), locale.dateFormat(QLocale::ShortFormat));
    return QStyledItemDelegate::displayText(value, locale);
}

void TLItemDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    if (TLRichTextEdit *edit = qobject_cast<TLRichTextEdit *>(editor); edit && index.column() == TLItem::TextColumn) {
        edit->document()->setDefaultFont(edit->font());
        edit->setLabel(index.data(Qt::EditRole).toString());
        // Loading is no edit: nothing is written back unless the user types.
        edit->document()->setModified(false);
        return;
    }
    if (QLineEdit *edit = qobject_cast<QLineEdit *>(editor); edit && index.column() == TLItem::BackgroundColorColumn) {
        const QColor colour = index.data(Qt::EditRole).value<QColor>();
        edit->setText(colour.isValid() ? colourName(colour) : QString());
        noteShownValue(edit);
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
    noteShownValue(editor);
}

void TLItemDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    if (QTextEdit *edit = qobject_cast<QTextEdit *>(editor); edit && index.column() == TLItem::TextColumn) {
        QTextDocument *document = edit->document();
        if (!document->isModified())
            return;
        model->setData(index, document->toHtml(), Qt::EditRole);
        document->setModified(false);
        return;
    }
    // An editor left as it opened writes nothing: moving through the cells
    // changes no item, and an empty end date does not take the date an
    // empty date editor shows.
    if (!isEdited(editor))
        return;
    if (QLineEdit *edit = qobject_cast<QLineEdit *>(editor); edit && index.column() == TLItem::BackgroundColorColumn) {
        const QColor colour = QColor::fromString(edit->text().trimmed());
        if (colour.isValid())
            model->setData(index, colour, Qt::EditRole);
    } else {
        QStyledItemDelegate::setModelData(editor, model, index);
    }
    noteShownValue(editor);
}

void TLItemDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                          const QModelIndex &index) const
{
    if (index.column() != TLItem::TextColumn) {
        QStyledItemDelegate::updateEditorGeometry(editor, option, index);
        // A date editor takes the room its text and arrows need, over the
        // cell beside when the column is narrower.
        if (qobject_cast<TLDateEdit *>(editor))
            editor->resize(std::max(editor->width(), editor->sizeHint().width()), editor->height());
        return;
    }
    // Room for a few lines of a label, over the rows below when needed.
    QRect area = option.rect;
    area.setHeight(std::max(area.height(), 5 * option.fontMetrics.height()));
    area.setWidth(std::max(area.width(), 24 * option.fontMetrics.averageCharWidth()));
    if (const QWidget *viewport = editor->parentWidget()) {
        const QRect bounds = viewport->rect();
        area.setHeight(std::min(area.height(), bounds.height()));
        if (area.bottom() > bounds.bottom())
            area.moveBottom(bounds.bottom());
        if (area.top() < bounds.top())
            area.moveTop(bounds.top());
    }
    editor->setGeometry(area);
}

void TLItemDelegate::chooseColour(QLineEdit *editor)
{
    // The chooser takes the focus from the editor, which would otherwise
    // close it underneath the dialog.
    editor->removeEventFilter(this);
    QPointer<QLineEdit> guard(editor);
    const QColor colour = QColorDialog::getColor(QColor::fromString(editor->text().trimmed()), editor,
                                                 tr("Choose a colour"));
    if (!guard)
        return;
    editor->installEventFilter(this);
    if (!colour.isValid()) {
        editor->setFocus();
        return;
    }
    editor->setText(colourName(colour));
    emit commitData(editor);
    emit closeEditor(editor, QAbstractItemDelegate::NoHint);
}
