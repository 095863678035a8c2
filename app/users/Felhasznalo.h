// Tfrm_Felhasznalo ("Felhasználók adatai"): the list of users, for
// administrators: new, edit and delete through Tfrm_FelhasznaloSzerkeszt.
#pragma once

#include <QDialog>

class DBGrid;
class QAction;
class QMenu;
class QToolBar;
class TableDataSet;

class Tfrm_Felhasznalo : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm_Felhasznalo(QWidget* parent = nullptr);

    TableDataSet* Tbl;  // felhasznalo, in key order
    DBGrid* DBGrid1;
    QToolBar* ToolBar1;
    QMenu* PopupMenu1;
    QAction* aUj;
    QAction* aSzerkeszt;
    QAction* aTorol;
    QAction* aBezar;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private slots:
    void aUjExecute();
    void aSzerkesztExecute();
    void aTorolExecute();

private:
    void runEditor();
};

// Opens the users window modally (the administrator's "Felhasználók").
void ShowUsers(QWidget* owner);
