#include "view/tlrichtextedit.h"

#include "model/tlrichtext.h"

#include <QKeyEvent>
#include <QMetaMethod>
#include <QMimeData>
#include <QTextCharFormat>
#include <QTextCursor>

TLRichTextEdit::TLRichTextEdit(QWidget *parent)
    : QTextEdit(parent)
    , label(new TLRichText(this))
{
    setDocument(label);
}

void TLRichTextEdit::setLabel(const QString &html)
{
    // Loading a label is no step the user can undo: switching undo off
    // clears the stack.
    const bool undo = label->isUndoRedoEnabled();
    label->setUndoRedoEnabled(false);
    label->setLabel(html);
    label->setUndoRedoEnabled(undo);
    label->setModified(false);
    // A fresh cursor at the start answers with the first character's
    // format; the one the old text leaves keeps the format from before.
    moveCursor(QTextCursor::Start);
}

void TLRichTextEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->modifiers() == Qt::ControlModifier) {
        QTextCharFormat format;
        switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // Without a listener the key stays a line break.
            if (!isSignalConnected(QMetaMethod::fromSignal(&TLRichTextEdit::finishRequested)))
                break;
            emit finishRequested();
            return;
        case Qt::Key_B:
            format.setFontWeight(fontWeight() >= QFont::Bold ? QFont::Normal : QFont::Bold);
            mergeCurrentCharFormat(format);
            return;
        case Qt::Key_I:
            format.setFontItalic(!fontItalic());
            mergeCurrentCharFormat(format);
            return;
        case Qt::Key_U:
            format.setFontUnderline(!fontUnderline());
            mergeCurrentCharFormat(format);
            return;
        default:
            break;
        }
    }
    QTextEdit::keyPressEvent(event);
}

void TLRichTextEdit::insertFromMimeData(const QMimeData *source)
{
    // One edit block, so that an undo never leaves the unclamped paste.
    QTextCursor block(document());
    block.beginEditBlock();
    if (source->hasHtml() && acceptRichText()) {
        QTextCursor cursor = textCursor();
        TLRichText::insertLabel(&cursor, source->html());
        ensureCursorVisible();
    } else {
        QTextEdit::insertFromMimeData(source);
        TLRichText::clampFormats(document());
    }
    block.endEditBlock();
}
