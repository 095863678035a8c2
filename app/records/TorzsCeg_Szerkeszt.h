// Tfrm_TorzsCeg_Szerkeszt ("Cég szerkesztés"): creates or changes one
// company in the main window's company table, in place.
#pragma once

class QWidget;
class TableDataSet;

// New: appends a row to `tblCegek`; existing: edits its current row (an
// empty table starts a new row). "OK" stores the row before the window
// closes; a row the database refuses is reported and the window stays open
// with what was typed. Anything else cancels the row. The table stays open
// on the stored row.
void EditCompany(TableDataSet& tblCegek, bool isNew, QWidget* owner = nullptr);
