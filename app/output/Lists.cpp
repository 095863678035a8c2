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

const QStringList kTaskQuery = {
    "SELECT",
    " feladat.*,",
    " ugyfel.ugyfel_nev,",
    " termek.cikkszam,",
    " termek.cikkszam_nev,",
    " allapot.allapot_nev,",
    " prioritas.prioritas_nev,",
    " prioritas.szin,",
    " feltipus.feltipus_nev,",
    " feleredmeny.feleredmeny_nev,",
    " ceg.ceg_nev",
    "FROM feladat",
    " LEFT OUTER JOIN ugyfel ON (feladat.ugyfel = ugyfel.ugyfel)",
    " LEFT OUTER JOIN termek ON (feladat.termek = termek.termek)",
    " LEFT OUTER JOIN allapot ON (feladat.allapot = allapot.allapot)",
    " LEFT OUTER JOIN prioritas ON (feladat.prioritas = prioritas.prioritas)",
    " LEFT OUTER JOIN feltipus ON (feladat.feltipus = feltipus.feltipus)",
    " LEFT OUTER JOIN feleredmeny ON (feladat.feleredmeny = feleredmeny.feleredmeny)",
    " LEFT OUTER JOIN ceg ON (feladat.ceg = ceg.ceg)",
    "ORDER BY feladat.feladat;",
};

void labels(DataSet* ds, const std::initializer_list<std::pair<const char*, const char*>>& list)
{
    for (const auto& [field, label] : list) ds->setDisplayLabel(field, label);
}

}  // namespace

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
    ds->setSql(kTaskQuery);
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
