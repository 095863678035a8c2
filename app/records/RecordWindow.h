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
#include <QVariant>

#include <initializer_list>
#include <utility>

class DataSet;
class DBGrid;
class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QToolBar;
class QVBoxLayout;
class TableDataSet;

// A command of a window: its key works anywhere in the window.
QAction* MakeAction(QWidget* owner, const char* name, const QString& text, const QKeySequence& key,
                    const QIcon& icon = QIcon(), const QString& hint = QString());

// A picture-only push button of 24 x 22 at (x, y) with a hint; Enter
// presses it when it has the focus.
QPushButton* GlyphButton(QWidget* parent, const char* name, const QIcon& icon, const QString& hint, int x, int y);

// Posts the row being edited and writes the table through to disk. A row the
// database refuses stays in edit state with what the user typed, and the
// reason is shown ("Hiba: " and the database's message, or `duplicateText`
// when given and the row's key is taken); false then.
bool PostRow(DataSet* ds, QWidget* owner, const QString& duplicateText = QString());

class DateBox;

// Copies date boxes into their fields of the row being edited; a refused
// date is shown ("Hiba: " and the reason) and false returned.
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
    // Runs the editor of the current row; the caller has put the row into
    // insert or edit state. The editor saves on OK; anything else cancels.
    void runEditor(QDialog& editor);
    // Whether there is a row to edit or delete.
    bool hasRow() const;
    // The commands and pop-up menu of a list that prints: "Új", "Szerkeszt",
    // "Töröl" | "Nyom.kép", "Nyomtat" | "Bezár". The reports come with the
    // printing commands; until then the two stay visibly unavailable.
    void addCommandsWithPrint();
    // Deletes the current row (the caller has asked); a refusal is shown.
    void removeCurrentRow();

private:
    int ownerKey_;
    int ownerKind_;
    QVBoxLayout* body_;
};
