// ListWindow: what the list windows of the records share. A table data set
// `Tbl` over one table in one order, read straight from the table; a
// read-only grid; where the list has one, a search bar (the search box at
// the left, the list's title in bold at the right) whose every change moves
// to the first row whose search column starts with the text, letter case
// ignored (no match: the row stays); the pick-mode flag with its accept
// command; and the modal run that stands on a key and tells which row was
// chosen.
//
// A concrete window passes its Setup, makes its own commands and then calls
// finishBars() with its tool bar and pop-up menu in order.
#pragma once

#include <QDialog>
#include <QList>
#include <QString>

#include <optional>

class DBGrid;
class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QToolBar;
class TableDataSet;

class ListWindow : public QDialog {
    Q_OBJECT
public:
    struct Setup {
        QString formName;     // "frm_TorzsTipus": object name and position store
        QString caption;
        QString table;        // "tipus.DB"
        QString keyField;     // empty: the rows have no single key column
        QString order;        // index field names; empty: the primary key
        QString searchField;  // empty: no search bar
        QString searchTitle;  // bold title of the search bar
        bool emptySearchStays = false;  // erasing the text leaves the row where it is
        // The order is a case-insensitive index on the search column, so a
        // search halves the rows instead of reading them all (long lists).
        bool searchByHalving = false;
        bool pick = false;
        QString acceptCaption = QStringLiteral("Elfogad");
        QString closeCaption = QStringLiteral("Bezár");
        QString searchCaption = QStringLiteral("Kereső");
        QSize size{420, 360};
    };

    TableDataSet* Tbl;
    DBGrid* DBGrid1;
    QLineEdit* Edit1 = nullptr;   // the search box, where the list has one
    QLabel* lblCim = nullptr;     // the search bar's title
    QToolBar* ToolBar1;
    QMenu* PopupMenu1;
    QAction* aKeres = nullptr;    // where the list has a search box
    QAction* aElfogad;
    QAction* aBezar;

    bool pickMode() const { return pick_; }

    // Opens Tbl, stands on the row whose key is `key` (the first row when
    // none is), runs the window modally. True when it closed with OK; Tbl
    // then stands on the chosen row and stays open until the window goes.
    bool run(int key);
    // The current row's key; an empty list gives 0.
    int currentKey() const;
    // run(key), then the chosen row's key, or -1.
    int choose(int key);
    // As choose(key); a choice also gives `field` of the chosen row as text
    // in `text` (empty when blank or when the list is empty).
    int choose(int key, const QString& field, QString& text);

protected:
    ListWindow(const Setup& setup, QWidget* parent);

    // Fills the tool bar and the grid's pop-up menu; a null entry is a
    // separator.
    void finishBars(const QList<QAction*>& toolBar, const QList<QAction*>& popup);
    // Enter in the search box outside pick mode moves to the grid.
    void setEnterInSearchGoesToGrid(bool on) { enterToGrid_ = on; }
    // The search box gets the focus when the window is shown.
    void setFocusSearchOnShow(bool on) { focusSearch_ = on; }
    QAction* makeAction(const char* name, const QString& caption, const QKeySequence& key);

    // A double-click on the grid; accepts by default.
    virtual void gridDoubleClicked();

    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void search(const QString& text);
    std::optional<int> firstMatchByHalving(const QString& text) const;
    void enterPressed();

    QString keyField_;
    QString searchField_;
    bool emptySearchStays_;
    bool searchByHalving_;
    bool pick_;
    bool enterToGrid_ = false;
    bool focusSearch_ = false;
};
