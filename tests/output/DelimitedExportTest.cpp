#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <gtest/gtest.h>

#include "ReadBack.h"
#include "app/Main/Beall.h"
#include "app/output/Hatarolt.h"
#include "common/DataSet.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TempHome.h"
#include "tests/support/TestDatabase.h"

namespace {

class DelimitedExportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        BuildTestDatabase(home.path() + "/db");
        conn.setParams(Connection::paradoxParams(home.path() + "/db"));
        file = home.path() + "/export.csv";
    }

    // The customers' key, name and remark; the name labelled "ügyfél".
    QueryDataSet& customers()
    {
        qry.setSql({"SELECT Ugyfel, Ugyfel_nev, Megjegyzes FROM ugyfel ORDER BY Ugyfel"});
        qry.setDisplayLabel("Ugyfel_nev", "ügyfél");
        qry.open();
        return qry;
    }

    void addCustomer(const QString& name, const QString& remark = QString())
    {
        TableDataSet t(&conn);
        t.setTableName("ugyfel.DB");
        t.open();
        t.append();
        t.fieldByName("Ugyfel_nev")->setValue(name);
        if (!remark.isEmpty()) t.fieldByName("Megjegyzes")->setValue(remark);
        t.post();
        t.flushBuffers();
    }

    // Runs one export with the window's settings changed by `set` first.
    void exportWith(DataSet& ds, const std::function<void(Tfrm_Hatarolt&)>& set)
    {
        user.onModal("frm_Hatarolt", [this, set](QDialog& d) {
            auto& w = static_cast<Tfrm_Hatarolt&>(d);
            w.Edit1->setText(file);
            set(w);
            w.Button1->click();
            w.Button2->click();
        });
        ShowDelimitedExport(&ds, "Nyilvex_exp.CSV");
    }

    static void tickOnly(Tfrm_Hatarolt& w, const QStringList& fields)
    {
        for (int i = 0; i < w.CheckListBox1->count(); ++i) {
            QListWidgetItem* item = w.CheckListBox1->item(i);
            item->setCheckState(fields.contains(item->text()) ? Qt::Checked : Qt::Unchecked);
        }
    }

    TempHome home;
    Connection conn{DatabaseAlias};
    QueryDataSet qry{&conn};
    ScriptedInteraction user;
    QString file;
};

}  // namespace

TEST_F(DelimitedExportTest, WritesLabelsAndValuesInWindows1250WithCrLfAndTrailingSeparators)
{
    for (int i = 1; i <= 12; ++i) addCustomer(i == 12 ? "Kiss Anna" : "x");
    conn.execSql("DELETE FROM ugyfel WHERE Ugyfel < 12");
    QueryDataSet& ds = customers();
    ds.last();

    user.onModal("frm_Hatarolt", [this](QDialog& d) {
        auto& w = static_cast<Tfrm_Hatarolt&>(d);
        EXPECT_EQ(w.windowTitle(), "Határolt szöveg export");
        EXPECT_EQ(w.Edit1->text(), "Nyilvex_exp.CSV");
        EXPECT_EQ(w.CheckListBox1->count(), 3);
        EXPECT_EQ(w.CheckListBox1->item(2)->checkState(), Qt::Checked);
        EXPECT_TRUE(w.rbSeparator[0]->isChecked());
        EXPECT_TRUE(w.rbQualifier[2]->isChecked());
        EXPECT_FALSE(w.Button3->isEnabled());
        w.Edit1->setText(file);
        tickOnly(w, {"Ugyfel", "Ugyfel_nev"});
        w.rbQualifier[1]->setChecked(true);
        w.Button1->click();
        EXPECT_EQ(w.ProgressBar1->value(), 0);
        // The window stays for another run: nothing ticked gives empty lines.
        w.Button5->click();
        w.Edit1->setText(file + "2");
        w.Button1->click();
        w.Button2->click();
    });
    ShowDelimitedExport(&ds, "Nyilvex_exp.CSV");

    EXPECT_EQ(ReadBytes(file), Cp1250("'Ugyfel';'ügyfél';\r\n'12';'Kiss Anna';\r\n"));
    EXPECT_EQ(ReadBytes(file + "2"), QByteArray("\r\n\r\n"));
    EXPECT_EQ(user.messages(), QStringList({file + " kész.", file + "2 kész."}));
    EXPECT_EQ(ds.recNo(), 1) << "the list keeps its current row";
}

TEST_F(DelimitedExportTest, EmptyListGivesTheHeadingOnlyAndAMissingNameIsRefused)
{
    QueryDataSet& ds = customers();
    user.onModal("frm_Hatarolt", [this](QDialog& d) {
        auto& w = static_cast<Tfrm_Hatarolt&>(d);
        w.Edit1->clear();
        w.Button1->click();
        w.Edit1->setText(file);
        w.rbSeparator[1]->setChecked(true);
        w.rbQualifier[0]->setChecked(true);
        w.Button1->click();
        w.Button2->click();
    });
    ShowDelimitedExport(&ds, "");
    EXPECT_EQ(user.errors(), QStringList{"Nincs filenév megadva."});
    EXPECT_EQ(ReadBytes(file), Cp1250("\"Ugyfel\"\t\"ügyfél\"\t\"Megjegyzes\"\t\r\n"));
}

TEST_F(DelimitedExportTest, MemosAreBlobOrTheirLinesJoinedByPipes)
{
    addCustomer("Nagy Éva", "első sor\r\nmásodik sor");
    QueryDataSet& ds = customers();
    exportWith(ds, [](Tfrm_Hatarolt& w) { tickOnly(w, {"Megjegyzes"}); });
    EXPECT_EQ(ReadBytes(file), Cp1250("Megjegyzes;\r\nBLOB;\r\n"));
    exportWith(ds, [](Tfrm_Hatarolt& w) {
        tickOnly(w, {"Megjegyzes"});
        w.CheckBox1->setChecked(true);
        w.rbQualifier[1]->setChecked(true);
    });
    EXPECT_EQ(ReadBytes(file), Cp1250("'Megjegyzes';\r\n'első sor|második sor|';\r\n"));
}

TEST_F(DelimitedExportTest, ValuesHoldingSeparatorsQualifiersOrLineBreaksKeepTheirColumns)
{
    const QStringList names = {"Kő; Társa", "\"Idézett\" Kft.", "O'Brien, Pál", "a|b\tc", "sima"};
    for (const QString& n : names) addCustomer(n, "első; \"sor\"\r\nmásik, 'sor'|");
    QueryDataSet& ds = customers();
    const QChar separators[] = {';', '\t', ',', '|'};
    const QChar qualifiers[] = {'"', '\'', QChar()};
    // Every separator with every qualifier, and once in UTF-8, from one window.
    QList<CsvFile> files;
    for (int s = 0; s < 4; ++s)
        for (int q = 0; q < 3; ++q)
            files << CsvFile{QString("%1/%2%3.csv").arg(home.path()).arg(s).arg(q), separators[s], qualifiers[q]};
    files << CsvFile{home.path() + "/utf8.csv", ',', '\'', "utf-8-sig"};
    user.onModal("frm_Hatarolt", [&files](QDialog& d) {
        auto& w = static_cast<Tfrm_Hatarolt&>(d);
        tickOnly(w, {"Ugyfel_nev", "Megjegyzes"});
        w.CheckBox1->setChecked(true);
        for (int i = 0; i < files.size(); ++i) {
            w.Edit1->setText(files[i].path);
            w.rbSeparator[i < 12 ? i / 3 : 2]->setChecked(true);
            w.rbQualifier[i < 12 ? i % 3 : 1]->setChecked(true);
            w.rbEncoding[i < 12 ? 0 : 1]->setChecked(true);
            w.Button1->click();
        }
        w.Button2->click();
    });
    ShowDelimitedExport(&ds, "");
    EXPECT_TRUE(user.errors().isEmpty());
    const QList<QList<QStringList>> read = CsvRows(files);
    ASSERT_EQ(read.size(), files.size());
    for (int i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(files[i].path.toStdString());
        const QList<QStringList>& rows = read[i];
        ASSERT_EQ(rows.size(), names.size() + 1);
        EXPECT_EQ(rows[0], QStringList({"ügyfél", "Megjegyzes", ""}));
        for (int r = 0; r < names.size(); ++r)
            EXPECT_EQ(rows[r + 1], QStringList({names[r], "első; \"sor\"|másik, 'sor'||", ""}));
    }
}

TEST_F(DelimitedExportTest, FailedWriteKeepsTheEarlierFile)
{
    addCustomer("Kiss Anna");
    QFile old(file);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("earlier\r\n");
    old.close();
    QueryDataSet& ds = customers();
    // A label that Windows-1250 cannot hold stops the export half-way.
    ds.fieldByName("Megjegyzes")->setDisplayLabel("megjegyzés ✓");
    exportWith(ds, [](Tfrm_Hatarolt&) {});
    ASSERT_EQ(user.errors().size(), 1);
    EXPECT_TRUE(user.errors()[0].startsWith("Hiba: ")) << user.errors()[0].toStdString();
    EXPECT_TRUE(user.errors()[0].contains("Windows-1250"));
    EXPECT_EQ(ReadBytes(file), QByteArray("earlier\r\n"));
    EXPECT_EQ(QDir(home.path()).entryList(QDir::Files), QStringList{"export.csv"}) << "no temporary file stays";

    // A folder that does not exist: said, nothing written.
    file = home.path() + "/nincs/export.csv";
    exportWith(ds, [](Tfrm_Hatarolt&) {});
    EXPECT_EQ(user.errors().size(), 2);
    EXPECT_FALSE(QFile::exists(file));
}

TEST_F(DelimitedExportTest, StopEndsTheRunSaysSoAndNothingElseStartsMeanwhile)
{
    for (int i = 0; i < 3; ++i) addCustomer("ügyfél");
    QueryDataSet& ds = customers();
    user.onModal("frm_Hatarolt", [this](QDialog& d) {
        auto& w = static_cast<Tfrm_Hatarolt&>(d);
        w.Edit1->setText(file);
        // Pressed while the export runs, at its first look at pending input.
        QTimer::singleShot(0, &w, [&w] {
            EXPECT_FALSE(w.Button1->isEnabled());
            EXPECT_FALSE(w.Button2->isEnabled());
            w.reject();
            EXPECT_TRUE(w.isVisible());
            w.Button3->click();
        });
        w.Button1->click();
        EXPECT_TRUE(w.Button1->isEnabled());
        EXPECT_FALSE(w.Button3->isEnabled());
        w.Button2->click();
    });
    ShowDelimitedExport(&ds, "");
    EXPECT_EQ(user.messages(), QStringList{file + " kész, de az export megállítva: 0 sor került bele."});
    EXPECT_EQ(ReadBytes(file), Cp1250("Ugyfel;ügyfél;Megjegyzes;\r\n"));
}
