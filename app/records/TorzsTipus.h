// The reference lists: customer types, agents, positions, priorities,
// statuses, task results, task types and name days. One list window
// (Tfrm_TorzsTipus) configured per table, with one edit window
// (Tfrm_TorzsTipus_Szerkeszt) configured the same way.
//
// Browse mode (the main window's "Törzsadatok" menu): add, change and delete
// rows, which needs the reference-data right. Pick mode (the editors'
// picker buttons, the filters, the settings window): "Elfogad", Enter or a
// double-click close the list with the current row chosen.
//
// Every entry operation is modal: it makes the window, stands on the row
// whose key is `key` (the first row in the list's order when none has it),
// runs it and frees it. The result is the chosen row's key, or -1 when the
// list was closed without choosing. An empty list's "Elfogad" gives 0.
#pragma once

#include <QColor>
#include <QList>
#include <QString>

#include "ListWindow.h"

class DBCheckBox;
class DBEdit;
class QLabel;
class QPushButton;
class QWidget;
struct TorzsConfig;

enum class Torzs {
    Tipus,        // tipus: customer types
    Uzletkoto,    // uzletkoto: agents
    Beosztas,     // beosztas: positions
    Prioritas,    // prioritas: task priorities, with deadline and colour
    Allapot,      // allapot: task statuses
    Feleredmeny,  // feleredmeny: task results
    Feltipus,     // feltipus: task types
};

int ShowList(Torzs list, int key, bool pick, QWidget* owner = nullptr);

// As ShowList; on a choice `name` gets the row's name (empty when blank).
// `name` is untouched when the result is -1.
int ShowListWithName(Torzs list, int key, bool pick, QString& name, QWidget* owner = nullptr);

// The priority list; on a choice `deadline` gets the priority's hatid in
// days (0 when blank). `deadline` is untouched when the result is -1.
int ShowListWithDeadline(int key, bool pick, int& deadline, QWidget* owner = nullptr);

// The name-day list: browse only, a double-click edits.
void ShowNameDayList(QWidget* owner = nullptr);

// The list window of one reference table; `config` says which.
class Tfrm_TorzsTipus : public ListWindow {
    Q_OBJECT
public:
    Tfrm_TorzsTipus(const TorzsConfig& config, bool pick, QWidget* parent = nullptr);

    const TorzsConfig& config() const { return config_; }

    QAction* aUj;
    QAction* aSzerkeszt;
    QAction* aTorol;

protected:
    void gridDoubleClicked() override;

private slots:
    void aUjExecute();
    void aSzerkesztExecute();
    void aTorolExecute();

private:
    // Runs the edit window over the row in insert or edit state; the row is
    // stored by the window's "OK" or dropped here.
    void runEditor();

    const TorzsConfig& config_;
};

// The edit window of one reference table, bound to its list's current row,
// which the list has put into insert or edit state. "OK" stores the row
// (the priority's colour with it) and closes; a refused row is reported and
// the window stays open with what was typed.
class Tfrm_TorzsTipus_Szerkeszt : public QDialog {
    Q_OBJECT
public:
    Tfrm_TorzsTipus_Szerkeszt(const TorzsConfig& config, TableDataSet* tbl, QWidget* parent = nullptr);

    QList<DBEdit*> edits;              // DBEdit1, DBEdit2, ... in tab order
    DBCheckBox* DBCheckBox1 = nullptr;  // statuses: "készen van?"
    QLabel* Label4 = nullptr;          // priorities: the colour sample
    QPushButton* Button1 = nullptr;    // priorities: "Szín beállítása"
    QPushButton* btnOK;
    QPushButton* btnMegsem;

private slots:
    void btnOKClick();
    void Button1Click();

private:
    void showColour(const QColor& colour);

    TableDataSet* tbl_;
    QColor colour_;
};
