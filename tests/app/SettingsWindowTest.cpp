#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include "app/Main/Beall.h"
#include "app/Main/Beallit.h"
#include "common/DataSet.h"
#include "widgets/DBControls.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TempHome.h"
#include "tests/support/TestDatabase.h"

namespace {

// Types into a box as the user would (bound boxes take typed text only).
void typeInto(QLineEdit* e, const QString& text)
{
    e->selectAll();
    if (text.isEmpty())
        e->del();
    else
        e->insert(text);
}

class SettingsWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        BuildTestDatabase(home.path() + "/db");
        conn.setParams(Connection::paradoxParams(home.path() + "/db"));
        Beall.fullScreen = true;
        Beall.defaultCity = "Szeged";
        Beall.databaseFolder = home.path() + "/db";
    }

    // "vanbelep/alapprioritas/alaphatarido" and "host/port/Emil" as stored.
    QString row(const char* table, QStringList fields)
    {
        TableDataSet t(&conn);
        t.setTableName(table);
        t.open();
        t.first();
        if (t.isEmpty()) return "üres";
        QStringList out;
        for (const QString& f : fields) out << t.fieldByName(f)->asString();
        return out.join('/');
    }

    // Changes something on every page.
    static void changeEverything(QDialog& d)
    {
        d.findChild<QCheckBox*>("CheckBox1")->setChecked(false);
        d.findChild<QCheckBox*>("DBCheckBox1")->click();
        d.findChild<QLineEdit*>("Edit1")->setText("Győr");
        d.findChild<QLineEdit*>("Edit2")->clear();
        d.findChild<QToolButton*>("BitBtn1")->click();
        typeInto(d.findChild<QLineEdit*>("DBEdit1"), "3");
        typeInto(d.findChild<QLineEdit*>("DBEdit7"), "30");
        typeInto(d.findChild<QLineEdit*>("DBEdit2"), "mail.pelda.hu");
        typeInto(d.findChild<QLineEdit*>("DBEdit4"), "587");
        typeInto(d.findChild<QLineEdit*>("DBEdit6"), "iroda@pelda.hu");
    }

    TempHome home;
    Connection conn{DatabaseAlias};
};

}  // namespace

TEST_F(SettingsWindowTest, CancelChangesNothing)
{
    ScriptedInteraction user;
    user.folders = {"/tmp/masik"};
    user.onModal("frm_Beallit", [](QDialog& d) {
        // The keyboard starts in the first box and Tab goes on from there.
        ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
        EXPECT_EQ(QApplication::focusWidget(), d.findChild<QCheckBox*>("CheckBox1"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), d.findChild<QCheckBox*>("DBCheckBox1"));
        EXPECT_EQ(d.findChild<QLineEdit*>("Edit1")->text(), "Szeged");
        EXPECT_TRUE(d.findChild<QCheckBox*>("CheckBox1")->isChecked());
        EXPECT_TRUE(d.findChild<QCheckBox*>("DBCheckBox1")->isChecked());
        changeEverything(d);
        EXPECT_EQ(d.findChild<QLineEdit*>("Edit2")->text(), "/tmp/masik");
        d.findChild<QPushButton*>("btnMegsem")->click();
    });
    ShowSettingsDialog(nullptr);
    EXPECT_TRUE(Beall.fullScreen);
    EXPECT_EQ(Beall.defaultCity, "Szeged");
    EXPECT_EQ(Beall.databaseFolder, home.path() + "/db");
    EXPECT_EQ(row("beallit.DB", {"vanbelep", "alapprioritas", "alaphatarido"}), "I/2/7");
    EXPECT_EQ(row("mail.DB", {"host"}), "üres");
    EXPECT_EQ(user.ofKind("folder").at(0).title, "Adatbázis útvonal");
}

TEST_F(SettingsWindowTest, OkStoresBothRowsAndTheMachinesSettings)
{
    ScriptedInteraction user;
    user.folders = {"/tmp/masik"};
    user.onModal("frm_Beallit", [](QDialog& d) {
        changeEverything(d);
        EXPECT_EQ(d.findChild<QComboBox*>("DBLookupComboBox1")->currentText(), "Ráér");
        d.findChild<QPushButton*>("btnOK")->click();
    });
    ShowSettingsDialog(nullptr);
    EXPECT_TRUE(user.errors().isEmpty()) << user.errors().join(";").toStdString();
    EXPECT_FALSE(Beall.fullScreen);
    EXPECT_EQ(Beall.defaultCity, "Győr");
    EXPECT_EQ(Beall.databaseFolder, "/tmp/masik");
    EXPECT_EQ(row("beallit.DB", {"vanbelep", "alapprioritas", "alaphatarido"}), "N/3/30");
    EXPECT_EQ(row("mail.DB", {"host", "port", "Emil"}), "mail.pelda.hu/587/iroda@pelda.hu");
}
