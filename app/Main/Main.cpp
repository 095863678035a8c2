#include "Main.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTabBar>
#include <QToolTip>
#include <QVBoxLayout>

#include "Beall.h"
#include "DatabaseFolder.h"
#include "app/archive/Archiv.h"
#include "app/dialogs/Logo.h"
#include "app/users/Login.h"
#include "common/Convert.h"
#include "common/DataSet.h"
#include "common/Interaction.h"
#include "common/Messages.h"
#include "common/Settings.h"
#include "widgets/MenuStyle.h"
#include "widgets/WindowConventions.h"

void LoadDatabaseDefaults()
{
    TableDataSet tbl(Connection::byName(DatabaseAlias));
    tbl.setTableName("beallit.DB");
    tbl.open();
    tbl.first();
    const bool hasRow = !tbl.isEmpty();
    Beall.loginRequired = hasRow && tbl.fieldByName("vanbelep")->asString() == "I";
    Beall.defaultPriority = hasRow ? VarToInt(tbl.fieldByName("alapprioritas")->value(), 0) : 0;
    Beall.defaultDeadline = hasRow ? VarToInt(tbl.fieldByName("alaphatarido")->value(), 0) : 0;
    tbl.close();
}

Tfrm_Main::Tfrm_Main(QWidget* parent) : QMainWindow(parent)
{
    setObjectName("frm_Main");
    setWindowTitle("Nyilvex");
    KeepOwnPlacement(this);
    QFont f("Tahoma");
    f.setPointSize(8);
    setFont(f);
    Database1 = new Connection(DatabaseAlias, this);
    createDataSets();
    createActions();
    createMenus();
    createStatusBar();

    auto* client = new QWidget(this);
    auto* panels = new QGridLayout;
    panels->setContentsMargins(0, 0, 0, 0);
    pCeg = createPanel(0);
    pUgyfel = createPanel(1);
    pFeladat = createPanel(2);
    pTermek = createPanel(3);
    for (QWidget* p : {pCeg, pUgyfel, pFeladat, pTermek}) panels->addWidget(p, 0, 0);
    auto* column = new QVBoxLayout(client);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(createTopBand());
    column->addLayout(panels, 1);
    column->addWidget(StatusBar1);
    setCentralWidget(client);
    setUpGrids();
    connectDataSets();
    connectCommands();
    connectRecordCommands();
    HideAllPanels();
}

Tfrm_Main::~Tfrm_Main() = default;

bool Tfrm_Main::connectDatabase()
{
    try {
        if (Database1->isConnected()) Database1->close();
        Database1->setParams({"PATH=" + Beall.databaseFolder, "DEFAULT DRIVER=PARADOX",
                              "ENABLE BCD=FALSE"});
        Database1->open();
        LoadDatabaseDefaults();
    } catch (const DbError& e) {
        ShowError(e.message(), this);
        return false;
    }
    return true;
}

bool Tfrm_Main::startUp()
{
    LoadSettings();
    while (!connectDatabase())
        if (!MendDatabaseFolder(this)) return false;

    // The task list starts with the unfinished tasks only ("Csak még nem kész").
    Beall.taskFilter = FilterMemory{};
    Beall.taskFilter.ticks[4] = true;
    aSzurF->setChecked(true);

    if (Beall.loginRequired) {
        if (!RunLogin(this)) return false;
    } else {
        Beall.referenceRight = true;
        Beall.adminRight = true;
    }

    QPalette hint = QToolTip::palette();
    hint.setColor(QPalette::ToolTipBase, ColorFromBGR(0xB5DAFF));
    hint.setColor(QPalette::ToolTipText, Qt::black);
    QToolTip::setPalette(hint);

    Beall.customerFilter = FilterMemory{};
    Beall.customerFilter.ids[0] = -1;
    Beall.customerFilter.ids[1] = -1;

    try {
        BuildNameDayLine();
        for (QLabel* l : lblNevnap) l->setText(nameDayLine_);
        // The tab strip stands on the customers until the window is shown.
        TabSet1->blockSignals(true);
        TabSet1->setCurrentIndex(1);
        TabSet1->blockSignals(false);
        for (int tab : {0, 2, 1, 3}) SortBy(Beall.sortFields[size_t(tab)], tab);
    } catch (const DbError& e) {
        ShowError(e.message(), this);
        return false;
    }
    created_ = true;
    return true;
}

void Tfrm_Main::placeWindow()
{
    if (Beall.fullScreen) {
        const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
        const QRect area = screen->availableGeometry();
        const QSize frame = frameGeometry().size() - size();
        move(0, 0);
        resize(area.right() + 1 - frame.width(), area.bottom() + 1 - frame.height());
    } else {
        const QSize frame = frameGeometry().size() - size();
        move(Beall.left, Beall.top);
        resize(Beall.width - frame.width(), Beall.height - frame.height());
    }
}

void Tfrm_Main::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (shown_) return;
    shown_ = true;
    SetMenuStyle(this);
    placeWindow();
    // The keyboard comes to the main window even where nothing hands it
    // over (the login window has closed; no window manager activates the
    // new window): otherwise the command keys would be typed as text.
    activateWindow();
    Edit1->setFocus();
    setTabIndex(0);
    (new Tfrm_Logo(this))->show();
}

void Tfrm_Main::closeEvent(QCloseEvent* event)
{
    OfferArchiveAtClose(this);
    const QRect frame = frameGeometry();
    Beall.left = frame.left();
    Beall.top = frame.top();
    Beall.height = frame.height();
    Beall.width = frame.width();
    SaveSettings();
    Database1->close();
    event->accept();
}

void Tfrm_Main::OpenWithShell(const QString& target)
{
    // Where the desktop has no message of its own for a target it cannot
    // open, the user is told here, so that a missing program is not silence.
    if (target.isEmpty()) return;  // a blank address names nothing to open
    if (!interaction().openWithShell(target, ProgramFolder()))
        ShowError("Nem sikerült megnyitni: " + target, this);
}
