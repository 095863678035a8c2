// Tfrm_Megjegyzes ("Megjegyzések"): the dated notes of one owner, newest
// first, with the selected note's text under the list. New and changed
// notes are edited in Tfrm_Megjegyzes_Szerkeszt.
#pragma once

#include "RecordWindow.h"

class DBMemo;
class QSplitter;

class Tfrm_Megjegyzes : public OwnerListWindow {
    Q_OBJECT
public:
    Tfrm_Megjegyzes(int ownerKey, int ownerKind, const QString& title, QWidget* parent = nullptr);

    QSplitter* Splitter1;
    DBMemo* DBMemo1;  // the selected note's text, read-only

private slots:
    void aUjExecute();
    void aSzerkesztExecute();
    void aTorolExecute();
};

// The notes window of an owner (kind: 0 customer, 1 task, 2 product,
// 3 company), modal; `title` names the owner in the title bar.
void ShowNotes(QWidget* owner, int ownerKey, int ownerKind, const QString& title);

// The filter of a notes or notifications table for one owner.
QString NotesFilter(int ownerKey, int ownerKind);
