#ifndef ZELVARO_H
#define ZELVARO_H

#include <QList>
#include <QMainWindow>
#include <QString>

#include "model/tlchartstate.h"
#include "model/tlfileresult.h"

class ChartRenderer;
class QAction;
class QCheckBox;
class QCloseEvent;
class QDockWidget;
class QImage;
class QPrinter;
class QScrollArea;
class QSlider;
class QSpinBox;
class QStringListModel;
class QUndoStack;
class TLDateEdit;
class TLine;
class TLItemModel;
struct TLItem;

// The main window: the chart in a scroll area, the controls that drive it,
// the item table and the row titles, and the commands behind the menus.
class Zelvaro : public QMainWindow
{
    Q_OBJECT

public:
    explicit Zelvaro(QWidget *parent = nullptr);
    ~Zelvaro() override;

    // Opens the document named by the first argument after the program name,
    // chosen by its case-sensitive ending; every other argument is ignored.
    void openCommandLine(const QStringList &arguments);

    void createTimeline(int typ);

    // The document as the steps of its history change it: the items, and
    // the chart's settings, shown in the controls and the chart at once.
    TLItemModel *items() const;
    const TLChartState &currentChartState() const;
    void applyChartState(const TLChartState &state);
    // The rows the chart had before an item was placed below them.
    void restoreRows(int rows);
    TLFileResult loadNative(const QString &path);
    TLFileResult saveNative(const QString &path);
    TLFileResult loadCsv(const QString &path);
    TLFileResult saveCsv(const QString &path);

public slots:
    void newFile();
    void openFile();
    void saveFile();
    void saveFileAs();
    void saveImgFile();
    void print();
    void newItem();
    void itemClicked(int row);
    void itemDelete(int row);
    void changeBackground();
    void showBackgroundMenu();
    void maxPosChanged(int i);
    void updateDisplayFlags();
    void changeTimelineTyp();

protected:
    void closeEvent(QCloseEvent *event) override;
    // The file and print dialogs, apart so that tests can answer them.
    virtual QString askOpenFileName(const QString &caption, const QString &filter);
    virtual QString askSaveFileName(const QString &caption, const QString &filter, QString *selectedFilter);
    virtual QString askImageFileName();
    virtual bool acceptPrinter(QPrinter *printer);

private:
    QAction *createAction(const QString &text, const QString &icon);
    QWidget *createControls();
    QCheckBox *createCheckBox(const QString &text, Qt::CheckState state, QWidget *parent);
    QDockWidget *createDocks();
    void connectControls();
    void connectTimeline();
    void connectChangeTracking();
    void markModified();
    void setModifiedMark(bool modified);
    void changeChartState(const TLChartState &changed, int change, const QString &text);
    void editCell(int row, int column, const QVariant &value, const QString &title);
    void followItemRows(int rows);
    QList<QPair<QCheckBox *, int>> flagBoxes() const;
    QSet<int> checkedFlags() const;
    void readSettings();
    void writeSettings() const;

    // The chart's settings, as the controls edit them.
    void showChartState();
    void startChanged(const QDate &date);
    void endChanged(const QDate &date);
    void dayWidthChanged(int hundredths);
    void rowHeightChanged(int pixels);
    void rowsChanged(int rows);
    void arrowChanged(int position);

    // Document commands
    bool settleUnsavedChanges();
    void commitOpenEdit();
    bool mayReplace(const QString &path, const QString &chosen);
    bool save();
    bool saveAs();
    TLFileResult loadDocument(const QString &path);
    TLFileResult saveDocument(const QString &path);
    QList<TLItem> modelItems() const;
    void setCurrentFile(const QString &path);
    void reportFileResult(const QString &path, const TLFileResult &result);

    // Chart commands
    int askTimelineTyp();

    // Export commands
    bool checkChartSize(const ChartRenderer &renderer, const QString &title);
    static QString writePng(const QImage &image, const QString &path);

    TLine *timeline = nullptr;
    TLItemModel *itemModel = nullptr;
    QDockWidget *tabDock = nullptr;
    QDockWidget *regDock = nullptr;
    TLDateEdit *deStart = nullptr;
    TLDateEdit *deEnd = nullptr;
    QSlider *slWidth = nullptr;
    QSlider *slHeight = nullptr;
    QSpinBox *sMaxPos = nullptr;
    QSlider *slArrow = nullptr;
    QCheckBox *cbMarkEnds = nullptr;
    QCheckBox *cbMarkItems = nullptr;
    QCheckBox *cbMarkDays = nullptr;
    QCheckBox *cbMarkWeeks = nullptr;
    QCheckBox *cbMarkMonths = nullptr;
    QCheckBox *cbMarkYears = nullptr;
    QCheckBox *cbRoundEdges = nullptr;
    QCheckBox *cbItemShadow = nullptr;
    QCheckBox *cbArrowShadow = nullptr;
    // The document's settings; the items are in itemModel.
    TLChartState chartState = TLChartState::initial();
    QAction *newItemAct = nullptr;
    QAction *changeBackgroundAct = nullptr;
    QAction *changeTypAct = nullptr;
    QString fileName;
    QStringListModel *titleModel = nullptr;
    QScrollArea *scrollArea = nullptr;
    QUndoStack *undoStack = nullptr;
};

#endif
