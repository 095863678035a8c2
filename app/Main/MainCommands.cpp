// Tfrm_Main: the commands that do their work in the main window itself
// (delete, jump to the company, e-mail and web links, the newsletter
// hand-off, help and information, the administrator's windows) and the
// wiring of every command.
#include "Main.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QStatusTipEvent>

#include "Beall.h"
#include "Beallit.h"
#include "app/archive/Archiv.h"
#include "app/dialogs/InpStr.h"
#include "app/dialogs/Nevjegy.h"
#include "app/dialogs/Readme.h"
#include "app/output/Grid2Html.h"
#include "app/output/Hatarolt.h"
#include "app/sqlconsole/SQL.h"
#include "app/output/Korlevel.h"
#include "app/output/rptAjanlott.h"
#include "app/output/rptCimke.h"
#include "app/output/TorzsCimke.h"
#include "app/records/Feladat_Szerkeszt.h"
#include "app/records/Szerkeszt.h"
#include "app/records/Termek_Szerkeszt.h"
#include "app/records/TorzsCeg.h"
#include "app/records/TorzsCeg_Szerkeszt.h"
#include "app/records/TorzsTipus.h"
#include "app/search/FeladatBongeszo.h"
#include "app/search/Keres.h"
#include "app/search/KulcsszoKeres.h"
#include "app/search/Szur.h"
#include "app/search/SzurF.h"
#include "app/users/Felhasznalo.h"
#include "common/DataSet.h"
#include "common/Interaction.h"
#include "common/Messages.h"
#include "common/Settings.h"
#include "widgets/DBGrid.h"

namespace {

// Closes data sets when the operation that opened them ends, however it ends.
class CloseAtEnd {
public:
    explicit CloseAtEnd(std::initializer_list<DataSet*> sets) : sets_(sets) {}
    ~CloseAtEnd()
    {
        for (DataSet* ds : sets_) ds->close();
    }
    CloseAtEnd(const CloseAtEnd&) = delete;
    CloseAtEnd& operator=(const CloseAtEnd&) = delete;

private:
    std::vector<DataSet*> sets_;
};

// Deletes the row `key` of `table` while the browse query is closed, then
// opens the query again (on its first row).
void deleteThroughTable(QueryDataSet* list, TableDataSet* table, const char* keyField)
{
    const int key = list->fieldByName(keyField)->asInteger();
    list->close();
    try {
        CloseAtEnd closeTable{table};
        table->open();
        if (table->locate(keyField, key)) {
            table->remove();
            table->flushBuffers();
        }
    } catch (const DbError&) {
        list->open();
        throw;
    }
    list->open();
}

}  // namespace

void Tfrm_Main::connectCommands()
{
    connectPrintCommands();
    connect(aUj, &QAction::triggered, this, [this] { editRecord(true); });
    connect(aSzerkeszt, &QAction::triggered, this, [this] { editRecord(false); });
    connect(aTorol, &QAction::triggered, this, &Tfrm_Main::aTorolExecute);
    connect(aUgrikCeg, &QAction::triggered, this, &Tfrm_Main::aUgrikCegExecute);
    connect(aLeveletNeki, &QAction::triggered, this, &Tfrm_Main::aLeveletNekiExecute);
    connect(aZoduvoza, &QAction::triggered, this, &Tfrm_Main::aZoduvozaExecute);
    connect(aKeres, &QAction::triggered, this, &Tfrm_Main::aKeresExecute);
    connect(aKeresReszletes, &QAction::triggered, this, [this] { ShowTextSearch(this); });
    connect(aKulcsszoKeres, &QAction::triggered, this, &Tfrm_Main::aKulcsszoKeresExecute);
    connect(aFeladatBongeszo, &QAction::triggered, this, [this] { RunTaskBrowser(this); });
    connect(aSzur, &QAction::triggered, this, &Tfrm_Main::aSzurExecute);
    connect(aSzurF, &QAction::triggered, this, &Tfrm_Main::aSzurFExecute);
    connect(aFigyelmeztet, &QAction::triggered, this, &Tfrm_Main::aFigyelmeztetExecute);
    connect(aFelhasznalo, &QAction::triggered, this, [this] { adminCommand(&Tfrm_Main::openUsers); });
    connect(aBeallit, &QAction::triggered, this, [this] { adminCommand(&Tfrm_Main::openSettings); });
    connect(aSQL, &QAction::triggered, this, [this] {
        if (Beall.adminRight) ShowSqlConsole(this);
        else ShowNoRight(this);
    });
    connect(aArchiv, &QAction::triggered, this, &Tfrm_Main::archive);
    // Exports write the list as another program may have changed it.
    connect(aExcel, &QAction::triggered, this, [this] {
        refreshOutdated(tabIndex());
        ShowDelimitedExport(browseDataSet(tabIndex()), "Nyilvex_exp.CSV", this);
    });
    connect(aHtml, &QAction::triggered, this, [this] {
        static const char* const titles[] = {"Cégek", "Ügyfelek", "Feladatok", "Termékek"};
        refreshOutdated(tabIndex());
        ShowHtmlExport(browseGrid(tabIndex()), titles[tabIndex()], QString(), this);
    });
    const std::pair<QAction*, Torzs> lists[] = {
        {aTorzsTipus, Torzs::Tipus},         {aUzletkoto, Torzs::Uzletkoto},
        {aTorzsAllapot, Torzs::Allapot},     {aTorzsPrioritas, Torzs::Prioritas},
        {aTorzsFeltipus, Torzs::Feltipus},   {aTorzsFelEredmeny, Torzs::Feleredmeny},
    };
    for (const auto& [action, list] : lists)
        connect(action, &QAction::triggered, this, [this, list] { ShowList(list, -1, false, this); });
    connect(aTorzsNevnap, &QAction::triggered, this, [this] { ShowNameDayList(this); });
    connect(aTorzsCegek, &QAction::triggered, this, [this] { ShowCompanyList(-1, false, this); });
    connect(aTorzsCimke, &QAction::triggered, this, [this] { PickLabelLayout(this, QString(), false); });
    connect(aCimkeNyom, &QAction::triggered, this, [this] {
        const LabelLayout layout = PickLabelLayout(this, QString(), true);
        if (!layout.name.isEmpty()) PrintLabels(this, *Qry, layout);
    });
    // The envelope and the registered-mail form are for the current customer
    // of the customers tab; an empty list gives key 0, which prints nothing.
    auto currentCustomer = [this] {
        return Qry->isActive() && !Qry->isEmpty() ? Qry->fieldByName("ugyfel")->asInteger() : 0;
    };
    connect(aBoritek, &QAction::triggered, this, [this, currentCustomer] {
        if (tabIndex() == 1) PrintEnvelope(this, Connection::byName(DatabaseAlias), currentCustomer());
    });
    connect(aAjanlott, &QAction::triggered, this, [this, currentCustomer] {
        if (tabIndex() == 1) PrintRegisteredMailForm(this, Connection::byName(DatabaseAlias), currentCustomer());
    });
    connect(aKorlevel, &QAction::triggered, this,
            [this] { OpenFormLetters(this, tabIndex(), browseDataSet(tabIndex())); });
    connect(aBezar, &QAction::triggered, this, &QWidget::close);
    connect(aSugo, &QAction::triggered, this, [this] { OpenWithShell(ProgramFolder() + "/Help/index.htm"); });
    connect(aVedazero, &QAction::triggered, this, [this] { OpenWithShell(ProgramFolder() + "/Vedazero.exe"); });
    connect(aHonlap, &QAction::triggered, this, [this] { OpenWithShell(MakerWebAddress); });
    connect(aLevel, &QAction::triggered, this,
            [this] { OpenWithShell(QString("mailto:") + MakerEmail + "?subject=Nyilvex program"); });
    connect(aNevjegy, &QAction::triggered, this, [this] {
        Tfrm_Nevjegy box(this);
        interaction().runModal(box);
    });
    connect(aFontos, &QAction::triggered, this, [this] {
        Tfrm_Readme readme(this);
        interaction().runModal(readme);
    });
}

void Tfrm_Main::editRecord(bool isNew)
{
    // The editors change the tab's table in place; it stays on the stored row.
    const int tab = tabIndex();
    // A customer or task list without rows has nothing to change: its
    // "Szerkeszt" starts a new one, never the row some table happens to be on.
    auto currentKey = [this, tab, isNew](QueryDataSet* list, const char* field) {
        return isNew || !list->isActive() || list->isEmpty() ? -1 : list->fieldByName(field)->asInteger();
    };
    switch (tab) {
    case 0: EditCompany(*TblCegek, isNew, this); break;
    case 1: EditCustomer(*Tbl, *Qry, currentKey(Qry, "ugyfel"), this); break;
    case 2: {
        const int key = currentKey(QryFeladat, "feladat");
        EditTask(*TblFeladat, *QryFeladat, key == -1, key, this);
        break;
    }
    default: EditProduct(*TblTermek, isNew, this); break;
    }
    UpdateStatusLine(tab);
}

void Tfrm_Main::aTorolExecute()
{
    const int tab = tabIndex();
    DataSet* ds = browseDataSet(tab);
    // No row to delete, or the row shown was removed by another program.
    if (!ds->isActive() || !refreshOutdated(tab) || ds->isEmpty()) return;
    if (!AskDeleteRow(this)) return;
    switch (tab) {
    case 0:
        TblCegek->remove();
        TblCegek->flushBuffers();
        refreshOutdated(tab);
        break;
    case 1:
        deleteThroughTable(Qry, Tbl, "ugyfel");
        break;
    case 2:
        deleteThroughTable(QryFeladat, TblFeladat, "feladat");
        break;
    default:
        TblTermek->remove();
        TblTermek->flushBuffers();
        refreshOutdated(tab);
        break;
    }
}

void Tfrm_Main::aUgrikCegExecute()
{
    const int tab = tabIndex();
    if (tab != 1 && tab != 2) return;
    QueryDataSet* list = tab == 1 ? Qry : QryFeladat;
    if (!refreshOutdated(tab)) return;
    const int company = list->isActive() ? list->fieldByName("ceg")->asInteger() : 0;
    setTabIndex(0);
    TblCegek->locate("ceg", company);
}

void Tfrm_Main::DBGrid5DblClick()
{
    const int customer = Qry->isActive() ? Qry->fieldByName("ugyfel")->asInteger() : 0;
    setTabIndex(1);
    Qry->locate("ugyfel", customer);
}

void Tfrm_Main::aLeveletNekiExecute()
{
    const QString address = Qry->isActive() ? Qry->fieldByName("emil1")->asString() : QString();
    if (address.isEmpty()) {
        ShowError("Nincs E-Mail cím megadva.", this);
        return;
    }
    OpenWithShell("mailto:" + address);
}

void Tfrm_Main::openEmailLink(int which)
{
    auto text = [this](const char* field) { return Qry->isActive() ? Qry->fieldByName(field)->asString() : QString(); };
    switch (which) {
    case 1:
        OpenWithShell("mailto:" + text("emil1") + "?subject=nyilvex");
        break;
    case 2:
        OpenWithShell("mailto:" + text("emil2") + "?subject=nyilvex");
        break;
    default:
        OpenWithShell(text("honlap"));
        break;
    }
}

void Tfrm_Main::aZoduvozaExecute()
{
    if (!AskYesNo("Az előzőleg legyűjtött e-mail adatok törlődnek. Folytatja?", "Megerősítés", this)) return;
    int stored = 0;
    {
        CloseAtEnd closeBoth{QryEmil, TblEmil};
        QryEmil->open();
        TblEmil->open();
        TblEmil->emptyTable();
        stored = batchAppend(*QryEmil, *TblEmil);
        TblEmil->flushBuffers();
    }
    if (AskYesNo(QString::number(stored) + " E-Mail cím hozzáadása kész. Indítsam a Hírlevél programot?", "Kérdés",
                 this))
        OpenWithShell(ProgramFolder() + "/Zoduvoza.exe");
}

void Tfrm_Main::aKeresExecute()
{
    QLineEdit* box = quickSearchBox(tabIndex());
    box->selectAll();
    box->setFocus();
}

void Tfrm_Main::aKulcsszoKeresExecute()
{
    QString keyword;
    if (InputText("Kulcsszó keresés", "Add meg a keresendő kulcsszót", keyword, this)) RunKeywordSearch(this, keyword);
}

// The filter commands are toggles whose tick the trigger has already
// flipped: on means filtered. Off switches the list's filter off without
// the dialog; on runs the dialog and stays off when it is cancelled.
void Tfrm_Main::aSzurExecute()
{
    const bool wasOn = !aSzur->isChecked();
    aSzur->setChecked(wasOn);
    if (tabIndex() != 1) return;
    if (wasOn) {
        aSzur->setChecked(false);
        Qry->setFiltered(false);
    } else {
        QString expression;
        if (!ShowCustomerFilter(expression, this)) return;
        customerFilter_ = expression;
        Qry->setFilter(expression);
        Qry->setFiltered(true);
        aSzur->setChecked(true);
    }
    UpdateStatusLine(1);
}

void Tfrm_Main::aSzurFExecute()
{
    const bool wasOn = !aSzurF->isChecked();
    aSzurF->setChecked(wasOn);
    if (tabIndex() != 2) return;
    if (wasOn) {
        aSzurF->setChecked(false);
        QryFeladat->setFiltered(false);
    } else {
        QString expression;
        if (!ShowTaskFilter(expression, this)) return;
        QryFeladat->setFilter(expression);
        QryFeladat->setFiltered(true);
        aSzurF->setChecked(true);
    }
    UpdateStatusLine(2);
}

void Tfrm_Main::adminCommand(void (Tfrm_Main::*command)())
{
    if (!Beall.adminRight) {
        ShowNoRight(this);
        return;
    }
    (this->*command)();
}

void Tfrm_Main::openUsers() { ShowUsers(this); }

void Tfrm_Main::openSettings() { ShowSettingsDialog(this); }

void Tfrm_Main::archive()
{
    // The archive closes the connection to read the table files; the lists
    // that were open come back on the rows they stood on.
    struct Open {
        DataSet* ds;
        const char* key;
        int id;
    };
    std::vector<Open> reopen;
    const std::pair<DataSet*, const char*> lists[] = {
        {TblCegek, "ceg"}, {Qry, "ugyfel"}, {QryFeladat, "feladat"}, {TblTermek, "termek"}};
    for (const auto& [ds, key] : lists)
        if (ds->isActive()) reopen.push_back({ds, key, ds->fieldByName(key)->asInteger()});
    ArchiveDatabase(this);
    for (const Open& o : reopen) {
        if (o.ds->isActive()) continue;
        o.ds->open();
        o.ds->locate(o.key, o.id);
    }
    UpdateStatusLine(tabIndex());
}

bool Tfrm_Main::event(QEvent* event)
{
    // Hints of the control under the mouse go to status panel 3.
    if (event->type() == QEvent::StatusTip) {
        StatusPanels[3]->setText(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    // Coming back from another program, the user expects its changes shown.
    // A list that cannot be read now (a table locked by the maintenance
    // tool) says why in the status bar: a message box here would come back
    // with every activation.
    if (event->type() == QEvent::WindowActivate && created_) {
        try {
            refreshOutdated(tabIndex());
        } catch (const DbError& e) {
            StatusPanels[3]->setText(e.message());
        }
    }
    return QMainWindow::event(event);
}
