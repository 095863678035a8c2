// Tfrm_Szur ("Ügyfél szűrés"): the customer filter. Company, type and agent
// are picked from their lists; "Aktív figyelmeztetés" keeps the customers
// whose reminder is due, "Névnap ma van" those whose name day is today.
#pragma once

#include <QDate>

#include "FilterDialog.h"

// The customer list's filter expression for the remembered ticks and ids of
// `memory` on `today`: the ticked clauses joined by " and ", in the order
// company, type, agent, reminder, name day; empty when nothing is ticked.
QString BuildCustomerFilter(const FilterMemory& memory, const QDate& today);

class Tfrm_Szur : public FilterDialog {
    Q_OBJECT
public:
    explicit Tfrm_Szur(QWidget* parent = nullptr);
};

// Runs the customer filter on the remembered settings (Beall). True with
// the expression in `expression` when "Szűrés" was pressed.
bool ShowCustomerFilter(QString& expression, QWidget* owner = nullptr);
