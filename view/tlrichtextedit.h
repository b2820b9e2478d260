#ifndef TLRICHTEXTEDIT_H
#define TLRICHTEXTEDIT_H

#include <QTextEdit>

class QKeyEvent;
class QMimeData;
class TLRichText;

// A rich-text editor for item labels: its document is a TLRichText, so a
// label loads nothing from outside, and every label set or pasted into it
// is clamped like any other. Ctrl+B, Ctrl+I and Ctrl+U switch bold, italic
// and underline; Ctrl+Return asks to finish the edit where someone listens.
class TLRichTextEdit : public QTextEdit
{
    Q_OBJECT

public:
    explicit TLRichTextEdit(QWidget *parent = nullptr);

    // The label as its document shows it, which the user cannot undo and
    // which leaves the document unmodified; the cursor is left at the
    // start, in the format of the first character.
    void setLabel(const QString &html);

signals:
    void finishRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    TLRichText *label;
};

#endif
