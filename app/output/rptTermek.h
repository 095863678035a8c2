// TqrTermek, "Termékek listája" (qrTermek): the products over a read-only
// view of table termek with the main window's product filter and order, so
// the same rows print in the same order.
#pragma once

#include "common/DataSet.h"
#include "report/Report.h"

class QWidget;

class TqrTermek : public report::Report {
public:
    explicit TqrTermek(Connection* db);

    // Takes the filter, filtering and order of the main window's products.
    void prepare(const TableDataSet& products);

    TableDataSet Tbl;
};

void PrintProductList(const TableDataSet& products, bool print, QWidget* owner = nullptr);
