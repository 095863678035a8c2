#include "FeladatBongeszo.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QToolBar>
#include <QVBoxLayout>

#include "SearchWindow.h"
#include "app/Main/Beall.h"
#include "app/Main/Main.h"
#include "app/output/Grid2Html.h"
#include "app/output/Hatarolt.h"
#include "app/output/Lists.h"
#include "app/output/rptFeladatReszl2.h"
#include "common/DataSet.h"
#include "common/Interaction.h"
#include "widgets/DBGrid.h"
#include "widgets/MenuStyle.h"
#include "widgets/WindowConventions.h"

QString TaskBrowserFilter(bool byCustomer, int ownerId, bool inProgressOnly)
{
    const QString owner = QString(byCustomer ? "(ugyfel=" : "(termek=") + QString::number(ownerId) + ")";
    return inProgressOnly ? owner + " and (lezarva = 'N')" : owner;
}

Tfrm_FeladatBongeszo::Tfrm_FeladatBongeszo(bool byCustomer, int ownerId, const QString& heading, QWidget* parent)
    : QDialog(parent), byCustomer_(byCustomer), ownerId_(ownerId)
{
    setObjectName("frm_FeladatBongeszo");
    setWindowTitle("Feladatok");
    resize(720, 420);
    // Enter belongs to "Kiválaszt".
    KeepOwnEnter(this);

    Qry = new QueryDataSet(Connection::byName(DatabaseAlias), this);
    // The query asks for the owner's tasks only, so that a browser over a
    // few tasks does not join every task first; the filter still names the
    // owner, so that the query with its filter stands on its own wherever
    // it is copied (the browser's print).
    using enum lists::TaskRef;
    Qry->setSql(lists::TaskSelect({Customer, Product, State, Priority, Kind, Company, Result})
                << (byCustomer ? "WHERE feladat.ugyfel = :pid" : "WHERE feladat.termek = :pid")
                << "ORDER BY feladat;");
    Qry->setParam("pid", QueryDataSet::ParamType::Integer, ownerId);
    const std::pair<const char*, const char*> labels[] = {
        {"feladat", "id"},
        {"dat_beerk", "beérkezett"},
        {"dat_hatid", "határidő"},
        {"ugyfel_nev", "ügyfél"},
        {"cikkszam", "cikkszám"},
        {"cikkszam_nev", "termék megnevezés"},
        {"allapot_nev", "állapot"},
        {"prioritas_nev", "prioritás"},
        {"rovid", "rövid leírás"},
        {"leiras", "feladat leírás"},
        {"feltipus_nev", "típus"},
        {"feleredmeny_nev", "eredmény"},
        {"lezarva", "lezárva"},
    };
    for (const auto& [field, label] : labels) Qry->setDisplayLabel(field, label);

    aSzur = MakeWindowAction(this, "aSzur", "Csak folyamatban", {Qt::Key_F3}, Pic::Filter, "Szűrés: csak folyamatban");
    aSzur->setCheckable(true);
    aSzur->setChecked(true);
    aNyomtat = MakeWindowAction(this, "aNyomtat", "Nyomtat", {QKeySequence(Qt::CTRL | Qt::Key_P)}, Pic::Print);
    aNyomtatKep = MakeWindowAction(this, "aNyomtatKep", "Nyomtatási kép", {QKeySequence(Qt::CTRL | Qt::Key_K)},
                                   Pic::Preview);
    aExcel = MakeWindowAction(this, "aExcel", "Excelbe", {QKeySequence(Qt::CTRL | Qt::Key_E)}, Pic::Excel);
    aHtml = MakeWindowAction(this, "aHtml", "Html export", {QKeySequence(Qt::CTRL | Qt::Key_H)}, Pic::Html);
    aElfogad = MakeWindowAction(this, "aElfogad", "Kiválaszt", {Qt::Key_Return, Qt::Key_Enter}, Pic::Edit);
    aMegsem = MakeWindowAction(this, "aMegsem", "Mégsem", {Qt::Key_Escape}, Pic::Close);
    connect(aNyomtat, &QAction::triggered, this, [this, heading] { PrintTaskDetailsOf(*Qry, heading, true, this); });
    connect(aNyomtatKep, &QAction::triggered, this,
            [this, heading] { PrintTaskDetailsOf(*Qry, heading, false, this); });
    connect(aExcel, &QAction::triggered, this, [this] { ShowDelimitedExport(Qry, "Feladat böngésző.csv", this); });
    connect(aHtml, &QAction::triggered, this, [this] { ShowHtmlExport(DBGrid1, "Feladatok", QString(), this); });
    connect(aSzur, &QAction::triggered, this, &Tfrm_FeladatBongeszo::applyFilter);
    connect(aElfogad, &QAction::triggered, this, &QDialog::accept);
    connect(aMegsem, &QAction::triggered, this, &QDialog::reject);

    PopupMenu2 = MakeActionMenu(this, {aNyomtat, aNyomtatKep, nullptr, aExcel, aHtml});
    ToolBar1 = MakeCaptionToolBar(this, {aSzur, nullptr, aNyomtat, nullptr, aElfogad, aMegsem}, aNyomtat, PopupMenu2);
    ToolBar1->setObjectName("ToolBar1");
    PopupMenu1 =
        MakeActionMenu(this, {aSzur, nullptr, aNyomtat, aNyomtatKep, aExcel, nullptr, aElfogad, aMegsem});

    Panel1 = new QLabel(heading, this);
    Panel1->setObjectName("Panel1");
    Panel1->setTextFormat(Qt::PlainText);
    Panel1->setContentsMargins(8, 4, 8, 4);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    QFont hf("Tahoma");
    hf.setPointSize(9);
    hf.setBold(true);
    Panel1->setFont(hf);

    DBGrid1 = new DBGrid(this);
    DBGrid1->setObjectName("DBGrid1");
    const std::pair<const char*, int> columns[] = {{"dat_beerk", 80},    {"dat_hatid", 80},     {"cikkszam_nev", 150},
                                                   {"allapot_nev", 100}, {"prioritas_nev", 90}, {"rovid", 190}};
    for (const auto& [field, width] : columns) DBGrid1->addColumn(field, QString(), width);
    DBGrid1->setTitleClicksEnabled(false);
    DBGrid1->setDataSet(Qry);
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBGrid1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { PopupMenu1->popup(DBGrid1->viewport()->mapToGlobal(p)); });
    connect(DBGrid1, &QAbstractItemView::doubleClicked, aElfogad, &QAction::trigger);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(ToolBar1);
    column->addWidget(Panel1);
    column->addWidget(DBGrid1, 1);

    Qry->setFilter(TaskBrowserFilter(byCustomer_, ownerId_, true));
    Qry->setFiltered(true);
    Qry->open();
}

Tfrm_FeladatBongeszo::~Tfrm_FeladatBongeszo() { Qry->close(); }

void Tfrm_FeladatBongeszo::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    SetMenuStyle(this);
    DBGrid1->setFocus();
}

void Tfrm_FeladatBongeszo::applyFilter() { Qry->setFilter(TaskBrowserFilter(byCustomer_, ownerId_, aSzur->isChecked())); }

int BrowseTasks(bool byCustomer, int ownerId, const QString& heading, QWidget* owner)
{
    Tfrm_FeladatBongeszo w(byCustomer, ownerId, heading, owner);
    if (interaction().runModal(w) != QDialog::Accepted) return -1;
    return w.Qry->isEmpty() ? 0 : w.Qry->fieldByName("feladat")->asInteger();
}

void RunTaskBrowser(Tfrm_Main* main)
{
    const int tab = main->tabIndex();
    if (tab != 1 && tab != 3) return;
    DataSet* list = main->browseDataSet(tab);
    const bool byCustomer = tab == 1;
    const bool hasRow = list->isActive() && !list->isEmpty();
    const int id = hasRow ? list->fieldByName(byCustomer ? "ugyfel" : "termek")->asInteger() : 0;
    const QString name = hasRow ? list->fieldByName(byCustomer ? "Ugyfel_nev" : "cikkszam_nev")->asString() : QString();
    const int task = BrowseTasks(byCustomer, id, (byCustomer ? "Ügyfél: " : "Termék: ") + name, main);
    if (task == -1) return;
    main->setTabIndex(2);
    main->QryFeladat->locate("feladat", task);
}
