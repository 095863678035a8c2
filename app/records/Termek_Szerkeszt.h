// Tfrm_Termek_Szerkeszt ("Termék szerkesztés"): creates or changes one
// product in the main window's product table, in place. The product code is
// upper-cased as it is typed or pasted.
#pragma once

class QWidget;
class TableDataSet;

// New: appends a row to `tblTermek`; existing: edits its current row (an
// empty table starts a new row). "OK" stores the row before the window
// closes; a row the database refuses is reported and the window stays open
// with what was typed. Anything else cancels the row. The table stays open
// on the stored row.
void EditProduct(TableDataSet& tblTermek, bool isNew, QWidget* owner = nullptr);
