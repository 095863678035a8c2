// TqrErtesites, "Értesítések" (qrErtesites): the notifications of one
// record, newest first, after a block naming the record.
#pragma once

#include "common/DataSet.h"
#include "report/Report.h"

class QWidget;

class TqrErtesites : public report::Report {
public:
    explicit TqrErtesites(Connection* db);

    // Owner kind: 0 customer, 1 task, 2 product, 3 company.
    void prepare(int ownerKey, int ownerKind);

    TableDataSet Tbl;
};

// Prints or previews the notifications of an owner, on the alias connection.
void PrintNotifications(int ownerKey, int ownerKind, bool print, QWidget* owner = nullptr);
