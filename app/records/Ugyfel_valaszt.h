// Tfrm_Ugyfel_valaszt ("Ügyfél választás"): the customer picker, a
// searchable list of all customers in name order, always in pick mode.
#pragma once

#include <QString>

#include "ListWindow.h"

class QWidget;

// Stands on the customer `key` (the first one in name order when there is
// none), runs the picker modally and returns the chosen ugyfel, or -1 when
// it was closed without choosing. An empty list's "Elfogad" gives 0.
int PickCustomer(int key, QWidget* owner = nullptr);

// As PickCustomer; on a choice `name` gets ugyfel_nev (empty when blank),
// untouched when the result is -1.
int PickCustomerWithName(int key, QString& name, QWidget* owner = nullptr);

// The picker window. Its print and export commands stay disabled until the
// grid print and the exports are part of the program.
class Tfrm_Ugyfel_valaszt : public ListWindow {
    Q_OBJECT
public:
    explicit Tfrm_Ugyfel_valaszt(QWidget* parent = nullptr);

    QAction* aNyomtat;
    QAction* aNyomtatKep;
    QAction* aExcelbe;
    QAction* aHtml;
    QMenu* PopupMenuNyomtat;  // the drop-down of "Nyomtat"
};
