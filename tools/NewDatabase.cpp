#include "NewDatabase.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <utility>
#include <vector>

#include "common/Layout.h"
#include "engine/Codepage.h"
#include "engine/Database.h"

namespace newdb {

namespace {

using engine::Date;
using engine::ErrorCode;
using engine::Status;
using engine::Value;

Value I(int64_t v) { return Value::fromInt(v); }
Value D(Date d) { return Value::fromDate(d); }
Value T(const std::string& utf8)
{
    auto t = engine::utf8ToCp1250(utf8);
    return t.isOk() ? Value::fromText(*t) : Value();
}

// Appends rows to one table; the first failure is kept and ends the work.
class TableWriter {
public:
    TableWriter(engine::Database& db, const char* name) : name_(name)
    {
        auto t = db.openTable(name, engine::OpenMode::Exclusive);
        if (t.isOk())
            table_ = *t;
        else
            status_ = t.status();
    }
    ~TableWriter()
    {
        if (table_ && status_.isOk()) status_ = table_->flush();
    }

    // Sets the named fields; the others stay blank. Returns the AutoInc key
    // the store gave the row (0 when the table has none or the row failed).
    int64_t add(std::initializer_list<std::pair<const char*, Value>> values)
    {
        if (!table_ || !status_.isOk()) return 0;
        const engine::TableDef& def = table_->def();
        engine::Record rec(def.fields.size());
        for (const auto& [field, value] : values) {
            const int i = def.fieldIndex(field);
            if (i < 0) {
                status_ = Status::error(ErrorCode::NotFound,
                                        std::string("Nincs ilyen mező: ") + name_ + "." + field);
                return 0;
            }
            rec[size_t(i)] = value;
        }
        auto r = table_->insert(rec);
        if (!r.isOk()) {
            status_ = r.status();
            return 0;
        }
        for (size_t i = 0; i < def.fields.size(); ++i)
            if (def.fields[i].type == engine::FieldType::AutoInc) return rec[i].asInt();
        return 0;
    }

    Status status()
    {
        if (table_ && status_.isOk()) status_ = table_->flush();
        return status_;
    }

private:
    std::string name_;
    std::shared_ptr<engine::Table> table_;
    Status status_;
};

// Rows of a ";"-separated UTF-8 file without its heading line.
engine::Result<std::vector<std::vector<std::string>>> readCsv(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return Status::error(ErrorCode::NotFound, "A fájl nem olvasható: " + path);
    std::vector<std::vector<std::string>> rows;
    std::string line;
    bool heading = true;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (heading) {
            heading = false;
            continue;
        }
        if (line.empty()) continue;
        std::vector<std::string> cells;
        std::stringstream ss(line);
        std::string cell;
        while (std::getline(ss, cell, ';')) cells.push_back(cell);
        rows.push_back(std::move(cells));
    }
    return rows;
}

struct NameDay {
    int month, day;
    std::string name;
};

Status fillReference(engine::Database& db, const std::vector<NameDay>& nameDays,
                     const std::vector<std::vector<std::string>>& postalCodes)
{
    {
        TableWriter w(db, "nevnap");
        for (const NameDay& n : nameDays)
            w.add({{"Honap", I(n.month)}, {"Nap", I(n.day)}, {"Nev", T(n.name)}});
        if (Status s = w.status(); !s.isOk()) return s;
    }
    {
        TableWriter w(db, "irsz");
        for (const auto& row : postalCodes)
            if (row.size() >= 2) w.add({{"irsz", T(row[0])}, {"varos", T(row[1])}});
        if (Status s = w.status(); !s.isOk()) return s;
    }
    {
        TableWriter w(db, "felhasznalo");
        w.add({{"felhasznalo", T(AdminUser)},
               {"felhasznalo_nev", T("Rendszergazda")},
               {"jelszo", T(AdminPassword)},
               {"rendszergazda", T("I")},
               {"torzsszerkeszt", T("I")}});
        if (Status s = w.status(); !s.isOk()) return s;
    }
    {
        // Priority 2 "Normál" with its 7 days is what a new task gets.
        TableWriter w(db, "beallit");
        w.add({{"vanbelep", T("I")}, {"alapprioritas", I(2)}, {"alaphatarido", I(7)}});
        if (Status s = w.status(); !s.isOk()) return s;
    }
    {
        TableWriter w(db, "allapot");
        const std::pair<const char*, const char*> statuses[] = {
            {"Új", "N"}, {"Folyamatban", "N"}, {"Várakozik", "N"}, {"Kész", "I"}, {"Elmaradt", "I"}};
        int code = 1;
        for (const auto& [name, done] : statuses)
            w.add({{"allapot", I(code++)}, {"allapot_nev", T(name)}, {"keszenvan", T(done)}});
        if (Status s = w.status(); !s.isOk()) return s;
    }
    {
        // Text colours of the task list, as $BBGGRR: red, black, dark green,
        // dark blue (readable on the white grid).
        TableWriter w(db, "prioritas");
        w.add({{"prioritas", I(1)}, {"prioritas_nev", T("Sürgős")}, {"hatid", I(1)}, {"szin", I(0x0000C0)}});
        w.add({{"prioritas", I(2)}, {"prioritas_nev", T("Normál")}, {"hatid", I(7)}, {"szin", I(0x000000)}});
        w.add({{"prioritas", I(3)}, {"prioritas_nev", T("Ráér")}, {"hatid", I(30)}, {"szin", I(0x007000)}});
        w.add({{"prioritas", I(4)}, {"prioritas_nev", T("Tájékoztató")}, {"hatid", I(60)}, {"szin", I(0xA00000)}});
        if (Status s = w.status(); !s.isOk()) return s;
    }
    return Status::ok();
}

Status fillOwner(engine::Database& db, bool sample)
{
    TableWriter w(db, "tulajdonos");
    if (sample)
        w.add({{"tulajdonos", T("Kovács és Társa Irodatechnikai Bt.")},
               {"telefon", T("+36 62 555 123")},
               {"mobil", T("+36 30 555 1234")},
               {"fax", T("+36 62 555 124")},
               {"irsz", T("6720")},
               {"varos", T("Szeged")},
               {"cim", T("Kárász utca 5.")},
               {"adoszam", T("12345678206")},
               {"bankszamlaszam", T("117350052051234500000000")}});
    else
        w.add({{"tulajdonos", T("Saját cég neve")}});
    return w.status();
}

// The name day of a given name: the first one in the calendar.
std::pair<int, int> nameDayOf(const std::vector<NameDay>& nameDays, const std::string& name)
{
    for (const NameDay& n : nameDays)
        if (n.name == name) return {n.month, n.day};
    return {0, 0};
}

Status fillSample(engine::Database& db, const std::vector<NameDay>& nameDays)
{
    const Date today = Date::today();
    int ty, tm, td;
    today.toYmd(ty, tm, td);

    std::map<std::string, int64_t> tipus, uzletkoto, beosztas, feltipus, feleredmeny;
    {
        TableWriter w(db, "tipus");
        for (const char* n : {"Vevő", "Szállító", "Partner", "Érdeklődő"})
            tipus[n] = w.add({{"tipus_nev", T(n)}});
        if (Status s = w.status(); !s.isOk()) return s;
    }
    {
        TableWriter w(db, "uzletkoto");
        uzletkoto["Szabó Péter"] = w.add({{"uzletkoto_nev", T("Szabó Péter")},
                                          {"telefon", T("+36 62 555 130")},
                                          {"mobil", T("+36 30 555 2345")},
                                          {"emil", T("szabo.peter@kovacsestarsa.hu")}});
        uzletkoto["Nagy Krisztina"] = w.add({{"uzletkoto_nev", T("Nagy Krisztina")},
                                             {"telefon", T("+36 62 555 131")},
                                             {"mobil", T("+36 20 555 3456")},
                                             {"emil", T("nagy.krisztina@kovacsestarsa.hu")}});
        if (Status s = w.status(); !s.isOk()) return s;
    }
    {
        TableWriter w(db, "beosztas");
        for (const char* n : {"Ügyvezető", "Titkárnő", "Műszaki vezető", "Könyvelő", "Beszerző"})
            beosztas[n] = w.add({{"beosztas_nev", T(n)}});
        if (Status s = w.status(); !s.isOk()) return s;
    }
    {
        TableWriter w(db, "feltipus");
        for (const char* n : {"Ajánlatkérés", "Szerviz", "Reklamáció", "Szállítás", "Egyeztetés"})
            feltipus[n] = w.add({{"feltipus_nev", T(n)}});
        if (Status s = w.status(); !s.isOk()) return s;
    }
    {
        TableWriter w(db, "feleredmeny");
        for (const char* n : {"Sikeres", "Sikertelen", "Elhalasztva"})
            feleredmeny[n] = w.add({{"feleredmeny_nev", T(n)}});
        if (Status s = w.status(); !s.isOk()) return s;
    }
    {
        TableWriter w(db, "cimke");
        w.add({{"cimke", T("A4 3x8 (70x37 mm)")}, {"felsomargo", Value::fromFloat(0)},
               {"szelsomargo", Value::fromFloat(0)}, {"cimkemagas", Value::fromFloat(37)},
               {"oszlop", I(3)}});
        w.add({{"cimke", T("A4 2x7 (105x42 mm)")}, {"felsomargo", Value::fromFloat(1.5)},
               {"szelsomargo", Value::fromFloat(0)}, {"cimkemagas", Value::fromFloat(42)},
               {"oszlop", I(2)}});
        if (Status s = w.status(); !s.isOk()) return s;
    }

    struct Company {
        const char *name, *zip, *city, *street, *phone, *web;
    };
    const Company companies[] = {
        {"Alföldi Építő Kft.", "6724", "Szeged", "Londoni körút 12.", "+36 62 420 311", "www.alfoldiepito.hu"},
        {"Tisza Papír Zrt.", "6000", "Kecskemét", "Szolnoki út 44.", "+36 76 481 200", "www.tiszapapir.hu"},
        {"Mecsek Fűtéstechnika Bt.", "7621", "Pécs", "Király utca 7.", "+36 72 315 918", ""},
        {"Bakonyi Asztalosipari Kft.", "8200", "Veszprém", "Házgyári út 3.", "+36 88 567 120", "www.bakonyiasztalos.hu"},
        {"Duna Logisztika Kft.", "1097", "Budapest", "Könyves Kálmán körút 76.", "+36 1 455 7800", "www.dunalog.hu"},
        {"Hajdúsági Agrár Szövetkezet", "4025", "Debrecen", "Piac utca 51.", "+36 52 530 400", ""},
        {"Rába Gépszerviz Kft.", "9024", "Győr", "Baross Gábor út 18.", "+36 96 512 640", "www.rabagepszerviz.hu"},
        {"Balaton Vendéglátó Bt.", "8230", "Balatonfüred", "Tagore sétány 2.", "+36 87 342 555", ""},
        {"Zemplén Informatika Kft.", "3525", "Miskolc", "Széchenyi István utca 30.", "+36 46 412 300", "www.zemplen-it.hu"},
        {"Csongrádi Nyomda Kft.", "6640", "Csongrád", "Fő utca 14.", "+36 63 483 112", ""},
        {"Nyírségi Kertészet Bt.", "4400", "Nyíregyháza", "Kossuth tér 9.", "+36 42 508 700", ""},
        {"Sopron Irodaház Kft.", "9400", "Sopron", "Várkerület 88.", "+36 99 510 230", "www.sopronirodahaz.hu"},
    };
    std::vector<int64_t> cegKeys;
    {
        TableWriter w(db, "ceg");
        int i = 0;
        for (const Company& c : companies) {
            const bool reminder = i == 2 || i == 6;
            cegKeys.push_back(w.add({{"ceg_nev", T(c.name)},
                                     {"cim_irsz", T(c.zip)},
                                     {"cim_varos", T(c.city)},
                                     {"cim_cim", T(c.street)},
                                     {"telefon", T(c.phone)},
                                     {"honlap", *c.web ? T(c.web) : Value()},
                                     {"kapcsolat", T(i % 2 ? "személyes" : "telefonos")},
                                     {"dat_figy", reminder ? D(today.addDays(-i / 2)) : Value()},
                                     {"figy_szoveg", reminder ? T("Éves szerződés megújítása") : Value()},
                                     {"kulcsszavak", T(i % 3 == 0 ? "nagyker; rendszeres" : "viszonteladó")}}));
            ++i;
        }
        if (Status s = w.status(); !s.isOk()) return s;
    }

    // Two customers carry today's name day, whatever day the database is made.
    std::vector<std::string> todays;
    for (const NameDay& n : nameDays)
        if (n.month == tm && n.day == td) todays.push_back(n.name);
    if (todays.empty()) todays.push_back("Mária");
    struct Person {
        const char *family, *given, *prefix;
        int company;  // index into companies, -1 for none
        const char* position;
        const char* type;
        const char *city, *zip, *street;
    };
    const Person people[] = {
        {"Kiss", "László", "", 0, "Ügyvezető", "Vevő", "Szeged", "6724", "Londoni körút 12."},
        {"Tóth", "Erzsébet", "", 0, "Titkárnő", "Vevő", "Szeged", "6724", "Londoni körút 12."},
        {"Horváth", "Gábor", "", 1, "Beszerző", "Vevő", "Kecskemét", "6000", "Szolnoki út 44."},
        {"Varga", "Katalin", "dr.", 1, "Ügyvezető", "Vevő", "Kecskemét", "6000", "Szolnoki út 44."},
        {"Molnár", "Zoltán", "", 2, "Műszaki vezető", "Partner", "Pécs", "7621", "Király utca 7."},
        {"Németh", "Judit", "", 2, "Könyvelő", "Partner", "Pécs", "7621", "Király utca 7."},
        {"Farkas", "István", "", 3, "Ügyvezető", "Szállító", "Veszprém", "8200", "Házgyári út 3."},
        {"Balogh", "Anikó", "", 3, "Beszerző", "Szállító", "Veszprém", "8200", "Házgyári út 3."},
        {"Papp", "Tamás", "", 4, "Műszaki vezető", "Partner", "Budapest", "1097", "Könyves Kálmán körút 76."},
        {"Takács", "Éva", "", 4, "Titkárnő", "Partner", "Budapest", "1097", "Könyves Kálmán körút 76."},
        {"Juhász", "Sándor", "", 5, "Ügyvezető", "Vevő", "Debrecen", "4025", "Piac utca 51."},
        {"Lakatos", "Ildikó", "", 5, "Könyvelő", "Vevő", "Debrecen", "4025", "Piac utca 51."},
        {"Mészáros", "József", "", 6, "Műszaki vezető", "Szállító", "Győr", "9024", "Baross Gábor út 18."},
        {"Oláh", "Andrea", "", 6, "Beszerző", "Szállító", "Győr", "9024", "Baross Gábor út 18."},
        {"Simon", "Ferenc", "", 7, "Ügyvezető", "Vevő", "Balatonfüred", "8230", "Tagore sétány 2."},
        {"Rácz", "Mónika", "", 8, "Ügyvezető", "Partner", "Miskolc", "3525", "Széchenyi István utca 30."},
        {"Fekete", "Attila", "ifj.", 8, "Műszaki vezető", "Partner", "Miskolc", "3525", "Széchenyi István utca 30."},
        {"Szilágyi", "Zsuzsanna", "", 9, "Titkárnő", "Vevő", "Csongrád", "6640", "Fő utca 14."},
        {"Török", "Béla", "", 10, "Ügyvezető", "Érdeklődő", "Nyíregyháza", "4400", "Kossuth tér 9."},
        {"Fehér", "Gabriella", "", 11, "Ügyvezető", "Vevő", "Sopron", "9400", "Várkerület 88."},
        {"Vincze", "Csaba", "", -1, "", "Érdeklődő", "Szentes", "6600", "Kossuth utca 21."},
        {"Hegedűs", "Ágnes", "", -1, "", "Vevő", "Hódmezővásárhely", "6800", "Andrássy út 5."},
        {"Kozma", "Levente", "", -1, "", "Érdeklődő", "Makó", "6900", "Széchenyi tér 3."},
        {"Bodnár", "Henrietta", "", -1, "", "Vevő", "Szeged", "6722", "Tisza Lajos körút 40."},
        {"Lengyel", "Dániel", "", -1, "", "Érdeklődő", "Baja", "6500", "Dózsa György út 8."},
        {"Sipos", "Boglárka", "", -1, "", "Vevő", "Kiskunfélegyháza", "6100", "Petőfi tér 1."},
        {"Kocsis", todays[0].c_str(), "", 1, "Titkárnő", "Vevő", "Kecskemét", "6000", "Szolnoki út 44."},
        {"Orsós", todays.size() > 1 ? todays[1].c_str() : todays[0].c_str(), "", -1, "", "Érdeklődő",
         "Szeged", "6726", "Fő fasor 17."},
    };
    std::vector<int64_t> ugyfelKeys;
    {
        TableWriter w(db, "ugyfel");
        int i = 0;
        for (const Person& p : people) {
            const std::string name = std::string(p.family) + " " + p.given;
            const auto [month, day] = nameDayOf(nameDays, p.given);
            const bool reminder = i == 3 || i == 11 || i == 21;
            const bool future = i == 16;
            ugyfelKeys.push_back(w.add(
                {{"Ugyfel_nev", T(name)},
                 {"vnev", T(p.family)},
                 {"knev", T(p.given)},
                 {"prefix", *p.prefix ? T(p.prefix) : Value()},
                 {"honap", I(month)},
                 {"nap", I(day)},
                 {"Telefon_ceges", p.company >= 0 ? T(companies[p.company].phone) : Value()},
                 {"Mobil", T("+36 30 555 " + std::to_string(4000 + 37 * i))},
                 {"Emil1", i % 4 != 3 ? T("ugyfel" + std::to_string(i + 1) + "@pelda-posta.hu") : Value()},
                 {"Emil2", i % 5 == 0 ? T("magan" + std::to_string(i + 1) + "@pelda-posta.hu") : Value()},
                 {"Cim_varos", T(p.city)},
                 {"Cim_irsz", T(p.zip)},
                 {"Cim_cim", T(p.street)},
                 {"Kapcsolat", T(i % 3 ? "telefonon" : "kiállításon ismertük meg")},
                 {"Datum", D(today.addDays(-400 + 13 * i))},
                 {"Megjegyzes", i % 4 == 0 ? T("Délelőtt érhető el.\nSzámlát e-mailben kér.") : Value()},
                 {"tipus", I(tipus[p.type])},
                 {"ceg", p.company >= 0 ? I(cegKeys[size_t(p.company)]) : Value()},
                 {"uzletkoto", I(uzletkoto[i % 2 ? "Nagy Krisztina" : "Szabó Péter"])},
                 {"beosztas", *p.position ? I(beosztas[p.position]) : Value()},
                 {"dat_figy", reminder ? D(today.addDays(-i % 3)) : future ? D(today.addDays(10)) : Value()},
                 {"figy_szoveg", reminder   ? T("Visszahívni az ajánlat miatt")
                                 : future ? T("Születésnapi üdvözlet")
                                          : Value()},
                 {"ffino", I(0)},
                 {"kulcsszavak", T(i % 2 ? "törzsvásárló" : "hírlevél")}}));
            ++i;
        }
        if (Status s = w.status(); !s.isOk()) return s;
    }

    struct Product {
        const char *number, *name, *category;
    };
    const Product products[] = {
        {"NY-1001", "Lézernyomtató A4 fekete-fehér", "nyomtató"},
        {"NY-1002", "Színes tintasugaras nyomtató", "nyomtató"},
        {"TO-2001", "Festékkazetta 2000 oldalas", "kellék"},
        {"PA-3001", "Másolópapír A4 80 g, 500 lap", "papír"},
        {"PA-3002", "Másolópapír A3 80 g, 500 lap", "papír"},
        {"IR-4001", "Iratmegsemmisítő 12 lapos", "irodagép"},
        {"IR-4002", "Spirálozógép kézi", "irodagép"},
        {"SZ-5001", "Nyomtató karbantartás (óradíj)", "szolgált."},
        {"SZ-5002", "Helyszíni kiszállás", "szolgált."},
        {"BU-6001", "Irodai forgószék", "bútor"},
        {"BU-6002", "Íróasztal 160x80", "bútor"},
    };
    std::vector<int64_t> termekKeys;
    {
        TableWriter w(db, "termek");
        int i = 0;
        for (const Product& p : products) {
            termekKeys.push_back(w.add({{"cikkszam", T(p.number)},
                                        {"cikkszam_nev", T(p.name)},
                                        {"kategoria", T(p.category)},
                                        {"dat_figy", i == 3 ? D(today) : Value()},
                                        {"figy_szoveg", i == 3 ? T("Készlet ellenőrzése") : Value()},
                                        {"kulcsszavak", T(i < 3 ? "akció" : "")}}));
            ++i;
        }
        if (Status s = w.status(); !s.isOk()) return s;
    }

    struct Task {
        const char* text;
        int customer, product;
        int received, deadline;  // days from today
        int status, priority;
        const char *type, *result;
    };
    const Task tasks[] = {
        {"Árajánlat 20 db lézernyomtatóra", 0, 0, -20, -5, 2, 1, "Ajánlatkérés", nullptr},
        {"Nyomtató nem húzza be a papírt", 2, 0, -3, -1, 1, 1, "Szerviz", nullptr},
        {"Papírszállítás havi rendelés", 3, 3, -2, 5, 1, 2, "Szállítás", nullptr},
        {"Festékkazetta reklamáció", 4, 2, -10, -2, 3, 2, "Reklamáció", nullptr},
        {"Iratmegsemmisítő bemutató", 6, 5, -1, 6, 1, 3, "Egyeztetés", nullptr},
        {"Irodabútor ajánlat új irodába", 8, 9, -4, 10, 2, 2, "Ajánlatkérés", nullptr},
        {"Éves karbantartási szerződés", 10, 7, -30, 0, 2, 1, "Egyeztetés", nullptr},
        {"Spirálozógép javítása", 12, 6, -6, 1, 2, 2, "Szerviz", nullptr},
        {"A3 papír sürgős szállítás", 13, 4, 0, 1, 1, 1, "Szállítás", nullptr},
        {"Ajánlat színes nyomtatókra", 15, 1, -8, 14, 3, 3, "Ajánlatkérés", nullptr},
        {"Helyszíni felmérés", 16, 8, -2, 3, 1, 2, "Egyeztetés", nullptr},
        {"Számla egyeztetése", 17, -1, -12, -7, 2, 2, "Egyeztetés", nullptr},
        {"Forgószékek szállítása", 19, 9, -5, 2, 2, 3, "Szállítás", nullptr},
        {"Tájékoztató az új termékekről", 20, -1, -1, 45, 1, 4, "Egyeztetés", nullptr},
        {"Nyomtató üzembe helyezése", 21, 0, -15, -10, 4, 2, "Szerviz", "Sikeres"},
        {"Papír ajánlat", 22, 3, -40, -33, 4, 3, "Ajánlatkérés", "Sikeres"},
        {"Reklamáció: sérült szállítmány", 23, 3, -25, -18, 5, 1, "Reklamáció", "Sikertelen"},
        {"Bemutató egyeztetése", 24, 5, -9, -2, 4, 2, "Egyeztetés", "Elhalasztva"},
        {"Karbantartás negyedéves", 1, 7, -60, -50, 4, 2, "Szerviz", "Sikeres"},
        {"Kazetták cseréje", 5, 2, -3, 4, 2, 2, "Szerviz", nullptr},
        {"Új ügyfél bemutatkozó levél", 26, -1, 0, 7, 1, 2, "Egyeztetés", nullptr},
        {"Íróasztalok árajánlata", 9, 10, -7, -3, 3, 2, "Ajánlatkérés", nullptr},
    };
    {
        TableWriter w(db, "feladat");
        int i = 0;
        for (const Task& t : tasks) {
            const bool closed = t.status >= 4;
            const int64_t customer = ugyfelKeys[size_t(t.customer)];
            const int company = people[t.customer].company;
            w.add({{"dat_beerk", D(today.addDays(t.received))},
                   {"dat_hatid", D(today.addDays(t.deadline))},
                   {"ugyfel", I(customer)},
                   {"allapot", I(t.status)},
                   {"prioritas", I(t.priority)},
                   {"rovid", T(t.text)},
                   {"leiras", T(std::string(t.text) + ".\nFelvette: " +
                                (i % 2 ? "Nagy Krisztina" : "Szabó Péter"))},
                   {"feltipus", I(feltipus[t.type])},
                   {"feleredmeny", t.result ? I(feleredmeny[t.result]) : Value()},
                   {"lezarva", T(closed ? "I" : "N")},
                   {"termek", t.product >= 0 ? I(termekKeys[size_t(t.product)]) : Value()},
                   {"dat_figy", i == 2 ? D(today) : Value()},
                   {"figy_szoveg", i == 2 ? T("Rendelés visszaigazolása") : Value()},
                   {"dat_lezar", closed ? D(today.addDays(t.deadline)) : Value()},
                   {"ceg", company >= 0 ? I(cegKeys[size_t(company)]) : Value()}});
            ++i;
        }
        if (Status s = w.status(); !s.isOk()) return s;
    }
    {
        TableWriter w(db, "ugyf_megj");
        w.add({{"ugyfel", I(ugyfelKeys[0])}, {"datum", D(today.addDays(-20))}, {"rovid", T("Első megkeresés")},
               {"megjegyzes", T("Telefonon érdeklődött a lézernyomtatók iránt.")}, {"tipus", I(0)}});
        w.add({{"ugyfel", I(ugyfelKeys[0])}, {"datum", D(today.addDays(-6))}, {"rovid", T("Ajánlat elküldve")},
               {"megjegyzes", T("Az ajánlatot e-mailben küldtük el, 30 napig érvényes.")}, {"tipus", I(0)}});
        w.add({{"ugyfel", I(cegKeys[0])}, {"datum", D(today.addDays(-3))}, {"rovid", T("Új telephely")},
               {"megjegyzes", T("Tavasszal új raktárat nyitnak Algyőn.")}, {"tipus", I(3)}});
        w.add({{"ugyfel", I(termekKeys[0])}, {"datum", D(today.addDays(-1))}, {"rovid", T("Árváltozás")},
               {"megjegyzes", T("A beszállító a jövő hónaptól 5%-kal emeli az árat.")}, {"tipus", I(2)}});
        if (Status s = w.status(); !s.isOk()) return s;
    }
    {
        TableWriter w(db, "ugyf_ertesit");
        w.add({{"ugyfel", I(ugyfelKeys[2])}, {"datum", D(today.addDays(-2))}, {"rovid", T("Szervizes kiküldve")}, {"tipus", I(0)}});
        w.add({{"ugyfel", I(ugyfelKeys[10])}, {"datum", D(today.addDays(-14))}, {"rovid", T("Szerződéstervezet postázva")}, {"tipus", I(0)}});
        if (Status s = w.status(); !s.isOk()) return s;
    }
    return Status::ok();
}

}  // namespace

Status createDatabase(const std::string& folder, const std::string& dataFolder, bool sample)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec || !fs::is_directory(folder))
        return Status::error(ErrorCode::IoError, "A mappa nem hozható létre: " + folder);
    if (!fs::is_empty(folder, ec))
        return Status::error(ErrorCode::AlreadyExists, "A mappa nem üres: " + folder);

    auto names = readCsv(dataFolder + "/nevnap.csv");
    if (!names.isOk()) return names.status();
    std::vector<NameDay> nameDays;
    for (const auto& row : *names)
        if (row.size() >= 3) nameDays.push_back({std::stoi(row[0]), std::stoi(row[1]), row[2]});
    auto postal = readCsv(dataFolder + "/irsz.csv");
    if (!postal.isOk()) return postal.status();

    auto db = engine::Database::open(folder);
    if (!db.isOk()) return db.status();
    if (Status s = layout::createAll(**db); !s.isOk()) return s;
    if (Status s = fillReference(**db, nameDays, *postal); !s.isOk()) return s;
    if (Status s = fillOwner(**db, sample); !s.isOk()) return s;
    if (sample)
        if (Status s = fillSample(**db, nameDays); !s.isOk()) return s;
    return Status::ok();
}

}  // namespace newdb
