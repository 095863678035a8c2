// Tfrm_TorzsCeg ("Cégek"): the searchable, read-only list of all companies,
// in name order. Other windows use it as a picker (pick mode); the main
// window's "Cégek" command opens it for browsing. Companies are added and
// changed through EditCompany (TorzsCeg_Szerkeszt.h) and deleted on the main
// window's companies tab, not here.
#pragma once

#include <QString>

#include "ListWindow.h"

class QWidget;

// Stands on the company `key` (the first one when there is none), runs the
// list modally and returns the chosen ceg, or -1 when it was closed without
// choosing. An empty list's "Elfogadás" gives 0.
int ShowCompanyList(int key, bool pick, QWidget* owner = nullptr);

// As ShowCompanyList; on a choice `name` gets ceg_nev (empty when blank),
// untouched when the result is -1.
int ShowCompanyListWithName(int key, bool pick, QString& name, QWidget* owner = nullptr);

// The company list. It adds, changes and deletes nothing, so it checks no
// right; "Elfogadás" is there in pick mode only.
class Tfrm_TorzsCeg : public ListWindow {
    Q_OBJECT
public:
    Tfrm_TorzsCeg(bool pick, QWidget* parent = nullptr);
};
