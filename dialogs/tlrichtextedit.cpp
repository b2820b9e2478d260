#include "dialogs/tlrichtextedit.h"

#include "model/tlrichtext.h"

#include <QMimeData>
#include <QTextCursor>
#include <QTextDocumentFragment>

TLRichTextEdit::TLRichTextEdit(QWidget *parent)
    : QTextEdit(parent)
{
    setDocument(new TLRichText(this));
}

void TLRichTextEdit::setLabel(const QString &html)
{
    setHtml(TLRichText::capColumnSpans(html));
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

void TLRichTextEdit::insertFromMimeData(const QMimeData *source)
{
    // One edit block, so that an undo never leaves the unclamped paste.
    QTextCursor block(document());
    block.beginEditBlock();
    if (source->hasHtml() && acceptRichText()) {
        textCursor().insertFragment(
            QTextDocumentFragment::fromHtml(TLRichText::capColumnSpans(source->html()), document()));
        ensureCursorVisible();
    } else {
        QTextEdit::insertFromMimeData(source);
    }
    TLRichText::clampFormats(document());
    block.endEditBlock();
}
