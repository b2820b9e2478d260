#include "view/tlrichtextedit.h"

#include "model/tlrichtext.h"

#include <QKeyEvent>
#include <QMetaMethod>
#include <QMimeData>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocumentFragment>

TLRichTextEdit::TLRichTextEdit(QWidget *parent)
    : QTextEdit(parent)
{
    setDocument(new TLRichText(this));
}

void TLRichTextEdit::setLabel(const QString &html)
{
    setHtml(TLRichText::boundHtml(html));
    QTextDocument *doc = document();
    // Switching undo off clears the stack, which setHtml has just emptied.
    const bool undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    TLRichText::clampFormats(doc);
    doc->setUndoRedoEnabled(undo);
    // A fresh cursor at the start answers with the first character's
    // format; the one setHtml leaves keeps the format from before.
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
        textCursor().insertFragment(
            QTextDocumentFragment::fromHtml(TLRichText::boundHtml(source->html()), document()));
        ensureCursorVisible();
    } else {
        QTextEdit::insertFromMimeData(source);
    }
    TLRichText::clampFormats(document());
    block.endEditBlock();
}
