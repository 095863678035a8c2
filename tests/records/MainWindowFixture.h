// The main window started on a fresh database (login off), for the record
// windows that its commands open, with helpers that read and write the
// tables apart from the windows and a scripted user.
#pragma once

#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

#include "app/Main/Beall.h"
#include "app/Main/Main.h"
#include "common/DataSet.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TempHome.h"
#include "tests/support/TestDatabase.h"

class MainWindowRecordsTest : public ::testing::Test {
protected:
    using Values = std::initializer_list<std::pair<const char*, QVariant>>;

    void SetUp() override
    {
        BuildTestDatabase(home.programFolder() + "/Data");
        // Until the window runs, the alias reaches the database for the
        // operations tested without it.
        conn = std::make_unique<Connection>(DatabaseAlias);
        conn->setParams(Connection::paradoxParams(home.programFolder() + "/Data"));
        set("beallit", {{"vanbelep", "N"}});
    }

    void TearDown() override
    {
        w.reset();
        conn.reset();
    }

    Connection* db() { return w ? w->Database1 : conn.get(); }

    // Appends a row and returns its key (the first field).
    int add(const QString& table, Values values) { return AddRow(db(), table, values); }

    // Changes the first row of a table.
    void set(const QString& table, Values values) { SetFirstRow(db(), table, values); }

    QVariant valueOf(const QString& table, const char* keyField, int key, const char* field)
    {
        TableDataSet t(db());
        t.setTableName(table + ".DB");
        t.open();
        if (!t.locate(keyField, key)) return QString("(nincs)");
        return t.fieldByName(field)->value();
    }

    int count(const QString& table)
    {
        TableDataSet t(db());
        t.setTableName(table + ".DB");
        t.open();
        return t.recordCount();
    }

    void start()
    {
        conn.reset();
        w = std::make_unique<Tfrm_Main>();
        ASSERT_TRUE(w->startUp());
        Beall.lastArchiveDate = QDate::currentDate();
        Beall.fullScreen = false;
        w->show();
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == "frm_Logo") top->close();
    }

    // The current row's field of a tab's list.
    QVariant current(int tab, const char* field) { return w->browseDataSet(tab)->fieldByName(field)->value(); }

    TempHome home;
    ScriptedInteraction user;
    std::unique_ptr<Connection> conn;
    std::unique_ptr<Tfrm_Main> w;
};
