#include "Layout.h"

#include <initializer_list>

namespace layout {

namespace {

using engine::FieldDef;
using engine::FieldType;
using engine::IndexDef;
using engine::TableDef;

FieldDef autoinc(const char* n) { return {n, FieldType::AutoInc, 0}; }
FieldDef integer(const char* n) { return {n, FieldType::Long, 0}; }
FieldDef text(const char* n, int size) { return {n, FieldType::Alpha, size}; }
FieldDef date(const char* n) { return {n, FieldType::Date, 0}; }
FieldDef timestamp(const char* n) { return {n, FieldType::Timestamp, 0}; }
FieldDef memo(const char* n) { return {n, FieldType::Memo, 0}; }
FieldDef fmtMemo(const char* n) { return {n, FieldType::FmtMemo, 0}; }
FieldDef logical(const char* n) { return {n, FieldType::Logical, 0}; }
FieldDef number(const char* n) { return {n, FieldType::Number, 0}; }

IndexDef ci(const char* name, const char* field) { return {name, {field}, true, false}; }
IndexDef plain(const char* name, const char* field) { return {name, {field}, false, false}; }
IndexDef desc(const char* name, const char* field) { return {name, {field}, false, true}; }

TableLayout table(const char* name, int keyFields, std::initializer_list<FieldDef> fields,
                  std::initializer_list<IndexDef> indexes = {})
{
    return {name, TableDef{fields, keyFields, indexes}};
}

std::vector<TableLayout> build()
{
    // Reminder and keyword fields shared by customers, companies, tasks and products.
    const FieldDef datFigy = date("dat_figy");
    const FieldDef figySzoveg = text("figy_szoveg", 255);
    const FieldDef kulcsszavak = text("kulcsszavak", 255);

    return {
        table("ugyfel", 1,
              {autoinc("Ugyfel"), text("Ugyfel_nev", 100), text("Telefon_magan", 20),
               text("Telefon_ceges", 20), text("Mobil", 20), text("Fax", 20), text("Emil1", 100),
               text("Emil2", 100), text("Honlap", 100), text("Cim_varos", 50), text("Cim_irsz", 5),
               text("Cim_cim", 100), text("Kapcsolat", 50), date("Datum"), memo("Megjegyzes"),
               text("vnev", 50), text("knev", 25), integer("honap"), integer("nap"), integer("tipus"),
               integer("ceg"), integer("uzletkoto"), datFigy, figySzoveg, integer("beosztas"),
               text("prefix", 10), integer("ffino"), kulcsszavak},
              {ci("idx_ugyfel_nev", "ugyfel_nev")}),
        table("ceg", 1,
              {autoinc("ceg"), text("ceg_nev", 100), text("cim_irsz", 6), text("cim_varos", 25),
               text("cim_cim", 50), text("tel_irsz", 6), text("tel_varos", 25), text("tel_cim", 50),
               text("telefon", 25), text("honlap", 100), text("kapcsolat", 25), datFigy, figySzoveg,
               kulcsszavak},
              {ci("idx_ceg_nev", "ceg_nev"), ci("idx_cim_irsz", "cim_irsz"),
               ci("idx_cim_varos", "cim_varos"), ci("idx_cim_cim", "cim_cim"),
               ci("idx_telefon", "telefon"), ci("idx_dat_figy", "dat_figy")}),
        table("feladat", 1,
              {autoinc("feladat"), date("dat_beerk"), date("dat_hatid"), integer("ugyfel"),
               integer("allapot"), integer("prioritas"), text("rovid", 75), memo("leiras"),
               integer("feltipus"), integer("feleredmeny"), text("lezarva", 1), integer("termek"),
               datFigy, figySzoveg, kulcsszavak, date("dat_lezar"), integer("ceg")}),
        table("termek", 1,
              {autoinc("termek"), text("cikkszam", 15), text("cikkszam_nev", 50),
               text("kategoria", 10), datFigy, figySzoveg, kulcsszavak},
              {ci("idx_cikkszam", "cikkszam"), ci("idx_cikkszam_nev", "cikkszam_nev"),
               ci("idx_kategoria", "kategoria")}),
        table("ugyf_megj", 1,
              {autoinc("ugyf_megj"), integer("ugyfel"), date("datum"), text("rovid", 50),
               memo("megjegyzes"), integer("tipus")},
              {desc("idx_datum_desc", "datum")}),
        table("ugyf_ertesit", 1,
              {autoinc("ugyf_ertesit"), integer("ugyfel"), date("datum"), text("rovid", 50),
               integer("tipus")},
              {desc("idx_dat_desc", "datum")}),
        table("megj", 2,
              {integer("Ugyfel"), text("doknev", 255), text("doknev_rovid", 50), date("datum"),
               integer("tipus")}),
        table("korlevel", 1,
              {autoinc("korlevel"), text("rovid", 75), fmtMemo("szoveg"), integer("tipus")},
              {ci("idx_rovid", "rovid")}),
        table("tipus", 1, {autoinc("tipus"), text("tipus_nev", 25)},
              {ci("idx_tipus_nev", "tipus_nev")}),
        table("uzletkoto", 1,
              {autoinc("uzletkoto"), text("uzletkoto_nev", 50), text("telefon", 25),
               text("mobil", 25), text("emil", 100)},
              {ci("idx_uzletkoto_nev", "uzletkoto_nev")}),
        table("beosztas", 1, {autoinc("beosztas"), text("beosztas_nev", 25)},
              {ci("idx_beosztas_nev", "beosztas_nev")}),
        table("prioritas", 1,
              {integer("prioritas"), text("prioritas_nev", 25), integer("hatid"), integer("szin")}),
        table("allapot", 1,
              {integer("allapot"), text("allapot_nev", 25), text("keszenvan", 1)}),
        table("feltipus", 1, {autoinc("feltipus"), text("feltipus_nev", 25)},
              {plain("idx_feltipus_nev", "feltipus_nev")}),
        table("feleredmeny", 1, {autoinc("feleredmeny"), text("feleredmeny_nev", 25)},
              {plain("idx_feleredmeny_nev", "feleredmeny_nev")}),
        table("nevnap", 3, {integer("Honap"), integer("Nap"), text("Nev", 25)},
              {ci("nev", "Nev")}),
        table("kategoria", 1, {text("kategoria", 10), text("kategoria_nev", 50)}),
        table("irsz", 1, {autoinc("Id"), text("irsz", 6), text("varos", 50)}),
        table("cimke", 1,
              {text("cimke", 25), number("felsomargo"), number("szelsomargo"), number("cimkemagas"),
               integer("oszlop")}),
        table("felhasznalo", 1,
              {text("felhasznalo", 20), text("felhasznalo_nev", 20), text("jelszo", 10),
               text("rendszergazda", 1), text("torzsszerkeszt", 1)}),
        table("tulajdonos", 1,
              {text("tulajdonos", 100), text("telefon", 25), text("mobil", 25), text("fax", 25),
               text("irsz", 5), text("varos", 25), text("cim", 50), text("adoszam", 11),
               text("bankszamlaszam", 24)}),
        table("naplo", 0, {text("felhasznalo", 20), timestamp("datum"), text("sikeres", 1)}),
        table("beallit", 1,
              {autoinc("beallit"), text("vanbelep", 1), integer("alapprioritas"),
               integer("alaphatarido")}),
        table("emil", 0,
              {text("emil", 100), text("nev", 100), logical("kuldve"), integer("csoport"),
               text("vnev", 50), text("knev", 50), integer("honap"), integer("nap")}),
        table("mail", 1,
              {autoinc("mail"), text("host", 100), text("pwd", 50), integer("port"),
               text("username", 100), text("Emil", 100)}),
    };
}

}  // namespace

const std::vector<TableLayout>& tables()
{
    static const std::vector<TableLayout> all = build();
    return all;
}

const TableLayout* find(std::string_view name)
{
    for (const auto& t : tables())
        if (engine::sameName(t.name, name)) return &t;
    return nullptr;
}

engine::Status createAll(engine::Database& db)
{
    for (const auto& t : tables()) {
        engine::Status s = db.createTable(t.name, t.def);
        if (!s.isOk()) return s;
    }
    return engine::Status::ok();
}

}  // namespace layout
