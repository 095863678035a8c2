// A fresh database (the new-database template) behind the alias "Nyilvex"
// for the record windows, with helpers that read and write its tables
// through data sets of their own, apart from the windows under test.
#pragma once

#include <QAction>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "app/Main/Beall.h"
#include "common/DataSet.h"
#include "tests/support/TempHome.h"
#include "tests/support/TestDatabase.h"

class RecordsTest : public ::testing::Test {
protected:
    using Values = RowValues;

    void SetUp() override
    {
        BuildTestDatabase(dbFolder());
        conn.setParams(Connection::paradoxParams(dbFolder()));
        Beall.referenceRight = true;
        Beall.defaultCity.clear();
    }

    QString dbFolder() const { return home.path() + "/db"; }

    // Appends a row; returns its auto-increment key.
    int addRow(const QString& table, const Values& values) { return AddRow(&conn, table, values); }

    // "a|b|c" of the given fields of every row, in the table's key order.
    QStringList rows(const QString& table, const QStringList& fields)
    {
        TableDataSet t(&conn);
        t.setTableName(table + ".DB");
        t.open();
        QStringList out;
        for (t.first(); !t.eof(); t.next()) {
            QStringList row;
            for (const QString& f : fields) row << t.fieldByName(f)->asString();
            out << row.join('|');
        }
        return out;
    }

    // Types into a box as the user would (bound boxes take typed text only).
    static void typeInto(QLineEdit* e, const QString& text)
    {
        e->setFocus();
        e->selectAll();
        if (text.isEmpty()) e->del();
        else e->insert(text);
    }

    static void trigger(QDialog& d, const char* action) { d.findChild<QAction*>(action)->trigger(); }
    static void click(QDialog& d, const char* button) { d.findChild<QPushButton*>(button)->click(); }
    static QLineEdit* box(QDialog& d, const char* name) { return d.findChild<QLineEdit*>(name); }

    TempHome home;
    Connection conn{DatabaseAlias};
};
