// Tfrm_FeladatBongeszo ("Feladatok"): the tasks of one customer or of one
// product, at first only those still in progress ("Csak folyamatban", F3
// switches), with the heading the main window gives. "Kiválaszt" (Enter)
// chooses the current task for the main window to show.
#pragma once

#include <QDialog>

class DBGrid;
class QAction;
class QLabel;
class QMenu;
class QToolBar;
class QueryDataSet;
class Tfrm_Main;

// The browser's filter: the owner's tasks, only unfinished ones when
// `inProgressOnly`.
QString TaskBrowserFilter(bool byCustomer, int ownerId, bool inProgressOnly);

class Tfrm_FeladatBongeszo : public QDialog {
    Q_OBJECT
public:
    Tfrm_FeladatBongeszo(bool byCustomer, int ownerId, const QString& heading, QWidget* parent = nullptr);
    ~Tfrm_FeladatBongeszo() override;

    QueryDataSet* Qry;
    QLabel* Panel1;  // the heading
    DBGrid* DBGrid1;
    QToolBar* ToolBar1;
    QMenu* PopupMenu1;  // of the grid
    QMenu* PopupMenu2;  // the "Nyomtat" button's drop-down
    QAction* aSzur;
    QAction* aNyomtat;
    QAction* aNyomtatKep;
    QAction* aExcel;
    QAction* aHtml;
    QAction* aElfogad;
    QAction* aMegsem;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void applyFilter();

    bool byCustomer_;
    int ownerId_;
};

// Shows the browser modally. The chosen task's key (0 when the list was
// empty), or -1 when the user closed it without choosing.
int BrowseTasks(bool byCustomer, int ownerId, const QString& heading, QWidget* owner);

// The main window's "Feladatok": the current customer's tasks on the
// customers tab, the current product's on the products tab (nothing on the
// other tabs); a chosen task is shown on the tasks tab, where its list lets it.
void RunTaskBrowser(Tfrm_Main* main);
