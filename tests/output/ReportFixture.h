// A fresh database per test behind the alias "Nyilvex", rows put in through
// the data sets, and the scripted user catching previews and prints as PDF
// text.
#pragma once

#include <QDate>
#include <QTemporaryDir>
#include <QVariant>

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "app/Main/Beall.h"
#include "common/DataSet.h"
#include "tests/support/PdfText.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TestDatabase.h"

class ReportTest : public ::testing::Test {
protected:
    using Values = std::vector<std::pair<const char*, QVariant>>;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        BuildTestDatabase(folder());
        db = std::make_unique<Connection>(DatabaseAlias);
        db->setParams(Connection::paradoxParams(folder()));
        user.onPages = [this](PrintDocument& doc) { pages = PdfPages(doc); };
    }

    QString folder() const { return dir.path() + "/Data"; }

    // Appends a row and returns its key (the first field).
    int add(const QString& table, const Values& values) { return AddRow(db.get(), table, values); }

    void setOwner()
    {
        add("tulajdonos", {{"tulajdonos", "Mintabolt Kft."},
                           {"irsz", "6720"},
                           {"varos", "Szeged"},
                           {"cim", "Kárász utca 5."},
                           {"telefon", "62/555-123"}});
    }

    // The lines of page `n` (0-based) of the last preview or print.
    QStringList page(int n) const { return n < pages.size() ? TextLines(pages[n]) : QStringList(); }
    QString pageText(int n) const { return n < pages.size() ? pages[n] : QString(); }

    QTemporaryDir dir;
    std::unique_ptr<Connection> db;
    ScriptedInteraction user;
    QStringList pages;
};

// A date as lists and reports show it.
inline QString Shown(const QDate& d)
{
    return formatDisplay(d, engine::FieldType::Date, QString());
}

// Lines of `lines` that contain `text`.
inline int CountContaining(const QStringList& lines, const QString& text)
{
    int n = 0;
    for (const QString& l : lines)
        if (l.contains(text)) ++n;
    return n;
}
