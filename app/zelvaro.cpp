#include "app/zelvaro.h"

#include "model/tlitemmodel.h"
#include "styles/tline1.h"
#include "styles/tline2.h"
#include "styles/tline3.h"
#include "view/tlitemdelegate.h"
#include "view/tlitemtableproxy.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateEdit>
#include <QDockWidget>
#include <QGridLayout>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QSettings>
#include <QSlider>
#include <QSpinBox>
#include <QStringListModel>
#include <QTableView>
#include <QToolBar>

namespace {

const char *const organisation = "Orlevant";
const char *const application = "Zelvaro";
const char *const stateKey = "MainWindowState";
const char *const rectKey = "MainWindowRect";

}

Zelvaro::Zelvaro(QWidget *parent)
    : QMainWindow(parent)
    , bgColors({ Qt::white, Qt::white, Qt::blue })
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

    QMenu *fileMenu = menuBar()->addMenu(tr("&File"));
    fileMenu->addActions({ newAct, openAct, saveAct, saveAsAct, saveImgAct, printAct, quitAct });
    QMenu *dataMenu = menuBar()->addMenu(tr("Da&ta"));
    dataMenu->addAction(newItemAct);
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
    timeline = new TLine1(scrollArea);
    scrollArea->setWidget(timeline);
    setCentralWidget(scrollArea);

    titleModel = new QStringListModel(this);
    itemModel = new TLItemModel(this);

    timeline->setModel(itemModel);
    timeline->setDayWidth(20);
    timeline->setBgColors(bgColors);
    timeline->setBgMode(bgMode);

    QDockWidget *titleDock = createDocks();
    for (QDockWidget *dock : { tabDock, titleDock, regDock })
        viewMenu->addAction(dock->toggleViewAction());
    viewMenu->addSeparator();
    viewMenu->addAction(toolBar->toggleViewAction());

    connectControls();
    connectChangeTracking();
    readSettings();
    updateDisplayFlags();
    const QString demo = QStringLiteral(":demo.vrk");
    const TLFileResult result = loadNative(demo);
    if (!result)
        qWarning("The demo chart %s could not be read (error %d).", qPrintable(demo), int(result.error()));
    // The demo is ours: closing without touching it asks nothing.
    setWindowModified(false);
}

Zelvaro::~Zelvaro()
{
    writeSettings();
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

    deStart = new QDateEdit(panel);
    deStart->setDate(QDate::currentDate());
    addRow(0, tr("start"), deStart);
    deEnd = new QDateEdit(panel);
    deEnd->setDate(QDate::currentDate().addDays(35));
    addRow(1, tr("end"), deEnd);
    slWidth = createSlider(10, 10000, 10, 2000);
    addRow(2, tr("width"), slWidth);
    slHeight = createSlider(10, 400, 5, 100);
    addRow(3, tr("height"), slHeight);
    sMaxPos = new QSpinBox(panel);
    sMaxPos->setRange(1, 50);
    sMaxPos->setSingleStep(1);
    sMaxPos->setValue(2);
    addRow(4, tr("maxpos"), sMaxPos);
    slArrow = createSlider(0, 100, 1, 2);
    addRow(5, tr("arrow"), slArrow);

    cbMarkEnds = createCheckBox(tr("Mark Ends"), Qt::Unchecked, panel);
    cbMarkItems = createCheckBox(tr("Mark Items"), Qt::Unchecked, panel);
    cbMarkDays = createCheckBox(tr("Mark Days"), Qt::Checked, panel);
    cbMarkWeeks = createCheckBox(tr("Mark Weeks"), Qt::Checked, panel);
    cbMarkMonths = createCheckBox(tr("Mark Months"), Qt::Checked, panel);
    cbMarkYears = createCheckBox(tr("Mark Years"), Qt::Checked, panel);
    cbRoundEdges = createCheckBox(tr("Round Edges"), Qt::Unchecked, panel);
    cbItemShadow = createCheckBox(tr("Item Shadow"), Qt::Checked, panel);
    cbArrowShadow = createCheckBox(tr("Arrow Shadow"), Qt::Checked, panel);
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
    connectTimeline();
    connect(sMaxPos, &QSpinBox::valueChanged, this, &Zelvaro::maxPosChanged);
    for (QCheckBox *box : { cbMarkEnds, cbMarkItems, cbRoundEdges, cbItemShadow, cbArrowShadow, cbMarkDays,
                            cbMarkWeeks, cbMarkMonths, cbMarkYears })
        connect(box, &QCheckBox::stateChanged, this, &Zelvaro::updateDisplayFlags);
    connect(itemModel, &TLItemModel::maxposChanged, this, &Zelvaro::followItemRows);
}

// The connections of the chart widget: remade for every new widget, and
// gone with the old one when it is deleted.
void Zelvaro::connectTimeline()
{
    connect(deStart, &QDateEdit::dateChanged, timeline, &TLine::setStart);
    connect(deEnd, &QDateEdit::dateChanged, timeline, &TLine::setEnd);
    connect(slWidth, &QSlider::valueChanged, timeline, qOverload<int>(&TLine::setDayWidth));
    connect(slHeight, &QSlider::valueChanged, timeline, qOverload<int>(&TLine::setPosHeight));
    connect(sMaxPos, &QSpinBox::valueChanged, timeline, &TLine::setMaxPos);
    connect(slArrow, &QSlider::valueChanged, timeline, &TLine::setTPos);
    connect(timeline, &TLine::itemClicked, this, &Zelvaro::itemClicked);
    connect(timeline, &TLine::itemDelete, this, &Zelvaro::itemDelete);
    connect(timeline, &TLine::backgroundClicked, this, &Zelvaro::showBackgroundMenu);
}

// Every change a user can make to the document marks it changed: items,
// view controls and display switches. The background and style commands
// mark it themselves.
void Zelvaro::connectChangeTracking()
{
    connect(itemModel, &QAbstractItemModel::dataChanged, this, &Zelvaro::markModified);
    connect(itemModel, &QAbstractItemModel::rowsInserted, this, &Zelvaro::markModified);
    connect(itemModel, &QAbstractItemModel::rowsRemoved, this, &Zelvaro::markModified);
    connect(itemModel, &QAbstractItemModel::modelReset, this, &Zelvaro::markModified);
    connect(deStart, &QDateEdit::dateChanged, this, &Zelvaro::markModified);
    connect(deEnd, &QDateEdit::dateChanged, this, &Zelvaro::markModified);
    for (QSlider *slider : { slWidth, slHeight, slArrow })
        connect(slider, &QSlider::valueChanged, this, &Zelvaro::markModified);
    connect(sMaxPos, &QSpinBox::valueChanged, this, &Zelvaro::markModified);
    for (const auto &box : flagBoxes())
        connect(box.first, &QCheckBox::stateChanged, this, &Zelvaro::markModified);
}

// Sets the flag isWindowModified() reads. setWindowModified(true) would warn
// on every change, since the title holds no "[*]" placeholder and most
// platforms have no modified mark of their own.
void Zelvaro::markModified()
{
    setAttribute(Qt::WA_WindowModified);
}

void Zelvaro::closeEvent(QCloseEvent *event)
{
    if (settleUnsavedChanges())
        event->accept();
    else
        event->ignore();
}

void Zelvaro::createTimeline(int typ)
{
    delete timeline;
    timelineTyp = typ;
    switch (typ) {
    case 2:
        timeline = new TLine2(scrollArea);
        break;
    case 3:
        timeline = new TLine3(scrollArea);
        break;
    default:
        timelineTyp = 1;
        timeline = new TLine1(scrollArea);
        break;
    }
    timeline->setModel(itemModel);
    scrollArea->setWidget(timeline);
    connectTimeline();
}

void Zelvaro::followItemRows(int rows)
{
    if (loading && rows <= sMaxPos->value())
        return;
    sMaxPos->setValue(rows);
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
        { cbMarkItems, TLine::MarkItems },     { cbMarkEnds, TLine::MarkEnds },
        { cbRoundEdges, TLine::RoundEdges },   { cbItemShadow, TLine::ItemShadow },
        { cbArrowShadow, TLine::ArrowShadow }, { cbMarkDays, TLine::MarkDays },
        { cbMarkWeeks, TLine::MarkWeeks },     { cbMarkMonths, TLine::MarkMonths },
        { cbMarkYears, TLine::MarkYears },
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

void Zelvaro::setCheckedFlags(const QSet<int> &flags)
{
    for (const auto &box : flagBoxes())
        box.first->setCheckState(flags.contains(box.second) ? Qt::Checked : Qt::Unchecked);
}

void Zelvaro::updateDisplayFlags()
{
    timeline->setDisplayFlags(checkedFlags());
}

void Zelvaro::readSettings()
{
    QSettings settings { QLatin1String(organisation), QLatin1String(application) };
    restoreState(settings.value(QLatin1String(stateKey), QVariant()).toByteArray(), 0);
    const QRect rect = settings.value(QLatin1String(rectKey), QRect(10, 10, 800, 500)).toRect();
    resize(rect.size());
}

void Zelvaro::writeSettings() const
{
    QSettings settings { QLatin1String(organisation), QLatin1String(application) };
    settings.setValue(QLatin1String(stateKey), saveState(0));
    settings.setValue(QLatin1String(rectKey), rect());
}
