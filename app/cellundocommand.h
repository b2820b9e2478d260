#ifndef CELLUNDOCOMMAND_H
#define CELLUNDOCOMMAND_H

#include <QUndoCommand>
#include <QVariant>

class Zelvaro;

// One cell of the item table edited in place, as one step of the history.
class CellUndoCommand : public QUndoCommand
{
public:
    CellUndoCommand(Zelvaro *window, int row, int column, const QVariant &after, const QString &text);

    void redo() override;
    void undo() override;

private:
    Zelvaro *window;
    int row;
    int column;
    QVariant before;
    QVariant after;
    int rowsBefore;
};

#endif
