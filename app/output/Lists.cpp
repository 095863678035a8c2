#include "Lists.h"

#include <QStringList>

#include <initializer_list>
#include <utility>

#include "common/DataSet.h"

namespace lists {

namespace {

const QStringList kCustomerQuery = {
    "SELECT",
    " ugyfel.*,",
    " tipus.tipus_nev,",
    " ceg.ceg_nev,",
    " uzletkoto.uzletkoto_nev",
    "FROM ugyfel",
    " LEFT OUTER JOIN tipus ON (ugyfel.tipus = tipus.tipus)",
    " LEFT OUTER JOIN ceg ON (ugyfel.ceg = ceg.ceg)",
    " LEFT OUTER JOIN uzletkoto ON (ugyfel.uzletkoto = uzletkoto.uzletkoto)",
    "ORDER BY 1;",
};

struct Reference {
    const char* table;
    QStringList columns;
};

const Reference& referenceOf(TaskRef ref)
{
    static const Reference kCustomer{"ugyfel", {"ugyfel_nev"}};
    static const Reference kProduct{"termek", {"cikkszam", "cikkszam_nev"}};
    static const Reference kState{"allapot", {"allapot_nev"}};
    static const Reference kPriority{"prioritas", {"prioritas_nev", "szin"}};
    static const Reference kKind{"feltipus", {"feltipus_nev"}};
    static const Reference kResult{"feleredmeny", {"feleredmeny_nev"}};
    static const Reference kCompany{"ceg", {"ceg_nev"}};
    switch (ref) {
    case TaskRef::Customer: return kCustomer;
    case TaskRef::Product: return kProduct;
    case TaskRef::State: return kState;
    case TaskRef::Priority: return kPriority;
    case TaskRef::Kind: return kKind;
    case TaskRef::Result: return kResult;
    case TaskRef::Company: break;
    }
    return kCompany;
}

void labels(DataSet* ds, const std::initializer_list<std::pair<const char*, const char*>>& list)
{
    for (const auto& [field, label] : list) ds->setDisplayLabel(field, label);
}

}  // namespace

QStringList TaskSelect(std::initializer_list<TaskRef> refs)
{
    QStringList lines{"SELECT", " feladat.*"};
    QStringList joins;
    for (TaskRef ref : refs) {
        const Reference& r = referenceOf(ref);
        for (const QString& c : r.columns) {
            lines.last() += ',';
            lines << QString(" %1.%2").arg(r.table, c);
        }
        joins << QString(" LEFT OUTER JOIN %1 ON (feladat.%1 = %1.%1)").arg(r.table);
    }
    return lines << "FROM feladat" << joins;
}

QStringList TaskQuery()
{
    using enum TaskRef;
    return TaskSelect({Customer, Product, State, Priority, Kind, Result, Company}) << "ORDER BY feladat.feladat;";
}

void SetupCompanyTable(TableDataSet* ds)
{
    ds->setTableName("ceg.DB");
    labels(ds, {{"ceg_nev", "cégnév"}, {"cim_irsz", "irsz"}, {"cim_varos", "város"}, {"cim_cim", "cím"},
                {"tel_irsz", "tel.irsz."}, {"tel_varos", "tel.város"}, {"tel_cim", "tel.cím"}});
}

void SetupCustomerQuery(QueryDataSet* ds)
{
    ds->setSql(kCustomerQuery);
    ds->setKeyField("ugyfel");
    labels(ds, {{"Ugyfel_nev", "ügyfél"},         {"Telefon_magan", "magántelefon"},
                {"Telefon_ceges", "céges telefon"}, {"Mobil", "mobil"},
                {"Fax", "fax"},                     {"Emil1", "e-mail 1."},
                {"Emil2", "e-mail 2."},             {"Honlap", "honlap"},
                {"Cim_varos", "város"},             {"Cim_irsz", "irsz."},
                {"Cim_cim", "cím"},                 {"Kapcsolat", "kapcsolat"},
                {"Datum", "dátum"},                 {"Megjegyzes", "megjegyzés"},
                {"vnev", "vezetéknév"},             {"knev", "keresztnév"},
                {"honap", "hónap"},                 {"tipus", "típus"},
                {"ceg", "cég"},                     {"uzletkoto", "üzletkötő"},
                {"tipus_nev", "típus"},             {"ceg_nev", "cég"},
                {"uzletkoto_nev", "üzletkötő"},     {"dat_figy", "dat.figyelmeztet"},
                {"figy_szoveg", "figyelmeztet"}});
}

void SetupTaskQuery(QueryDataSet* ds)
{
    ds->setSql(TaskQuery());
    ds->setKeyField("feladat");
    ds->setDisplayFormat("feladat", "00000");
    labels(ds, {{"feladat", "id"},
                {"dat_beerk", "beérkezett"},
                {"dat_hatid", "határidő"},
                {"ugyfel_nev", "alkalmazott"},
                {"cikkszam", "cikkszám"},
                {"cikkszam_nev", "termék megnevezés"},
                {"allapot_nev", "állapot"},
                {"prioritas_nev", "prioritás"},
                {"rovid", "rövid leírás"},
                {"leiras", "feladat leírás"},
                {"feltipus_nev", "típus"},
                {"feleredmeny_nev", "eredmény"},
                {"lezarva", "lezárva"},
                {"ceg_nev", "cég"}});
    // Until the task filter command is turned off, only unfinished tasks show.
    ds->setFilter("lezarva='N'");
    ds->setFiltered(true);
}

void SetupProductTable(TableDataSet* ds)
{
    ds->setTableName("termek.DB");
    labels(ds, {{"cikkszam", "cikkszám"}, {"cikkszam_nev", "megnevezés"}, {"kategoria", "kategória"}});
}

}  // namespace lists
