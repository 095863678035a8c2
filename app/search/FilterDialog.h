// FilterDialog: the shape the customer and the task filter share. A group
// "Csoportosítás" of rows, each a tick box (caption on its left), a
// read-only box with the picked row's name and a "..." button that picks it;
// a group "Egyéb" of plain tick boxes; "Szűrés" (OK) and "Mégsem" (cancel,
// also Esc) at the bottom right.
//
// The dialog works on a FilterMemory: it shows the remembered ticks and
// names when made; a pick replaces the remembered id and name at once (kept
// even when the dialog is then cancelled); OK stores the ticks and names.
#pragma once

#include <QDialog>
#include <QList>

#include <functional>

struct FilterMemory;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

class FilterDialog : public QDialog {
    Q_OBJECT
public:
    QGroupBox* GroupBox1;  // "Csoportosítás"
    QGroupBox* GroupBox2;  // "Egyéb"
    QPushButton* Button1;  // "Szűrés"
    QPushButton* Button2;  // "Mégsem"

protected:
    // Picks a row starting on `key`: its key and name, or -1 (name untouched).
    using Picker = std::function<int(int key, QString& name, QWidget* owner)>;

    struct PickRow {
        const char* caption;
        int tick;    // index into FilterMemory::ticks
        int id;      // index into FilterMemory::ids and names
        Picker pick;
    };
    struct OtherTick {
        const char* caption;
        int tick;
    };

    // Tick box n is "CheckBox" + (its FilterMemory tick index + 1); row r's
    // name box and button are "Edit" + r and "BitBtn" + r, from 1.
    FilterDialog(const QString& formName, const QString& title, FilterMemory& memory, const QList<PickRow>& rows,
                 const QList<OtherTick>& others, QWidget* parent);

    QCheckBox* tick(int index) const { return ticks_[index]; }
    // Where the focus goes after a pick in row `row` (none: it stays).
    std::function<QWidget*(int row)> focusAfterPick;

private:
    void pick(int row);
    void store();

    FilterMemory& memory_;
    QList<PickRow> rows_;
    QList<QCheckBox*> ticks_;  // by FilterMemory tick index
    QList<QLineEdit*> names_;  // by row
};
