#include "TableFill.h"

#include <stdexcept>

#include "common/Layout.h"
#include "engine/Codepage.h"

namespace benchfill {

namespace {

const char* const kFamily[] = {"Kovács", "Szabó", "Tóth", "Nagy", "Horváth", "Kiss", "Varga", "Molnár",
                               "Németh", "Farkas", "Balogh", "Papp", "Takács", "Juhász", "Lakatos", "Mészáros"};
const char* const kGiven[] = {"Anna", "Béla", "Csaba", "Dóra", "Erika", "Ferenc", "Gábor", "Hajnalka",
                              "István", "Judit", "Katalin", "László", "Mária", "Nándor", "Olga", "Péter"};

}  // namespace

std::shared_ptr<engine::Database> newDatabase(const std::string& folder)
{
    auto db = engine::Database::open(folder);
    if (!db.isOk()) throw std::runtime_error(db.status().message());
    if (auto s = layout::createAll(**db); !s.isOk()) throw std::runtime_error(s.message());
    return *db;
}

void fill(engine::Database& db, const char* table, int rows, const std::function<void(engine::Record&, int)>& row)
{
    auto t = db.openTable(table, engine::OpenMode::Exclusive);
    if (!t.isOk()) throw std::runtime_error(t.status().message());
    engine::Record rec((*t)->def().fields.size());
    for (int i = 0; i < rows; ++i) {
        rec.assign(rec.size(), engine::Value());
        row(rec, i);
        auto r = (*t)->insert(rec);
        if (!r.isOk()) throw std::runtime_error(r.status().message());
    }
    if (auto s = (*t)->flush(); !s.isOk()) throw std::runtime_error(s.message());
}

engine::Value text(const std::string& utf8) { return engine::Value::fromText(*engine::utf8ToCp1250(utf8)); }

const char* givenName(int n) { return kGiven[n % 16]; }

std::string companyName(int i) { return std::string(kFamily[(i * 5) % 16]) + " és Társa Kft. " + std::to_string(i); }

std::string customerName(int i)
{
    return std::string(kFamily[(i * 7) % 16]) + " " + givenName(i * 3) + " " + std::to_string(i);
}

std::string mobileNumber(int i) { return "+36 30 " + std::to_string(1000000 + (i * 7919) % 9000000); }

void companyRow(engine::Record& r, int i)
{
    r[1] = text(companyName(i));
    r[2] = text(std::to_string(1000 + i % 9000));
    r[3] = text("Város " + std::to_string(i % 300));
    r[4] = text("Fő utca " + std::to_string(i % 120) + ".");
    r[8] = text("+36 1 " + std::to_string(1000000 + i * 7));
}

void customerAddress(engine::Record& r, int i)
{
    r[9] = text("Város " + std::to_string(i % 300));
    r[10] = text(std::to_string(1000 + i % 9000));
    r[11] = text("Fő utca " + std::to_string(i % 120) + ".");
}

}  // namespace benchfill
