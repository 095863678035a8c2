// TqrUgyfelReszl, "Ügyfelek listája (részletes)" (qrUgyfelReszl): five
// lines a customer with every phone, address and note, read straight from
// the main window's customer list as it is filtered and sorted.
#pragma once

#include "report/Report.h"

class DataSet;
class QWidget;

class TqrUgyfelReszl : public report::Report {
public:
    TqrUgyfelReszl();

    void prepare(const DataSet& customers, bool filtered, const QString& subtitle);
};

void PrintCustomerDetails(const DataSet& customers, bool filtered, const QString& subtitle, bool print,
                          QWidget* owner = nullptr);
