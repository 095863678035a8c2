// The block that the notes and notifications reports print once before
// their rows: the record they belong to, read by its key.
#pragma once

#include "report/Report.h"

class Connection;

namespace output {

// Sets `r.reportHeader` to the block of owner `key` of `kind` (0 customer,
// 1 task, 2 product); a company (3) or a record that is gone has none.
void SetOwnerBlock(report::Report& r, Connection* db, int key, int kind);

// The filter of a notes or notifications table to one owner.
QString OwnerFilter(int key, int kind);

// The notes and notifications reports: the list header without captions
// or subtitles, the common footer, Arial 10 pt.
void SetOwnerReportFrame(report::Report& r, Connection* db);

}  // namespace output
