#include "dialogs/bgdialog.h"
#include "dialogs/tlitemdialog.h"
#include "model/tlitemmodel.h"
#include "view/tldateedit.h"
#include "view/tline.h"
#include "testfiles.h"
#include "windowprobe.h"

#include <QAction>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QUndoStack>
#include <QtTest>

#include <functional>
#include <memory>

class TestHistory : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void shouldTakeBackAndRedoEveryChange_data();
    void shouldTakeBackAndRedoEveryChange();
    void shouldMarkChangesAsTheHistoryLeavesTheSavedStep();
    void shouldOfferTheStepsInTheDataMenu();

private:
    QByteArray saved();
    QImage chartPicture(Zelvaro *of);
    template <typename T> T *control(const char *name) { return window->findChild<T *>(QLatin1String(name)); }

    QTemporaryDir files;
    std::unique_ptr<AnsweredZelvaro> window;
    QUndoStack *history = nullptr;
};

void TestHistory::init()
{
    useFreshSettings();
    QLocale::setDefault(QLocale::c());
    window = std::make_unique<AnsweredZelvaro>();
    history = window->findChild<QUndoStack *>();
    QVERIFY(history && !history->canUndo());
}

// The document as the window saves it.
QByteArray TestHistory::saved()
{
    const QString path = files.filePath(QStringLiteral("snapshot.vrk"));
    return window->saveNative(path) ? readFile(path) : QByteArray();
}

QImage TestHistory::chartPicture(Zelvaro *of)
{
    return of->findChild<QScrollArea *>()->findChild<TLine *>()->grab().toImage();
}

void TestHistory::shouldTakeBackAndRedoEveryChange_data()
{
    QTest::addColumn<QString>("change");
    for (const char *change : { "new item", "dialog edit", "delete", "table cell", "item below the rows",
                                "background", "style", "start", "end", "width drag", "height", "rows", "arrow",
                                "switch" })
        QTest::newRow(change) << QString::fromLatin1(change);
}

// Every change of the document is one step: undone, the document is saved
// and painted as before it, caches and all; redone, saved as after it.
void TestHistory::shouldTakeBackAndRedoEveryChange()
{
    QFETCH(QString, change);
    TLItemModel *model = window->findChild<TLItemModel *>();
    const QByteArray before = saved();
    const QImage beforePicture = chartPicture(window.get());
    const auto clickOk = [](QWidget *dialog) { dialog->findChild<QPushButton *>(QStringLiteral("okButton"))->click(); };
    if (change == QLatin1String("new item")) {
        whenModal(clickOk);
        window->newItem();
    } else if (change == QLatin1String("dialog edit")) {
        whenModal([clickOk](QWidget *dialog) {
            dialog->findChild<QTextEdit *>()->setPlainText(QStringLiteral("Anders"));
            dialog->findChild<QSpinBox *>(QStringLiteral("sPos"))->setValue(1);
            clickOk(dialog);
        });
        window->itemClicked(2);
    } else if (change == QLatin1String("delete")) {
        whenModalIs<QMessageBox>([](QMessageBox *box) { box->button(QMessageBox::Yes)->click(); });
        window->itemDelete(1);
    } else if (change == QLatin1String("table cell")) {
        QAbstractItemModel *table = window->findChild<QTableView *>()->model();
        table->setData(table->index(2, TLItem::EndDateColumn), QDate(2006, 11, 1));
    } else if (change == QLatin1String("item below the rows")) {
        QAbstractItemModel *table = window->findChild<QTableView *>()->model();
        table->setData(table->index(0, TLItem::PosColumn), 9);
        QCOMPARE(control<QSpinBox>("sMaxPos")->value(), 10);
    } else if (change == QLatin1String("background")) {
        whenModalIs<BGDialog>([](BGDialog *dialog) {
            dialog->setColors(Qt::red, Qt::green, Qt::yellow);
            dialog->setMode(TLine::DiagonalGradient);
            dialog->accept();
        });
        window->changeBackground();
    } else if (change == QLatin1String("style")) {
        window->setWindowModified(false);
        whenModalIs<QInputDialog>([](QInputDialog *dialog) {
            dialog->setTextValue(QStringLiteral("Typ 3"));
            dialog->accept();
        });
        window->changeTimelineTyp();
    } else if (change == QLatin1String("start") || change == QLatin1String("end")) {
        TLDateEdit *date = control<TLDateEdit>(change == QLatin1String("start") ? "deStart" : "deEnd");
        for (int step = 0; step < 5; ++step)
            date->stepBy(1);
    } else if (change == QLatin1String("switch")) {
        control<QCheckBox>("cbRoundEdges")->toggle();
    } else {
        const char *name = change == QLatin1String("width drag") ? "slWidth"
            : change == QLatin1String("height")                   ? "slHeight"
            : change == QLatin1String("arrow")                    ? "slArrow"
                                                                  : nullptr;
        QAbstractSlider *slider = name ? control<QAbstractSlider>(name) : nullptr;
        for (int step = 1; step <= 20; ++step)
            slider ? slider->setValue(slider->value() + 3) : control<QSpinBox>("sMaxPos")->stepBy(1);
    }
    QCOMPARE(history->count(), 1);
    const QByteArray after = saved();
    QVERIFY(after != before);
    QVERIFY(window->isWindowModified());

    history->undo();
    QCOMPARE(saved(), before);
    QVERIFY(!window->isWindowModified());
    QCOMPARE(model->rowCount(), 4);
    // The boxes and labels kept from before the change give what a chart
    // painted afresh shows.
    QCOMPARE(chartPicture(window.get()), beforePicture);
    history->redo();
    QCOMPARE(saved(), after);
    Zelvaro fresh;
    QVERIFY(fresh.loadNative(files.filePath(QStringLiteral("snapshot.vrk"))));
    QCOMPARE(chartPicture(window.get()), chartPicture(&fresh));
}

// Undo back to the saved step leaves nothing unsaved; a new or opened
// document starts a history of its own.
void TestHistory::shouldMarkChangesAsTheHistoryLeavesTheSavedStep()
{
    control<QSlider>("slArrow")->setValue(40);
    QVERIFY(window->isWindowModified());
    history->undo();
    QVERIFY(!window->isWindowModified());
    history->redo();
    QVERIFY(window->isWindowModified());

    window->saveAnswers << qMakePair(files.filePath(QStringLiteral("kept.vrk")), QStringLiteral("Timeline (*.vrk)"));
    window->saveFileAs();
    QVERIFY(!window->isWindowModified());
    QCOMPARE(window->windowTitle(), "Zelvaro - " + files.filePath(QStringLiteral("kept.vrk")) + "[*]");
    history->undo();
    QVERIFY(window->isWindowModified());
    history->redo();
    QVERIFY(!window->isWindowModified());

    window->openAnswers << files.filePath(QStringLiteral("kept.vrk"));
    window->openFile();
    QVERIFY(!history->canUndo());
    ModalAnswerer answers;
    answers.style = QStringLiteral("Typ 2");
    window->newFile();
    QVERIFY(!history->canUndo());
    QVERIFY(!window->isWindowModified());
}

void TestHistory::shouldOfferTheStepsInTheDataMenu()
{
    QMenu *data = window->menuBar()->actions().at(1)->menu();
    QStringList entries;
    for (QAction *action : data->actions())
        entries << (action->isSeparator() ? QStringLiteral("-") : action->text() + ' ' + action->shortcut().toString());
    QCOMPARE(entries, QStringList({ "N&ew Item ... ", "-", "&Undo " + QKeySequence(QKeySequence::Undo).toString(),
                                    "&Redo " + QKeySequence(QKeySequence::Redo).toString() }));
    whenModalIs<QMessageBox>([](QMessageBox *box) { box->button(QMessageBox::Yes)->click(); });
    window->itemDelete(0);
    QCOMPARE(data->actions().at(2)->text(), QStringLiteral("&Undo Delete Item"));
    QVERIFY(data->actions().at(2)->isEnabled() && !data->actions().at(3)->isEnabled());
}

QTEST_MAIN(TestHistory)
#include "tst_history.moc"
