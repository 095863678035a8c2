// What the record windows share: their commands, the save of an edited row,
// the unbound date box of the editors, and the list window over the rows of
// one owner (notes, notifications, documents).
//
// An owner is a customer, task, product or company: its key is stored in the
// rows' `ugyfel` field and its kind in `tipus` (0 customer, 1 task,
// 2 product, 3 company).
#pragma once

#include <QDateEdit>
#include <QDialog>
#include <QIcon>
#include <QList>
#include <QVariant>

#include <initializer_list>
#include <utility>

class DataSet;
class DBEdit;
class DBGrid;
class DBLookupComboBox;
class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QueryDataSet;
class QToolBar;
class QVBoxLayout;
class TableDataSet;

// A command of a window: its key works anywhere in the window.
QAction* MakeAction(QWidget* owner, const char* name, const QString& text, const QKeySequence& key,
                    const QIcon& icon = QIcon(), const QString& hint = QString());

// Fills a tool bar and a pop-up menu with commands; a null entry is a
// separator.
void FillBars(QToolBar* toolBar, const QList<QAction*>& toolBarCommands, QMenu* popup,
              const QList<QAction*>& popupCommands);

// The grid "DBGrid1" of a list window over `ds`; a right-click on it pops up
// `popup`.
DBGrid* ListGrid(QWidget* owner, DataSet* ds, QMenu* popup);

// A read-only reference table (types, companies, ...) in key order, for a
// drop-down's choices.
TableDataSet* ReferenceTable(QObject* owner, const char* file);

// A bound edit box of `w` pixels under its label at (x, y).
DBEdit* LabelledEdit(QWidget* page, const char* name, const QString& label, DataSet* ds, const char* field, int x,
                     int y, int w);
// A drop-down under its label that stores the key `field` of the row chosen
// from `list` and shows that row's `nameField`.
DBLookupComboBox* LabelledLookup(QWidget* page, const char* name, const QString& label, DataSet* ds,
                                 const char* field, TableDataSet* list, const char* nameField, int x, int y, int w);

// A picture-only push button of 24 x 22 at (x, y) with a hint; Enter
// presses it when it has the focus.
QPushButton* GlyphButton(QWidget* parent, const char* name, const QIcon& icon, const QString& hint, int x, int y);

// A picker button's work: opens a list in pick mode on the key of `column`
// (blank as 0) and stores the key chosen; a list closed without a choice
// (-1) changes nothing.
void PickInto(DataSet* ds, const char* column, int (*list)(int key, QWidget* owner), QWidget* owner);

// After an editor of a main-window list: closes the edited table, reads the
// list anew (its filter and order kept) and stands on the row whose `keyField`
// is `key`, else on the first row.
void ReopenList(TableDataSet& tbl, QueryDataSet& list, const char* keyField, int key);

class DateBox;

// Copies date boxes into their fields of the row being edited; a refused
// date is shown (as any refused input) and false returned.
bool StoreDates(DataSet* ds, std::initializer_list<std::pair<const char*, const DateBox*>> boxes,
                QWidget* owner);

// A date with up and down buttons that may also be blank (an empty box): the
// editors copy a date field in and out of it. Delete makes it blank; a step
// from blank starts at today.
class DateBox : public QDateEdit {
    Q_OBJECT
public:
    explicit DateBox(QWidget* parent = nullptr);

    void setValue(const QVariant& date);  // a null or invalid date: blank
    QVariant value() const;               // null when blank

    void stepBy(int steps) override;

protected:
    void keyPressEvent(QKeyEvent* e) override;
};

// The rows of one owner in a modal list window: a bold title bar with the
// owner's name, a read-only grid and the commands "Új", "Szerkeszt",
// "Töröl" and "Bezár". The window opens its table filtered to the owner
// when it is shown and closes it when it is hidden. The kinds of rows
// differ in what they hold, their editor and their tool bar.
class OwnerListWindow : public QDialog {
    Q_OBJECT
public:
    // `filter` is the table's filter expression for the owner.
    OwnerListWindow(const char* formName, const QString& caption, const QString& tableFile,
                    const QString& filter, int ownerKey, int ownerKind, QWidget* parent);

    int ownerKey() const { return ownerKey_; }
    int ownerKind() const { return ownerKind_; }

    TableDataSet* Tbl;
    QLabel* Panel1;
    DBGrid* DBGrid1;
    QToolBar* ToolBar1;
    QMenu* PopupMenu1;
    QAction* aUj;
    QAction* aSzerkeszt;
    QAction* aTorol;
    QAction* aBezar;
    QAction* aNyomtatKep = nullptr;
    QAction* aNyomtat = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

    // The window's layout below the title bar; the grid is put in by the caller.
    QVBoxLayout* body() const { return body_; }

    // A new row for the owner, dated today, in insert state.
    void appendOwnedRow();
    // Whether there is a row to edit or delete.
    bool hasRow() const;
    // Puts the current row into edit state; false (told) when another
    // program removed or holds it, or when there is none.
    bool editCurrentRow();
    // The commands and pop-up menu of a list that prints: "Új", "Szerkeszt",
    // "Töröl" | "Nyom.kép", "Nyomtat" | "Bezár". The two print commands
    // preview or print `report` of the window's owner.
    using PrintRoutine = void (*)(int ownerKey, int ownerKind, bool print, QWidget* owner);
    void addCommandsWithPrint(PrintRoutine report);
    // Deletes the current row (the caller has asked); a refusal is shown.
    void removeCurrentRow();

private:
    int ownerKey_;
    int ownerKind_;
    QVBoxLayout* body_;
};
