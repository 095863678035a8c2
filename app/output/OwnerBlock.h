// What the notes and notifications reports share: the block they print
// once before their rows, naming the record they belong to (read by its
// key), the frame, and the rows of that record, newest first.
#pragma once

#include "common/DataSet.h"
#include "report/Report.h"

namespace output {

// Sets `r.reportHeader` to the block of owner `key` of `kind` (0 customer,
// 1 task, 2 product); a company (3) or a record that is gone has none.
void SetOwnerBlock(report::Report& r, Connection* db, int key, int kind);

// The filter of a notes or notifications table to one owner.
QString OwnerFilter(int key, int kind);

// The notes and notifications reports: the list header without captions
// or subtitles, the common footer, Arial 10 pt.
void SetOwnerReportFrame(report::Report& r, Connection* db);

// A report over the rows of one owner in `Tbl`, read-only, in the order of
// a newest-first index.
class OwnerRowsReport : public report::Report {
public:
    TableDataSet Tbl;

protected:
    OwnerRowsReport(const QString& title, const QString& name, Connection* db, const QString& table,
                    const QString& newestFirstIndex);

    // Opens the owner's rows under the frame and the owner's block; each
    // row `rowHeight` mm high, its first line the date and the short text in
    // Arial 9 of `style`. The caller adds the rest of the row.
    void prepareRows(int ownerKey, int ownerKind, double rowHeight, report::FontStyle style);
};

}  // namespace output
