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

#include <QString>

class QWidget;

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
