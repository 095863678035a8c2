// Tfrm_SzurF ("Feladat szűrés"): the task filter. Status, priority,
// customer and product are picked from their lists; "Csak még nem kész"
// keeps the tasks not yet closed.
#pragma once

#include "FilterDialog.h"

// The task list's filter expression for the remembered ticks and ids of
// `memory`: the ticked clauses joined by " and ", in the order status,
// priority, customer, product, unfinished; empty when nothing is ticked.
QString BuildTaskFilter(const FilterMemory& memory);

class Tfrm_SzurF : public FilterDialog {
    Q_OBJECT
public:
    explicit Tfrm_SzurF(QWidget* parent = nullptr);
};

// Runs the task filter on the remembered settings (Beall). True with the
// expression in `expression` when "Szűrés" was pressed.
bool ShowTaskFilter(QString& expression, QWidget* owner = nullptr);
