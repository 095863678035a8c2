// Tfrm_TorzsCimke ("Címkék"): the label layouts (table cimke), to keep and,
// in pick mode, to choose the one labels are printed with. New, edit and
// delete need the reference-data right; choosing does not.
#pragma once

#include <QDialog>

#include "LabelSheet.h"
#include "rptCimke.h"

class DBGrid;
class QAction;
class QMenu;
class QToolBar;
class TableDataSet;

class Tfrm_TorzsCimke : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm_TorzsCimke(QWidget* parent = nullptr);

    // Pick mode: "Elfogad" is offered and a double-click accepts.
    void setPickMode(bool on);
    bool pickMode() const { return pick_; }

    TableDataSet* Tbl;  // cimke, by name
    DBGrid* DBGrid1;
    QToolBar* ToolBar1;
    QMenu* PopupMenu1;
    QAction* aUj;
    QAction* aSzerkeszt;
    QAction* aTorol;
    QAction* aElfogad;
    QAction* aBezar;

protected:
    void showEvent(QShowEvent* event) override;

private slots:
    void aUjExecute();
    void aSzerkesztExecute();
    void aTorolExecute();
    void aElfogadExecute();

private:
    void runEditor();

    bool pick_ = false;
};

// Opens the layout list on the layout named `name` (letter case ignored).
// In pick mode returns the accepted layout; otherwise, or when the window
// was closed without accepting, a layout with an empty name.
LabelLayout PickLabelLayout(QWidget* owner, const QString& name, bool pick);
