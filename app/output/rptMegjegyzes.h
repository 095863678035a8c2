// TqrMegjegyzes, "Megjegyzések" (qrMegjegyzes): the notes of one record,
// newest first, each with its whole text, after a block naming the record.
#pragma once

#include "OwnerBlock.h"

class QWidget;

class TqrMegjegyzes : public output::OwnerRowsReport {
public:
    explicit TqrMegjegyzes(Connection* db);

    // Owner kind: 0 customer, 1 task, 2 product, 3 company.
    void prepare(int ownerKey, int ownerKind);
};

// Prints or previews the notes of an owner, on the alias connection.
void PrintNotes(int ownerKey, int ownerKind, bool print, QWidget* owner = nullptr);
