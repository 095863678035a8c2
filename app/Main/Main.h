// Tfrm_Main: the main window of Nyilvex and the program's start and stop.
//
// main() makes the window, runs startUp() and shows it only when that
// returns true. startUp() reads the settings file (LoadSettings), connects
// the alias "Nyilvex" (Database1) to the database folder, reads the database
// defaults (LoadDatabaseDefaults), runs the login when the database asks for
// one (both rights otherwise), sets the hint colour and the start state of
// the two filter memories, builds the name-day line and applies the start
// sort of every tab (which opens the customer and task queries).
//
// The first show switches the menus to the program menu style, places the
// window (the whole work area when full screen is on, else the saved place
// and size) and shows the splash window. Closing the window offers the
// database archive once it is due (OfferArchiveAtClose), then saves the
// settings and closes the connection.
//
// The window browses four lists, one per tab of the tab strip in the status
// bar: 0 companies (TblCegek, with the company's customers of Qry below),
// 1 customers (Qry), 2 tasks (QryFeladat), 3 products (TblTermek). The tab
// strip's index tells every command which list is current. Other windows
// read the current rows of these data sets and set the tab with
// setTabIndex().
//
// The window is split over a few units: Main.cpp (start, show, close, shell
// open), MainLayout.cpp (actions, menus, tool bars, panels, status bar),
// MainData.cpp (data sets, tab change, quick search, status line, column
// widths), MainGrid.cpp (cell drawing and sort), MainFigy.cpp (reminders and
// the name-day line), MainCommands.cpp (the commands).
#pragma once

#include <QDate>
#include <QMainWindow>
#include <QPixmap>

#include <array>
#include <optional>

class Connection;
class DataSet;
class DBGrid;
class QAction;
class QActionGroup;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QSplitter;
class QTabBar;
class QToolBar;
class QueryDataSet;
class TableDataSet;
struct DBGridCell;
class DetailLink;

class Tfrm_Main : public QMainWindow {
    Q_OBJECT
public:
    explicit Tfrm_Main(QWidget* parent = nullptr);
    ~Tfrm_Main() override;

    // The start-up steps. False when the program is to end without the
    // main window: the database cannot be used (reported) or the login was
    // cancelled.
    bool startUp();

    // Tabs: 0 companies, 1 customers, 2 tasks, 3 products.
    int tabIndex() const;
    void setTabIndex(int index);  // runs the tab change
    DataSet* browseDataSet(int tab) const;
    DBGrid* browseGrid(int tab) const;
    QLineEdit* quickSearchBox(int tab) const;

    void UpdateStatusLine(int tab);
    void ResizeColumns();
    void HideAllPanels();
    // Orders the tab's list by `field` (a grid column's field) and shades
    // that column.
    void SortBy(const QString& field, int tab);

    // The date and today's names, as shown at the right of every title bar.
    const QString& nameDayLine() const { return nameDayLine_; }
    // Text of status bar panel 0 to 4.
    QString statusText(int panel) const;

    // Hands a document, program, web address or "mailto:" link to the
    // desktop, with the program folder as working folder.
    void OpenWithShell(const QString& target);

    Connection* Database1 = nullptr;

    // Browse data sets of the four tabs.
    TableDataSet* TblCegek = nullptr;
    QueryDataSet* Qry = nullptr;
    QueryDataSet* QryFeladat = nullptr;
    TableDataSet* TblTermek = nullptr;
    // The customer and task tables (delete; the editors), with their lookups.
    TableDataSet* Tbl = nullptr;
    TableDataSet* TblXTipus = nullptr;
    TableDataSet* TblXCeg = nullptr;
    TableDataSet* TblXUzletkoto = nullptr;
    TableDataSet* TblXBeo = nullptr;
    TableDataSet* TblFeladat = nullptr;
    TableDataSet* TblYUgyfel = nullptr;
    TableDataSet* TblYCikkszam = nullptr;
    TableDataSet* TblYAllapot = nullptr;
    TableDataSet* TblYPrioritas = nullptr;
    TableDataSet* TblYFeltipus = nullptr;
    TableDataSet* TblYFelEredmeny = nullptr;
    TableDataSet* TblCeg_lnk = nullptr;
    // The newsletter hand-off, the name days, the reminder statements.
    TableDataSet* TblEmil = nullptr;
    QueryDataSet* QryEmil = nullptr;
    QueryDataSet* QryJav = nullptr;
    QueryDataSet* QryUpdFigy = nullptr;

    // Layout.
    QLabel* Image1 = nullptr;
    QToolBar* ToolBarMenu;  // the main menu as a flat tool bar of captions
    QToolBar* ToolBar1;     // the picture buttons under it
    QWidget* pCeg = nullptr;
    QWidget* pUgyfel = nullptr;
    QWidget* pFeladat = nullptr;
    QWidget* pTermek = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QLineEdit* Edit3 = nullptr;
    QLineEdit* Edit4 = nullptr;
    std::array<QLabel*, 4> lblNevnap{};  // the name-day line of tabs 0 to 3
    DBGrid* DBGrid1 = nullptr;
    DBGrid* DBGrid2 = nullptr;
    DBGrid* DBGrid3 = nullptr;
    DBGrid* DBGrid4 = nullptr;
    DBGrid* DBGrid5 = nullptr;
    QSplitter* Splitter1 = nullptr;
    DetailLink* lnkEmil1 = nullptr;
    DetailLink* lnkEmil2 = nullptr;
    DetailLink* lnkHonlap = nullptr;
    QWidget* StatusBar1 = nullptr;
    std::array<QLabel*, 5> StatusPanels{};
    QTabBar* TabSet1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QMenu* PopupMenu2 = nullptr;
    QMenu* PopupMenu3 = nullptr;
    QMenu* PopupMenu4 = nullptr;
    QList<QMenu*> MainMenu1;  // "Rekordok" ... "Súgó"

    // Commands, in the order the window holds them.
    QAction* aUj = nullptr;
    QAction* aSzerkeszt = nullptr;
    QAction* aTorol = nullptr;
    QAction* aNyomtatkep = nullptr;
    QAction* aNyomtat = nullptr;
    QAction* aExcel = nullptr;
    QAction* aBezar = nullptr;
    QAction* aFelhasznalo = nullptr;
    QAction* aSQL = nullptr;
    QAction* aArchiv = nullptr;
    QAction* aBeallit = nullptr;
    QAction* aSugo = nullptr;
    QAction* aFontos = nullptr;
    QAction* aHonlap = nullptr;
    QAction* aLevel = nullptr;
    QAction* aVedazero = nullptr;
    QAction* aNevjegy = nullptr;
    QAction* aFigyelmeztet = nullptr;
    QAction* aZoduvoza = nullptr;
    QAction* aKeres = nullptr;
    QAction* aSzur = nullptr;
    QAction* aTorzsNevnap = nullptr;
    QAction* aTorzsCegek = nullptr;
    QAction* aTorzsTipus = nullptr;
    QAction* aTorzsCimke = nullptr;
    QAction* aCimkeNyom = nullptr;
    QAction* aCsatolt = nullptr;
    QAction* aKeresReszletes = nullptr;
    QAction* aLeveletNeki = nullptr;
    QAction* aUzletkoto = nullptr;
    QAction* aMegjegyzes = nullptr;
    QAction* aNyomEgyszeru = nullptr;
    QAction* aNyomReszletes = nullptr;
    QAction* aNyomCegSzerint = nullptr;
    QAction* aNyomCegSzerint1 = nullptr;
    QAction* aMegjegyzesUj = nullptr;
    QAction* aNyomMegjegyzes = nullptr;
    QAction* aNyomErtesit = nullptr;
    QAction* aUgyfel = nullptr;
    QAction* aFeladat = nullptr;
    QAction* aTermek = nullptr;
    QAction* aTorzsAllapot = nullptr;
    QAction* aTorzsPrioritas = nullptr;
    QAction* aTorzsFeltipus = nullptr;
    QAction* aTorzsFelEredmeny = nullptr;
    QAction* aSzurF = nullptr;
    QAction* aFeladatBongeszo = nullptr;
    QAction* aKulcsszoKeres = nullptr;
    QAction* aKorlevel = nullptr;
    QAction* aCeg = nullptr;
    QAction* aUgrikCeg = nullptr;
    QAction* aErtesit = nullptr;
    QAction* aHtml = nullptr;
    QAction* aBoritek = nullptr;
    QAction* aAjanlott = nullptr;
    QActionGroup* TabActions;  // aUgyfel, aFeladat, aTermek

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Main.cpp
    bool connectDatabase();
    void placeWindow();

    // MainLayout.cpp
    void createActions();
    void createMenus();
    QWidget* createTopBand();
    QWidget* createPanel(int tab);
    QWidget* createDetails(int tab);
    void createStatusBar();

    // MainData.cpp
    void createDataSets();
    void connectDataSets();
    void tabChange(int index);
    void companyMoved();
    void quickSearch(int tab, const QString& text);
    void resizeGridColumns(DBGrid* grid);
    bool refreshOutdated(int tab);
    bool isCommandKey(const QKeyEvent& key) const;

    // MainGrid.cpp
    void setUpGrids();
    void drawCustomerCell(DBGridCell& cell) const;
    void drawTaskCell(DBGridCell& cell) const;
    void drawProductCell(DBGridCell& cell) const;
    void drawCompanyCell(DBGridCell& cell) const;
    void shadeSortedColumn(int tab);

    // MainFigy.cpp
    void aFigyelmeztetExecute();
    void BuildNameDayLine();

    // MainRecords.cpp
    struct Owner {
        int key;
        int kind;  // 0 customer, 1 task, 2 product, 3 company
        QString title;
    };
    void connectRecordCommands();
    // The current row of the active tab as an owner of notes,
    // notifications and documents; none when the list has no row.
    std::optional<Owner> currentOwner();

    // MainPrint.cpp
    void connectPrintCommands();
    QString sortSubtitle(int tab) const;
    void printList(bool print);
    void printDetails();
    void printOwnerReport(void (*report)(int ownerKey, int ownerKind, bool print, QWidget* owner));

    // MainCommands.cpp
    void connectCommands();
    void editRecord(bool isNew);
    void aTorolExecute();
    void aUgrikCegExecute();
    void aLeveletNekiExecute();
    void aZoduvozaExecute();
    void aKeresExecute();
    void aKulcsszoKeresExecute();
    void aSzurExecute();
    void aSzurFExecute();
    void adminCommand(void (Tfrm_Main::*command)());
    void openUsers();
    void openSettings();
    void openEmailLink(int which);
    void archive();
    void DBGrid5DblClick();

    bool created_ = false;  // creation finished: SortBy may move the focus
    // The user's customer filter: the companies tab uses the customer list
    // for the current company's customers, and the customers tab puts this
    // back while "Szűr" is on.
    QString customerFilter_;
    bool shown_ = false;
    QString nameDayLine_;
};

// Reads vanbelep, alapprioritas and alaphatarido of the first beallit row
// through the alias connection into Beall; blank values (or no row) give no
// login and 0. Throws DbError when the table cannot be read.
void LoadDatabaseDefaults();

// Status panel 1 of the customer and task lists: "Szűrt állomány" while
// the list's filter command is on, else "Teljes állomány".
QString FilterStateText(bool filtered);

// The start of a date as the grids show it ("2026. 12. 10."), from a date
// typed whole or in part, with or without blanks ("2026.12.1"); empty when
// the text cannot begin a date.
QString ShownDatePrefix(const QString& typed);

// The name-day line for `date` and today's `names` (", "-joined):
// "2024.február.24 szombat; Mátyás napja   ".
QString NameDayLineText(const QDate& date, const QString& names);
