// TqrUgyfel, "Ügyfelek listája" (qrUgyfel): the customer list, two lines a
// customer, over a private copy of the main window's customer query (its
// text, filter and parameters), so the rows and their order match the list.
#pragma once

#include <vector>

#include "ListReport.h"
#include "common/DataSet.h"
#include "report/Report.h"

class QWidget;

class TqrUgyfel : public report::Report {
public:
    explicit TqrUgyfel(Connection* db);

    // Opens the copy of `source`; `filtered` adds "Szűrt adatok" under the
    // first subtitle.
    void prepare(const QueryDataSet& source, bool filtered, const QString& subtitle);

    QueryDataSet Qry;
};

namespace output {

// What the customer lists (this one and the one by company) print alike:
// the column captions, and a customer's row of two lines with its first
// line (name, company phone, mobile, home phone, postcode, town); the
// caller adds the second line.
std::vector<Caption> CustomerCaptions();
void SetCustomerFirstLine(report::Report& r);

}  // namespace output

void PrintCustomerList(const QueryDataSet& source, bool filtered, const QString& subtitle, bool print,
                       QWidget* owner = nullptr);
