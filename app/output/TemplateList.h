// TemplateListWindow: what the lists of the output templates share, the
// label layouts (Tfrm_TorzsCimke) and the form letters (Tfrm_Korlevel). A
// table data set `Tbl`, a read-only grid with its pop-up menu, a text-only
// tool bar, and the commands "Új sor", "Szerkeszt", a delete and "Bezár".
// Adding, changing and deleting need the reference-data right. The table
// opens when the window is shown, with the grid focused.
//
// A concrete window adds its own commands and grid columns, fills the tool
// bar and the pop-up menu, and runs its edit window over `Tbl`.
#pragma once

#include <QDialog>

class DBGrid;
class QAction;
class QMenu;
class QToolBar;
class QVBoxLayout;
class TableDataSet;

class TemplateListWindow : public QDialog {
    Q_OBJECT
public:
    TableDataSet* Tbl;
    DBGrid* DBGrid1;
    QToolBar* ToolBar1;
    QMenu* PopupMenu1;
    QAction* aUj;
    QAction* aSzerkeszt;
    QAction* aTorol;
    QAction* aBezar;

protected:
    // `deleteCaption` is the delete command's text; its hint is "Sor törlése".
    TemplateListWindow(const char* formName, const QString& caption, const QString& table,
                       const QString& deleteCaption, const QSize& size, QWidget* parent);

    // The window's column: the tool bar, then the grid.
    QVBoxLayout* column() const { return column_; }

    // Runs the edit window over the row that Tbl appends or edits.
    virtual void runEditor() = 0;
    // Sets what the window fixes in a row it appends; nothing by default.
    virtual void fillNewRow() {}

    void showEvent(QShowEvent* event) override;

protected slots:
    void aUjExecute();
    void aSzerkesztExecute();
    void aTorolExecute();

private:
    bool mayChange();

    QVBoxLayout* column_;
};
