// Tfrm_Ertesit ("Értesítések"): the dated notifications of one owner (what
// kind of notification was sent, and when), newest first. Rows are edited
// in Tfrm_Ertesit_Szerkeszt.
#pragma once

#include "RecordWindow.h"

class Tfrm_Ertesit : public OwnerListWindow {
    Q_OBJECT
public:
    Tfrm_Ertesit(int ownerKey, int ownerKind, const QString& title, QWidget* parent = nullptr);

private slots:
    void aUjExecute();
    void aSzerkesztExecute();
    void aTorolExecute();
};

// The notifications window of an owner (kind: 0 customer, 1 task,
// 2 product, 3 company), modal; `title` names the owner in the title bar.
void ShowNotifications(QWidget* owner, int ownerKey, int ownerKind, const QString& title);
