// Tfrm_Korlevel ("Körlevelek"): the form-letter templates of one tab of the
// main window (korlevel.tipus = the tab index), by short title, with a
// search box; new, edit and delete need the reference-data right, and the
// merge runs the chosen template over the tab's list.
#pragma once

#include <QDialog>
#include <QStringList>

class DBGrid;
class DataSet;
class QAction;
class QLineEdit;
class QMenu;
class QToolBar;
class QToolButton;
class TableDataSet;

class Tfrm_Korlevel : public QDialog {
    Q_OBJECT
public:
    // `source` is the main window's list of tab `tab`: its fields are the
    // placeholders offered, its rows get the letters.
    Tfrm_Korlevel(int tab, DataSet* source, QWidget* parent = nullptr);

    TableDataSet* Tbl;  // korlevel, filtered to the tab, by rovid
    QToolBar* ToolBar1;
    QLineEdit* Edit1;
    DBGrid* DBGrid1;
    QMenu* PopupMenu1;
    QMenu* PopupMenu2;  // the merge button's drop-down
    QAction* aUj;
    QAction* aSzerkeszt;
    QAction* aTorol;
    QAction* aKeres;
    QAction* aNyomtat;
    QAction* aEgybeAzEgesz;
    QAction* aBezar;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void aUjExecute();
    void aSzerkesztExecute();
    void aTorolExecute();
    void Edit1Change(const QString& text);

private:
    void runEditor();
    // Merges the current template with the tab's list into the preview.
    void merge(bool newPage);

    int tab_;
    DataSet* source_;
};

// The main window's "Körlevél": the templates of tab `tab` over `source`.
void OpenFormLetters(QWidget* owner, int tab, DataSet* source);
