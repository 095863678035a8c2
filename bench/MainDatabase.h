// The program's database at full size for the benchmarks: 100,000
// customers, 5,000 companies, 300,000 tasks and 2,000 products with their
// reference rows; every 10th company, 25th customer, 50th task and 5th
// product has keywords with "szerviz" in them. Also the settings file that
// points Nyilvex at it.
#pragma once

#include <QDate>
#include <QFile>
#include <QString>

#include <stdexcept>
#include <string>

#include "TableFill.h"
#include "common/Settings.h"

namespace benchfill {

constexpr int kCustomers = 100000;
constexpr int kCompanies = 5000;
constexpr int kTasks = 300000;
constexpr int kProducts = 2000;

inline engine::Value benchDate(int y, int m, int d) { return engine::Value::fromDate(engine::Date::fromYmd(y, m, d)); }

inline void buildMainDatabase(const QString& folder)
{
    const auto db = benchfill::newDatabase(folder.toStdString());
    engine::Database& d = *db;
    fill(d, "beallit", 1, [](engine::Record& r, int) {
        r[1] = text("N");
        r[2] = engine::Value::fromInt(2);
        r[3] = engine::Value::fromInt(7);
    });
    fill(d, "nevnap", 16 * 12, [](engine::Record& r, int i) {
        r[0] = engine::Value::fromInt(1 + i / 16);
        r[1] = engine::Value::fromInt(1 + i % 28);
        r[2] = text(givenName(i) + std::to_string(i));
    });
    fill(d, "allapot", 5, [](engine::Record& r, int i) {
        r[0] = engine::Value::fromInt(i + 1);
        r[1] = text("állapot " + std::to_string(i + 1));
        r[2] = text(i >= 3 ? "I" : "N");
    });
    fill(d, "prioritas", 4, [](engine::Record& r, int i) {
        r[0] = engine::Value::fromInt(i + 1);
        r[1] = text("prioritás " + std::to_string(i + 1));
        r[2] = engine::Value::fromInt(i);
        r[3] = engine::Value::fromInt(0x0000C0 * (i % 2));
    });
    fill(d, "tipus", 4, [](engine::Record& r, int i) { r[1] = text("típus " + std::to_string(i)); });
    fill(d, "uzletkoto", 5, [](engine::Record& r, int i) { r[1] = text("üzletkötő " + std::to_string(i)); });
    fill(d, "feltipus", 10, [](engine::Record& r, int i) { r[1] = text("típus " + std::to_string(i)); });
    fill(d, "feleredmeny", 10, [](engine::Record& r, int i) { r[1] = text("eredmény " + std::to_string(i)); });
    fill(d, "ceg", kCompanies, [](engine::Record& r, int i) {
        companyRow(r, i);
        if (i % 50 == 0) r[11] = benchDate(2025, 1 + i % 12, 1 + i % 28);
        if (i % 10 == 0) r[13] = text("Webáruház, szerviz " + std::to_string(i));
    });
    fill(d, "termek", kProducts, [](engine::Record& r, int i) {
        r[1] = text("CS-" + std::to_string(10000 + (i * 7919) % kProducts));
        r[2] = text("termék " + std::to_string(i));
        r[3] = text("kat " + std::to_string(i % 20));
        if (i % 5 == 0) r[6] = text("alkatrész, szerviz");
    });
    fill(d, "ugyfel", kCustomers, [](engine::Record& r, int i) {
        r[1] = text(customerName(i));
        r[3] = text("+36 1 " + std::to_string(2000000 + i));
        r[4] = text(mobileNumber(i));
        r[6] = text("ugyfel" + std::to_string(i) + "@pelda.hu");
        r[17] = engine::Value::fromInt(1 + i % 12);
        r[18] = engine::Value::fromInt(1 + i % 28);
        r[19] = engine::Value::fromInt(1 + i % 4);
        r[20] = engine::Value::fromInt(1 + i % kCompanies);
        r[21] = engine::Value::fromInt(1 + i % 5);
        if (i % 40 == 0) r[22] = benchDate(2025, 1 + i % 12, 1 + i % 28);
        if (i % 25 == 0) r[30] = text("Szerviz, garancia");
    });
    fill(d, "feladat", kTasks, [](engine::Record& r, int i) {
        r[1] = benchDate(2020 + i % 5, 1 + i % 12, 1 + i % 28);
        r[2] = benchDate(2021 + i % 5, 1 + (i / 3) % 12, 1 + (i / 7) % 28);
        r[3] = engine::Value::fromInt(1 + i % kCustomers);
        r[4] = engine::Value::fromInt(1 + i % 5);
        r[5] = engine::Value::fromInt(1 + i % 4);
        r[6] = text("rövid leírás " + std::to_string(i));
        r[8] = engine::Value::fromInt(1 + i % 10);
        r[9] = engine::Value::fromInt(1 + i % 10);
        r[10] = text(i % 3 == 0 ? "I" : "N");
        r[11] = engine::Value::fromInt(1 + i % kProducts);
        r[16] = engine::Value::fromInt(1 + i % kCompanies);
        if (i % 50 == 0) r[14] = text("szerviz");
    });
}

// Points the settings file at `folder`: not full screen, archived today.
inline void writeMainSettings(const QString& folder)
{
    QFile ini(SettingsFile());
    if (!ini.open(QIODevice::WriteOnly)) throw std::runtime_error("settings file");
    ini.write(("[Adatbazis]\r\nUtvonal=" + folder + "\r\n[Alapertek]\r\nTeljesKep=0\r\nSzeles=1024\r\n"
               "Magas=700\r\n[Archiv]\r\nMentesDatum=" +
               QDate::currentDate().toString("yyyy.MM.dd.") + "\r\n")
                  .toUtf8());
}

}  // namespace benchfill
