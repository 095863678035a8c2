// Tfrm_Cikkszam_valaszt ("Termék választás"): the product picker, all
// products in code order, always in pick mode.
#pragma once

#include <QString>

#include "ListWindow.h"

class QWidget;

// Stands on the product `key` (the first one in code order when there is
// none), runs the picker modally and returns the chosen termek, or -1 when
// it was closed without choosing. An empty list's "Elfogad" gives 0.
int PickProduct(int key, QWidget* owner = nullptr);

// As PickProduct; on a choice `name` gets cikkszam_nev (empty when blank),
// untouched when the result is -1.
int PickProductWithName(int key, QString& name, QWidget* owner = nullptr);

class Tfrm_Cikkszam_valaszt : public ListWindow {
    Q_OBJECT
public:
    explicit Tfrm_Cikkszam_valaszt(QWidget* parent = nullptr);
};
