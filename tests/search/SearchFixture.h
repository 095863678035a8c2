// The main window on a fresh database, with rows put in through the engine's
// data sets, for the tests of the filters, searches and the task browser.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

#include "app/Main/Beall.h"
#include "app/Main/Main.h"
#include "common/DataSet.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TempHome.h"
#include "tests/support/TestDatabase.h"

class SearchTest : public ::testing::Test {
protected:
    using Values = std::initializer_list<std::pair<const char*, QVariant>>;

    void SetUp() override
    {
        const QString data = home.programFolder() + "/Data";
        BuildTestDatabase(data);
        conn = std::make_unique<Connection>();
        conn->setParams(Connection::paradoxParams(data));
        SetFirstRow(conn.get(), "beallit", {{"vanbelep", "N"}});  // no login
    }

    void TearDown() override
    {
        w.reset();
        conn.reset();
    }

    // Appends a row and returns its key (the first field).
    int add(const QString& table, Values values) { return AddRow(conn.get(), table, values); }

    void start()
    {
        w = std::make_unique<Tfrm_Main>();
        ASSERT_TRUE(w->startUp());
        Beall.lastArchiveDate = QDate::currentDate();
        Beall.fullScreen = false;
        Beall.width = 1000;
        Beall.height = 700;
        w->show();
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == "frm_Logo") top->close();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get(), 3000));
    }

    QVariant current(int tab, const QString& field) { return w->browseDataSet(tab)->fieldByName(field)->value(); }

    // The next run of the one-line input dialog gets `text` and OK.
    void answerText(const QString& text)
    {
        user.onModal("frm_InpStr", [text](QDialog& d) {
            d.findChild<QLineEdit*>("Edit1")->setText(text);
            d.accept();
        });
    }

    TempHome home;
    ScriptedInteraction user;
    std::unique_ptr<Connection> conn;
    std::unique_ptr<Tfrm_Main> w;
};
