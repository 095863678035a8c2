// TqrErtesites, "Értesítések" (qrErtesites): the notifications of one
// record, newest first, after a block naming the record.
#pragma once

#include "OwnerBlock.h"

class QWidget;

class TqrErtesites : public output::OwnerRowsReport {
public:
    explicit TqrErtesites(Connection* db);

    // Owner kind: 0 customer, 1 task, 2 product, 3 company.
    void prepare(int ownerKey, int ownerKind);
};

// Prints or previews the notifications of an owner, on the alias connection.
void PrintNotifications(int ownerKey, int ownerKind, bool print, QWidget* owner = nullptr);
