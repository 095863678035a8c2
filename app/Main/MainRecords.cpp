// Tfrm_Main: the commands that open the record windows for the current row
// of the active tab: its notes, notifications and attached documents, and
// the quick new note.
#include "Main.h"

#include <QAction>

#include "app/records/Ertesit.h"
#include "app/records/Megj.h"
#include "app/records/Megjegyzes.h"
#include "app/records/Megjegyzes_Szerkeszt.h"
#include "common/DataSet.h"

void Tfrm_Main::connectRecordCommands()
{
    auto forOwner = [this](void (*open)(QWidget*, int, int, const QString&)) {
        return [this, open] {
            if (const auto o = currentOwner()) open(this, o->key, o->kind, o->title);
        };
    };
    connect(aMegjegyzes, &QAction::triggered, this, forOwner(&ShowNotes));
    connect(aErtesit, &QAction::triggered, this, forOwner(&ShowNotifications));
    connect(aCsatolt, &QAction::triggered, this, forOwner(&ShowDocuments));
    connect(aMegjegyzesUj, &QAction::triggered, this, [this] {
        if (const auto o = currentOwner()) AddNote(this, o->key, o->kind);
    });
}

std::optional<Tfrm_Main::Owner> Tfrm_Main::currentOwner()
{
    const int tab = tabIndex();
    DataSet* ds = browseDataSet(tab);
    // Rows are never attached to a row that is not there: an empty list,
    // or a row another program removed meanwhile.
    if (!ds->isActive() || !refreshOutdated(tab) || ds->isEmpty()) return std::nullopt;
    struct Columns {
        int kind;
        const char* key;
        const char* title;
    };
    static const Columns kColumns[] = {
        {3, "ceg", "ceg_nev"}, {0, "ugyfel", "ugyfel_nev"}, {1, "feladat", "rovid"}, {2, "termek", "cikkszam_nev"}};
    const Columns& c = kColumns[tab];
    return Owner{ds->fieldByName(c.key)->asInteger(), c.kind, ds->fieldByName(c.title)->asString()};
}
