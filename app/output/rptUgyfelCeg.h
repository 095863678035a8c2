// TqrUgyfelCeg, "Ügyfelek listája cégek szerint" (qrUgyfelCeg): customers
// under a header of their company, from a query of its own, all companies
// or one.
#pragma once

#include "common/DataSet.h"
#include "report/Report.h"

class QWidget;

class TqrUgyfelCeg : public report::Report {
public:
    explicit TqrUgyfelCeg(Connection* db);

    // `company` -1: every customer; otherwise that company's customers.
    void prepare(int company);

    QueryDataSet Qry;
};

void PrintCustomersByCompany(int company, bool print, QWidget* owner = nullptr);
