// The steps every edit window of the records takes with its table's row.
//
//     if (!StartRow(tbl, isNew, owner)) return;   // insert, or edit the current row
//     Tfrm_Valami editor(&tbl, owner);            // its "OK" calls SaveRow(tbl, this)
//     RunRowEditor(editor, tbl);                  // anything but OK drops the row
//
// The row is stored while the edit window is still open, so a row the
// database refuses is reported and what the user typed stays for correcting.
#pragma once

#include <QString>

class DataSet;
class QDialog;
class QWidget;

// Appends a row, or puts the current row into edit state (an empty data set
// starts a new row). False, after telling the user, when the row cannot be
// edited: another program deleted or locked it meanwhile.
bool StartRow(DataSet& ds, bool isNew, QWidget* owner);

// Stores the row and writes it through to disk. False, after showing
// "Hiányos, vagy hibás adatmegadás" with the database's reason (or
// `duplicateText`, when given, for a key that another row has), when the
// database refuses it; the row stays in insert or edit state. A row stored
// whose write-through failed is reported and not kept for another try.
bool SaveRow(DataSet& ds, QWidget* owner, const QString& duplicateText = QString());

// Runs the edit window modally; unless it closed with OK the pending row
// is dropped.
void RunRowEditor(QDialog& editor, DataSet& ds);
