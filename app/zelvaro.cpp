#include "app/zelvaro.h"

#include "app/cellundocommand.h"
#include "app/chartstateundocommand.h"
#include "model/tlitemmodel.h"
#include "styles/tlstylefactory.h"
#include "view/tline.h"
#include "view/tldateedit.h"
#include "view/tlgeometry.h"
#include "view/tlitemdelegate.h"
#include "view/tlitemtableproxy.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QGridLayout>
#include <QKeySequence>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QStringListModel>
#include <QTableView>
#include <QToolBar>
#include <QUndoStack>

#include <cmath>
#include <vector>

namespace {

const char *const organisation = "Orlevant";
const char *const application = "Zelvaro";
const char *const stateKey = "MainWindowState";
const char *const rectKey = "MainWindowRect";

}

Zelvaro::Zelvaro(QWidget *parent)
    : QMainWindow(parent)
{
    QAction *quitAct = createAction(tr("&Quit"), QStringLiteral(":images/quit.png"));
    connect(quitAct, &QAction::triggered, qApp, &QCoreApplication::quit);
    QAction *newAct = createAction(tr("&New"), QStringLiteral(":images/new.png"));
    connect(newAct, &QAction::triggered, this, &Zelvaro::newFile);
    QAction *openAct = createAction(tr("&Open ..."), QStringLiteral(":images/open.png"));
    connect(openAct, &QAction::triggered, this, &Zelvaro::openFile);
    QAction *saveAct = createAction(tr("&Save ..."), QStringLiteral(":images/save.png"));
    connect(saveAct, &QAction::triggered, this, &Zelvaro::saveFile);
    QAction *saveAsAct = createAction(tr("&Save as..."), QStringLiteral(":images/save.png"));
    connect(saveAsAct, &QAction::triggered, this, &Zelvaro::saveFileAs);
    QAction *saveImgAct = createAction(tr("Save &Image ..."), QStringLiteral(":images/saveimg.png"));
    connect(saveImgAct, &QAction::triggered, this, &Zelvaro::saveImgFile);
    QAction *printAct = createAction(tr("&Print ..."), QStringLiteral(":images/print.png"));
    connect(printAct, &QAction::triggered, this, &Zelvaro::print);
    newItemAct = createAction(tr("N&ew Item ..."), QStringLiteral(":images/nitem.png"));
    connect(newItemAct, &QAction::triggered, this, &Zelvaro::newItem);
    changeBackgroundAct = createAction(tr("change Background ..."), QStringLiteral(":images/cbackground.png"));
    connect(changeBackgroundAct, &QAction::triggered, this, &Zelvaro::changeBackground);
    changeTypAct = createAction(tr("change Typ ..."), QString());
    connect(changeTypAct, &QAction::triggered, this, &Zelvaro::changeTimelineTyp);
    // Every change of the document is a step of its history; the actions
    // name the step they take back or again.
    undoStack = new QUndoStack(this);
    undoStack->setUndoLimit(1000);
    QAction *undoAct = undoStack->createUndoAction(this, tr("&Undo"));
    undoAct->setShortcuts(QKeySequence::Undo);
    QAction *redoAct = undoStack->createRedoAction(this, tr("&Redo"));
    redoAct->setShortcuts(QKeySequence::Redo);

    QMenu *fileMenu = menuBar()->addMenu(tr("&File"));
    fileMenu->addActions({ newAct, openAct, saveAct, saveAsAct, saveImgAct, printAct, quitAct });
    QMenu *dataMenu = menuBar()->addMenu(tr("Da&ta"));
    dataMenu->addAction(newItemAct);
    dataMenu->addSeparator();
    dataMenu->addActions({ undoAct, redoAct });
    QMenu *viewMenu = menuBar()->addMenu(tr("&View"));
    viewMenu->addAction(changeBackgroundAct);
    viewMenu->addAction(changeTypAct);
    viewMenu->addSeparator();

    QToolBar *toolBar = addToolBar(tr("main"));
    toolBar->setObjectName(QStringLiteral("maintoolbar"));
    toolBar->addActions({ newAct, openAct, saveAct, saveImgAct });
    toolBar->addSeparator();
    toolBar->addAction(newItemAct);

    regDock = new QDockWidget(tr("Regler"), this);
    regDock->setObjectName(QStringLiteral("regdock"));
    regDock->setWidget(createControls());
    addDockWidget(Qt::RightDockWidgetArea, regDock);

    scrollArea = new QScrollArea(this);
    setCentralWidget(scrollArea);

    titleModel = new QStringListModel(this);
    itemModel = new TLItemModel(this);
    createTimeline(chartState.style);

    QDockWidget *titleDock = createDocks();
    for (QDockWidget *dock : { tabDock, titleDock, regDock })
        viewMenu->addAction(dock->toggleViewAction());
    viewMenu->addSeparator();
    viewMenu->addAction(toolBar->toggleViewAction());

    connectControls();
    connectChangeTracking();
    readSettings();
    const QString demo = QStringLiteral(":demo.vrk");
    const TLFileResult result = loadNative(demo);
    if (!result)
        qWarning("The demo chart %s could not be read (error %d).", qPrintable(demo), int(result.error()));
    // The demo is ours: closing without touching it asks nothing.
    setModifiedMark(false);
}

Zelvaro::~Zelvaro()
{
    writeSettings();
    // The history clears itself as the widget base deletes it, after this
    // window has ceased to be a Zelvaro: it must no longer reach the mark.
    disconnect(undoStack, nullptr, this, nullptr);
}

QAction *Zelvaro::createAction(const QString &text, const QString &icon)
{
    QAction *action = new QAction(text, this);
    if (!icon.isEmpty())
        action->setIcon(QIcon(icon));
    return action;
}

QWidget *Zelvaro::createControls()
{
    QWidget *panel = new QWidget;
    QGridLayout *grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(1);

    auto addRow = [grid, panel](int row, const QString &text, QWidget *control) {
        QLabel *label = new QLabel(text, panel);
        label->setBuddy(control);
        grid->addWidget(label, row, 0);
        grid->addWidget(control, row, 1);
    };
    auto createSlider = [panel](int minimum, int maximum, int step, int value) {
        QSlider *slider = new QSlider(Qt::Horizontal, panel);
        slider->setRange(minimum, maximum);
        slider->setSingleStep(step);
        slider->setValue(value);
        return slider;
    };

    // A date typed into the range changes the chart once it is complete,
    // not at every digit on the way.
    deStart = new TLDateEdit(panel);
    deStart->setKeyboardTracking(false);
    deStart->setDate(chartState.start);
    addRow(0, tr("start"), deStart);
    deEnd = new TLDateEdit(panel);
    deEnd->setKeyboardTracking(false);
    deEnd->setDate(chartState.end);
    addRow(1, tr("end"), deEnd);
    slWidth = createSlider(10, 10000, 10, TLGeometry::truncate(std::round(chartState.dayWidth * 100)));
    addRow(2, tr("width"), slWidth);
    slHeight = createSlider(10, 400, 5, TLGeometry::truncate(chartState.posHeight));
    addRow(3, tr("height"), slHeight);
    sMaxPos = new QSpinBox(panel);
    sMaxPos->setRange(1, 50);
    sMaxPos->setSingleStep(1);
    sMaxPos->setValue(chartState.maxPos);
    addRow(4, tr("maxpos"), sMaxPos);
    slArrow = createSlider(0, 100, 1, chartState.tPos);
    addRow(5, tr("arrow"), slArrow);

    const auto shown = [this](int flag) { return chartState.displayFlags.contains(flag) ? Qt::Checked : Qt::Unchecked; };
    cbMarkEnds = createCheckBox(tr("Mark Ends"), shown(TLChartState::MarkEnds), panel);
    cbMarkItems = createCheckBox(tr("Mark Items"), shown(TLChartState::MarkItems), panel);
    cbMarkDays = createCheckBox(tr("Mark Days"), shown(TLChartState::MarkDays), panel);
    cbMarkWeeks = createCheckBox(tr("Mark Weeks"), shown(TLChartState::MarkWeeks), panel);
    cbMarkMonths = createCheckBox(tr("Mark Months"), shown(TLChartState::MarkMonths), panel);
    cbMarkYears = createCheckBox(tr("Mark Years"), shown(TLChartState::MarkYears), panel);
    cbRoundEdges = createCheckBox(tr("Round Edges"), shown(TLChartState::RoundEdges), panel);
    cbItemShadow = createCheckBox(tr("Item Shadow"), shown(TLChartState::ItemShadow), panel);
    cbArrowShadow = createCheckBox(tr("Arrow Shadow"), shown(TLChartState::ArrowShadow), panel);
    const QList<QCheckBox *> boxes = { cbMarkEnds, cbMarkItems, cbMarkDays, cbMarkWeeks, cbMarkMonths,
                                       cbMarkYears, cbRoundEdges, cbItemShadow, cbArrowShadow };
    int row = 6;
    for (QCheckBox *box : boxes)
        grid->addWidget(box, row++, 1);

    // Named after their fields, for style sheets and tests.
    const QList<QPair<QWidget *, const char *>> named = {
        { deStart, "deStart" },           { deEnd, "deEnd" },
        { slWidth, "slWidth" },           { slHeight, "slHeight" },
        { sMaxPos, "sMaxPos" },           { slArrow, "slArrow" },
        { cbMarkEnds, "cbMarkEnds" },     { cbMarkItems, "cbMarkItems" },
        { cbMarkDays, "cbMarkDays" },     { cbMarkWeeks, "cbMarkWeeks" },
        { cbMarkMonths, "cbMarkMonths" }, { cbMarkYears, "cbMarkYears" },
        { cbRoundEdges, "cbRoundEdges" }, { cbItemShadow, "cbItemShadow" },
        { cbArrowShadow, "cbArrowShadow" },
    };
    for (const auto &widget : named)
        widget.first->setObjectName(QLatin1String(widget.second));
    return panel;
}

QCheckBox *Zelvaro::createCheckBox(const QString &text, Qt::CheckState state, QWidget *parent)
{
    QCheckBox *box = new QCheckBox(text, parent);
    box->setCheckState(state);
    return box;
}

QDockWidget *Zelvaro::createDocks()
{
    QTableView *table = new QTableView;
    auto *tableModel = new TLItemTableProxy(table);
    tableModel->setSourceModel(itemModel);
    connect(tableModel, &TLItemTableProxy::cellEditRequested, this,
            [this, tableModel](int row, int column, const QVariant &value) {
                editCell(row, column, value, tableModel->headerData(column, Qt::Horizontal).toString());
            });
    table->setModel(tableModel);
    table->setEditTriggers(QAbstractItemView::AllEditTriggers);
    TLItemDelegate::applyTo(table);
    tabDock = new QDockWidget(tr("data"), this);
    tabDock->setObjectName(QStringLiteral("tabdock"));
    tabDock->setWidget(table);
    addDockWidget(Qt::BottomDockWidgetArea, tabDock);

    QListView *titles = new QListView;
    titles->setModel(titleModel);
    titles->setAlternatingRowColors(true);
    QDockWidget *titleDock = new QDockWidget(tr("Titels"), this);
    titleDock->setObjectName(QStringLiteral("titledock"));
    titleDock->setWidget(titles);
    addDockWidget(Qt::LeftDockWidgetArea, titleDock);
    return titleDock;
}

void Zelvaro::connectControls()
{
    connect(deStart, &TLDateEdit::dateChanged, this, &Zelvaro::startChanged);
    connect(deEnd, &TLDateEdit::dateChanged, this, &Zelvaro::endChanged);
    connect(slWidth, &QSlider::valueChanged, this, &Zelvaro::dayWidthChanged);
    connect(slHeight, &QSlider::valueChanged, this, &Zelvaro::rowHeightChanged);
    connect(sMaxPos, &QSpinBox::valueChanged, this, &Zelvaro::maxPosChanged);
    connect(sMaxPos, &QSpinBox::valueChanged, this, &Zelvaro::rowsChanged);
    connect(slArrow, &QSlider::valueChanged, this, &Zelvaro::arrowChanged);
    for (QCheckBox *box : { cbMarkEnds, cbMarkItems, cbRoundEdges, cbItemShadow, cbArrowShadow, cbMarkDays,
                            cbMarkWeeks, cbMarkMonths, cbMarkYears })
        connect(box, &QCheckBox::stateChanged, this, &Zelvaro::updateDisplayFlags);
    connect(itemModel, &TLItemModel::maxposChanged, this, &Zelvaro::followItemRows);
}

// The connections of the chart widget: remade for every new widget, and
// gone with the old one when it is deleted.
void Zelvaro::connectTimeline()
{
    connect(deStart, &TLDateEdit::dateChanged, timeline, &TLine::setStart);
    connect(deEnd, &TLDateEdit::dateChanged, timeline, &TLine::setEnd);
    connect(slWidth, &QSlider::valueChanged, timeline, qOverload<int>(&TLine::setDayWidth));
    connect(slHeight, &QSlider::valueChanged, timeline, qOverload<int>(&TLine::setPosHeight));
    connect(sMaxPos, &QSpinBox::valueChanged, timeline, &TLine::setMaxPos);
    connect(slArrow, &QSlider::valueChanged, timeline, &TLine::setTPos);
    connect(timeline, &TLine::itemClicked, this, &Zelvaro::itemClicked);
    connect(timeline, &TLine::itemDelete, this, &Zelvaro::itemDelete);
    connect(timeline, &TLine::backgroundClicked, this, &Zelvaro::showBackgroundMenu);
}

// The document is changed as its history leaves the step it was saved at;
// a change of the items made past the history marks it too.
void Zelvaro::connectChangeTracking()
{
    connect(itemModel, &QAbstractItemModel::dataChanged, this, &Zelvaro::markModified);
    connect(itemModel, &QAbstractItemModel::rowsInserted, this, &Zelvaro::markModified);
    connect(itemModel, &QAbstractItemModel::rowsRemoved, this, &Zelvaro::markModified);
    connect(itemModel, &QAbstractItemModel::modelReset, this, &Zelvaro::markModified);
    connect(undoStack, &QUndoStack::indexChanged, this, [this] { setModifiedMark(!undoStack->isClean()); });
}

void Zelvaro::markModified()
{
    setModifiedMark(true);
}

// Without a "[*]" in the title, which a window without a file has not,
// setWindowModified would warn; the flag isWindowModified() reads is set
// all the same.
void Zelvaro::setModifiedMark(bool modified)
{
    if (windowTitle().contains(QLatin1String("[*]")))
        setWindowModified(modified);
    else
        setAttribute(Qt::WA_WindowModified, modified);
}

TLItemModel *Zelvaro::items() const
{
    return itemModel;
}

const TLChartState &Zelvaro::currentChartState() const
{
    return chartState;
}

// The settings in the controls and on the chart, the chart made anew in
// another style.
void Zelvaro::applyChartState(const TLChartState &state)
{
    const bool restyled = state.style != chartState.style;
    chartState = state;
    if (restyled)
        createTimeline(chartState.style);
    else
        timeline->setState(chartState);
    showChartState();
}

void Zelvaro::restoreRows(int rows)
{
    if (rows == chartState.maxPos)
        return;
    TLChartState restored = chartState;
    restored.maxPos = rows;
    applyChartState(restored);
}

void Zelvaro::changeChartState(const TLChartState &changed, int change, const QString &text)
{
    if (changed != chartState)
        undoStack->push(new ChartStateUndoCommand(this, changed, ChartStateUndoCommand::Change(change), text));
}

void Zelvaro::editCell(int row, int column, const QVariant &value, const QString &title)
{
    undoStack->push(new CellUndoCommand(this, row, column, value, tr("Edit %1").arg(title)));
}

void Zelvaro::closeEvent(QCloseEvent *event)
{
    if (settleUnsavedChanges())
        event->accept();
    else
        event->ignore();
}

// A new chart widget of the style, showing the chart's settings.
void Zelvaro::createTimeline(int typ)
{
    delete timeline;
    chartState.style = TLStyleFactory::isStyle(typ) ? typ : 1;
    timeline = TLStyleFactory::create(chartState.style, scrollArea);
    timeline->setModel(itemModel);
    timeline->setState(chartState);
    scrollArea->setWidget(timeline);
    connectTimeline();
}

// Items placed below the last row get rows down to theirs; the rows the
// chart has are never taken away by an item.
void Zelvaro::followItemRows(int rows)
{
    if (rows <= chartState.maxPos)
        return;
    chartState.maxPos = rows;
    timeline->setMaxPos(rows);
    showChartState();
    markModified();
}

void Zelvaro::maxPosChanged(int i)
{
    const int n = titleModel->rowCount();
    if (n < i) {
        titleModel->insertRows(n, i - n);
        titleModel->setData(titleModel->index(titleModel->rowCount() - 1, 0), tr("*Neu*"), Qt::EditRole);
    } else if (n > i) {
        titleModel->removeRows(i, n - i);
    }
}

// The display switches with their flag numbers, in the order in which the
// flags are collected and set.
QList<QPair<QCheckBox *, int>> Zelvaro::flagBoxes() const
{
    return {
        { cbMarkItems, TLChartState::MarkItems },     { cbMarkEnds, TLChartState::MarkEnds },
        { cbRoundEdges, TLChartState::RoundEdges },   { cbItemShadow, TLChartState::ItemShadow },
        { cbArrowShadow, TLChartState::ArrowShadow }, { cbMarkDays, TLChartState::MarkDays },
        { cbMarkWeeks, TLChartState::MarkWeeks },     { cbMarkMonths, TLChartState::MarkMonths },
        { cbMarkYears, TLChartState::MarkYears },
    };
}

QSet<int> Zelvaro::checkedFlags() const
{
    QSet<int> flags;
    for (const auto &box : flagBoxes()) {
        if (box.first->isChecked())
            flags.insert(box.second);
    }
    return flags;
}

// The switches decide every flag they show; flags no switch shows, which a
// document from elsewhere may hold, are kept.
void Zelvaro::updateDisplayFlags()
{
    QSet<int> shown;
    for (const auto &box : flagBoxes())
        shown.insert(box.second);
    TLChartState changed = chartState;
    changed.displayFlags = (chartState.displayFlags - shown) | checkedFlags();
    changeChartState(changed, ChartStateUndoCommand::Other, tr("Change Display Switches"));
}

// Shows the chart's settings in the controls. Their own signals stay
// quiet, so that showing a document changes nothing in it; the chart gets
// the settings whole when it is made.
void Zelvaro::showChartState()
{
    {
        std::vector<QSignalBlocker> quiet;
        for (QWidget *control : std::initializer_list<QWidget *> { deStart, deEnd, slWidth, slHeight, sMaxPos, slArrow })
            quiet.emplace_back(control);
        for (const auto &box : flagBoxes())
            quiet.emplace_back(box.first);
        deStart->setDate(chartState.start);
        deEnd->setDate(chartState.end);
        // The nearest hundredth, so that a width set with the slider comes
        // back to the same slider value.
        slWidth->setValue(TLGeometry::truncate(std::round(chartState.dayWidth * 100)));
        slHeight->setValue(TLGeometry::truncate(chartState.posHeight));
        sMaxPos->setValue(chartState.maxPos);
        slArrow->setValue(chartState.tPos);
        for (const auto &box : flagBoxes())
            box.first->setCheckState(chartState.displayFlags.contains(box.second) ? Qt::Checked : Qt::Unchecked);
    }
    maxPosChanged(chartState.maxPos);
}

void Zelvaro::startChanged(const QDate &date)
{
    TLChartState changed = chartState;
    changed.start = date;
    changeChartState(changed, ChartStateUndoCommand::Start, tr("Change Start"));
}

void Zelvaro::endChanged(const QDate &date)
{
    TLChartState changed = chartState;
    changed.end = date;
    changeChartState(changed, ChartStateUndoCommand::End, tr("Change End"));
}

void Zelvaro::dayWidthChanged(int hundredths)
{
    TLChartState changed = chartState;
    changed.dayWidth = hundredths / 100.0;
    changeChartState(changed, ChartStateUndoCommand::DayWidth, tr("Change Width"));
}

void Zelvaro::rowHeightChanged(int pixels)
{
    TLChartState changed = chartState;
    changed.posHeight = pixels;
    changeChartState(changed, ChartStateUndoCommand::RowHeight, tr("Change Height"));
}

void Zelvaro::rowsChanged(int rows)
{
    TLChartState changed = chartState;
    changed.maxPos = rows;
    changeChartState(changed, ChartStateUndoCommand::Rows, tr("Change Rows"));
}

void Zelvaro::arrowChanged(int position)
{
    TLChartState changed = chartState;
    changed.tPos = position;
    changeChartState(changed, ChartStateUndoCommand::Arrow, tr("Change Arrow"));
}

void Zelvaro::readSettings()
{
    QSettings settings { QLatin1String(organisation), QLatin1String(application) };
    restoreState(settings.value(QLatin1String(stateKey), QVariant()).toByteArray(), 0);
    QSize size = settings.value(QLatin1String(rectKey), QRect(10, 10, 800, 500)).toRect().size();
    // A size stored on a larger screen, or made up, still fits this one.
    if (const QScreen *shown = screen())
        size = size.boundedTo(shown->availableGeometry().size());
    resize(size);
}

void Zelvaro::writeSettings() const
{
    QSettings settings { QLatin1String(organisation), QLatin1String(application) };
    settings.setValue(QLatin1String(stateKey), saveState(0));
    settings.setValue(QLatin1String(rectKey), rect());
}
