// TqrFeladatReszl2, "Feladatok listája" (qrFeladatReszl2): the detailed task
// list over a private copy of a task query the caller gives (the task
// browser's), with its first subtitle only.
#pragma once

#include "common/DataSet.h"
#include "report/Report.h"

class QWidget;

class TqrFeladatReszl2 : public report::Report {
public:
    explicit TqrFeladatReszl2(Connection* db);

    void prepare(const QueryDataSet& source, const QString& subtitle);

    QueryDataSet Qry;
};

void PrintTaskDetailsOf(const QueryDataSet& source, const QString& subtitle, bool print, QWidget* owner = nullptr);
