// Notes, notifications and attached documents of an owner, on a fresh
// database per test: owners kept apart, new rows and their dates, the date
// stamp, refused saves, empty lists, and opening documents.
#include <QAction>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include "app/Main/Beall.h"
#include "app/records/Ertesit.h"
#include "app/records/Megj.h"
#include "app/records/Megjegyzes.h"
#include "app/records/Megjegyzes_Szerkeszt.h"
#include "app/records/RecordWindow.h"
#include "common/DataSet.h"
#include "engine/Database.h"
#include "tests/records/RecordsFixture.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TempHome.h"
#include "tests/support/TestDatabase.h"

namespace {

class RecordRowsTest : public RecordsTest {
protected:
    void SetUp() override
    {
        RecordsTest::SetUp();
        Beall.userName.clear();
    }

    // The date of every row of a table, in its key order.
    QStringList dates(const QString& table)
    {
        TableDataSet t(&conn);
        t.setTableName(table + ".DB");
        t.open();
        QStringList out;
        for (t.first(); !t.eof(); t.next()) out << t.fieldByName("datum")->asDate().toString("yyyy.MM.dd");
        return out;
    }

    // The "rovid" column of a list window's rows as they stand.
    static QStringList shown(OwnerListWindow& w, const char* field = "rovid")
    {
        QStringList out;
        DataSet* t = w.Tbl;
        const int at = t->recNo();
        for (t->first(); !t->eof(); t->next()) out << t->fieldByName(field)->asString();
        t->setRecNo(at);
        return out;
    }
};

}  // namespace

TEST_F(RecordRowsTest, NotesAndNotificationsOfEachOwnerStayApartNewestFirst)
{
    addRow("ugyf_megj", {{"ugyfel", 17}, {"tipus", 0}, {"datum", QDate(2024, 1, 5)}, {"rovid", "régi"}});
    addRow("ugyf_megj", {{"ugyfel", 17}, {"tipus", 0}, {"datum", QDate(2024, 3, 1)}, {"rovid", "új"},
                      {"megjegyzes", "hosszú szöveg"}});
    addRow("ugyf_megj", {{"ugyfel", 17}, {"tipus", 1}, {"datum", QDate(2024, 2, 1)}, {"rovid", "feladaté"}});
    addRow("ugyf_megj", {{"ugyfel", 18}, {"tipus", 0}, {"datum", QDate(2024, 2, 1)}, {"rovid", "másé"}});
    addRow("ugyf_ertesit", {{"ugyfel", 17}, {"tipus", 1}, {"datum", QDate(2024, 2, 1)}, {"rovid", "levél"}});
    addRow("ugyf_ertesit", {{"ugyfel", 17}, {"tipus", 0}, {"datum", QDate(2024, 2, 1)}, {"rovid", "telefon"}});

    ScriptedInteraction user;
    user.onModal("frm_Megjegyzes", [](QDialog& d) {
        auto& w = static_cast<OwnerListWindow&>(d);
        EXPECT_EQ(d.windowTitle(), "Megjegyzések");
        EXPECT_EQ(w.Panel1->text(), "Kovács Anna");
        EXPECT_EQ(shown(w), QStringList({"új", "régi"}));
        EXPECT_EQ(d.findChild<QPlainTextEdit*>("DBMemo1")->toPlainText(), "hosszú szöveg");
        d.reject();
    });
    user.onModal("frm_Megjegyzes", [](QDialog& d) {
        EXPECT_EQ(shown(static_cast<OwnerListWindow&>(d)), QStringList{"feladaté"});
        d.reject();
    });
    user.onModal("frm_Ertesit", [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Értesítések");
        EXPECT_EQ(shown(static_cast<OwnerListWindow&>(d)), QStringList{"levél"});
        d.reject();
    });
    ShowNotes(nullptr, 17, 0, "Kovács Anna");
    ShowNotes(nullptr, 17, 1, "Feladat");
    ShowNotifications(nullptr, 17, 1, "Feladat");
}

TEST_F(RecordRowsTest, NewNoteIsDatedTodayAndStoredOnlyOnAccept)
{
    ScriptedInteraction user;
    user.onModal("frm_Megjegyzes_Szerkeszt", [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Megjegyzés szerkesztés");
        auto* date = d.findChild<QDateEdit*>("Date1");
        EXPECT_EQ(date->date(), QDate::currentDate());
        date->setDate(QDate(2020, 2, 2));
        typeInto(d.findChild<QLineEdit*>("DBEdit4"), "eldobott");
        trigger(d, "aBezar");
    });
    user.onModal("frm_Megjegyzes_Szerkeszt", [](QDialog& d) {
        d.findChild<QDateEdit*>("Date1")->setDate(QDate(2024, 6, 30));
        typeInto(d.findChild<QLineEdit*>("DBEdit4"), "hívás");
        d.findChild<QPlainTextEdit*>("DBMemo1")->setPlainText("visszahívni");
        trigger(d, "aElfogad");
    });
    user.onModal("frm_Megjegyzes", [](QDialog& d) {
        trigger(d, "aUj");
        EXPECT_TRUE(shown(static_cast<OwnerListWindow&>(d)).isEmpty());
        trigger(d, "aUj");
        d.reject();
    });
    ShowNotes(nullptr, 5, 2, "Termék");
    EXPECT_EQ(rows("ugyf_megj", {"ugyfel", "tipus", "rovid", "megjegyzes"}),
              QStringList{"5|2|hívás|visszahívni"});
    EXPECT_EQ(dates("ugyf_megj"), QStringList{"2024.06.30"});
}

TEST_F(RecordRowsTest, DateStampReplacesItselfWhenPressedAgain)
{
    EXPECT_EQ(DateStamp("Kata", QDateTime(QDate(2024, 3, 7), QTime(14, 5))), "-- Kata 2024.03.07 14:05 --");
    EXPECT_EQ(DateStamp("", QDateTime(QDate(2024, 12, 31), QTime(9, 0))), "--  2024.12.31 09:00 --");

    Beall.userName = "Kata";
    ScriptedInteraction user;
    user.onModal("frm_Megjegyzes_Szerkeszt", [](QDialog& d) {
        auto* memo = d.findChild<QPlainTextEdit*>("DBMemo1");
        memo->setPlainText("Előtte. Utána.");
        QTextCursor c = memo->textCursor();
        c.setPosition(8);
        memo->setTextCursor(c);
        trigger(d, "aDatumBeszur");
        trigger(d, "aDatumBeszur");
        const QString text = memo->toPlainText();
        EXPECT_EQ(text.count("-- Kata "), 1) << text.toStdString();
        EXPECT_TRUE(text.startsWith("Előtte. -- Kata ")) << text.toStdString();
        EXPECT_TRUE(text.endsWith(" --Utána.")) << text.toStdString();
        EXPECT_EQ(memo->textCursor().selectedText(), text.mid(8, text.size() - 8 - 6));
        trigger(d, "aElfogad");
    });
    AddNote(nullptr, 3, 3);
    const QStringList stored = rows("ugyf_megj", {"ugyfel", "tipus", "megjegyzes"});
    ASSERT_EQ(stored.size(), 1);
    EXPECT_TRUE(stored[0].startsWith("3|3|Előtte. -- Kata ")) << stored[0].toStdString();
}

TEST_F(RecordRowsTest, EmptyListsEditAndDeleteNothing)
{
    addRow("megj", {{"Ugyfel", 4}, {"tipus", 3}, {"doknev", "/a.pdf"}, {"doknev_rovid", "a cégé"}});
    ScriptedInteraction user;
    for (const char* form : {"frm_Megjegyzes", "frm_Ertesit"})
        user.onModal(form, [](QDialog& d) {
            trigger(d, "aSzerkeszt");
            trigger(d, "aTorol");
            d.reject();
        });
    user.onModal("frm_Megj", [](QDialog& d) {
        trigger(d, "aSzerkeszt");
        trigger(d, "aTorol");
        trigger(d, "aMegnyit");
        d.reject();
    });
    ShowNotes(nullptr, 1, 0, "");
    ShowNotifications(nullptr, 1, 0, "");
    ShowDocuments(nullptr, 4, 0, "");  // the company 4 has one, the customer 4 none
    EXPECT_EQ(user.asked.size(), 3u);  // the three windows, nothing else
    EXPECT_EQ(rows("ugyf_megj", {"rovid"}).size() + rows("ugyf_ertesit", {"rovid"}).size(), 0);
    EXPECT_EQ(rows("megj", {"doknev_rovid"}), QStringList{"a cégé"});
}

TEST_F(RecordRowsTest, RefusedSavesKeepTheEditorOpenWithWhatWasTyped)
{
    addRow("megj", {{"Ugyfel", 7}, {"tipus", 3}, {"doknev", "/srv/ajanlat.pdf"}, {"doknev_rovid", "ajánlat"}});
    ScriptedInteraction user;
    // The same path once more under the same owner key (here of a customer,
    // not the company), then an empty path, then a new path.
    user.onModal("frm_Megj_Szerkeszt", [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Csatolt dokumentum");
        typeInto(d.findChild<QLineEdit*>("DBEdit3"), "másolat");
        typeInto(d.findChild<QLineEdit*>("DBEdit2"), "/srv/ajanlat.pdf");
        d.findChild<QPushButton*>("Button1")->click();
        EXPECT_TRUE(d.isVisible());
        typeInto(d.findChild<QLineEdit*>("DBEdit2"), "");
        d.findChild<QPushButton*>("Button1")->click();
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(d.findChild<QLineEdit*>("DBEdit3")->text(), "másolat");
        typeInto(d.findChild<QLineEdit*>("DBEdit2"), "/srv/ajanlat2.pdf");
        d.findChild<QPushButton*>("Button1")->click();
    });
    user.onModal("frm_Megj", [](QDialog& d) {
        EXPECT_EQ(d.findChild<QLabel*>("Panel1")->text(), "   Kovács Anna");
        trigger(d, "aUj");
        d.reject();
    });
    ShowDocuments(nullptr, 7, 0, "Kovács Anna");
    ASSERT_EQ(user.errors().size(), 2);
    EXPECT_TRUE(user.errors()[0].startsWith("Ez a dokumentum már csatolva van")) << user.errors()[0].toStdString();
    EXPECT_TRUE(user.errors()[0].endsWith("/srv/ajanlat.pdf"));
    EXPECT_EQ(user.errors()[1], "Adja meg a dokumentum elérési útját.");
    EXPECT_EQ(rows("megj", {"Ugyfel", "tipus", "doknev", "doknev_rovid"}),
              QStringList({"7|3|/srv/ajanlat.pdf|ajánlat", "7|0|/srv/ajanlat2.pdf|másolat"}));
}

TEST_F(RecordRowsTest, NoteSavedWhileAnotherProgramHoldsTheTableIsKeptForAnotherTry)
{
    auto other = engine::Database::open(dbFolder().toStdString());
    ASSERT_TRUE(other.isOk());
    auto held = (*other)->openTable("ugyf_ertesit", engine::OpenMode::Shared);
    ASSERT_TRUE(held.isOk());
    ScriptedInteraction user;
    user.onModal("frm_Ertesit_Szerkeszt", [&](QDialog& d) {
        typeInto(d.findChild<QLineEdit*>("DBEdit4"), "levél ment");
        ASSERT_TRUE((*held)->begin().isOk());
        d.findChild<QPushButton*>("Button1")->click();
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(d.findChild<QLineEdit*>("DBEdit4")->text(), "levél ment");
        ASSERT_TRUE((*held)->rollback().isOk());
        d.findChild<QPushButton*>("Button1")->click();
    });
    user.onModal("frm_Ertesit", [](QDialog& d) {
        trigger(d, "aUj");
        EXPECT_EQ(shown(static_cast<OwnerListWindow&>(d)), QStringList{"levél ment"});
        d.reject();
    });
    ShowNotifications(nullptr, 2, 0, "");
    ASSERT_EQ(user.errors().size(), 1);
    EXPECT_TRUE(user.errors()[0].startsWith("Hiányos, vagy hibás adatmegadás\n")) << user.errors()[0].toStdString();
    EXPECT_EQ(rows("ugyf_ertesit", {"ugyfel", "rovid"}), QStringList{"2|levél ment"});
}

TEST_F(RecordRowsTest, DocumentsAreOpenedAsDocumentsAndUnreachablePathsAreNamed)
{
    const QString program = home.path() + "/telepito.sh";
    {
        QFile f(program);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\ntouch " + home.path().toUtf8() + "/ran\n");
    }
    QFile::setPermissions(program, QFile::permissions(program) | QFileDevice::ExeOwner);
    ScriptedInteraction user;
    OpenDocument(nullptr, program);
    OpenDocument(nullptr, home.path() + "/nincs.pdf");
    OpenDocument(nullptr, "C:\\Dokumentumok\\level.doc");
    OpenDocument(nullptr, "\\\\szerver\\megosztas\\level.doc");
    OpenDocument(nullptr, "");
    const auto shell = user.ofKind("shell");
    ASSERT_EQ(shell.size(), 1u);
    EXPECT_EQ(shell[0].text, QUrl::fromLocalFile(program).toString());
    EXPECT_FALSE(QFile::exists(home.path() + "/ran"));
    EXPECT_EQ(user.errors(), QStringList({"A dokumentum nem található:\n" + home.path() + "/nincs.pdf",
                                          "A dokumentum egy Windows gépen megadott helyre mutat, itt nem érhető "
                                          "el:\nC:\\Dokumentumok\\level.doc",
                                          "A dokumentum egy Windows gépen megadott helyre mutat, itt nem érhető "
                                          "el:\n\\\\szerver\\megosztas\\level.doc"}));
}

TEST_F(RecordRowsTest, ChosenOrDroppedFileFillsThePathAndTooLongPathsAreRefused)
{
    const QString file = home.path() + "/szerződés.pdf";
    QFile(file).open(QIODevice::WriteOnly);
    const QString tooLong = "/" + QString(300, 'a');
    ScriptedInteraction user;
    user.files = {"", file};
    user.onModal("frm_Megj_Szerkeszt", [&](QDialog& d) {
        auto* path = d.findChild<QLineEdit*>("DBEdit2");
        d.findChild<QPushButton*>("BitBtn1")->click();  // cancelled
        EXPECT_EQ(path->text(), "");
        d.findChild<QPushButton*>("BitBtn1")->click();
        EXPECT_EQ(path->text(), file);
        d.findChild<QPushButton*>("Button1")->click();
    });
    user.onModal("frm_Megj_Szerkeszt", [&](QDialog& d) {
        EXPECT_EQ(d.findChild<QLineEdit*>("DBEdit2")->text(), file);
        d.findChild<QPushButton*>("Button2")->click();
    });
    user.onModal("frm_Megj", [&](QDialog& d) {
        auto& w = static_cast<Tfrm_Megj&>(d);
        trigger(d, "aUj");
        w.newEntry(file);        // as a drop from the desktop does
        w.newEntry(tooLong);     // refused before any editor opens
        EXPECT_EQ(shown(w, "doknev"), QStringList{file});
        trigger(d, "aMegnyit");
        d.reject();
    });
    ShowDocuments(nullptr, 1, 1, "");
    ASSERT_EQ(user.errors().size(), 1);
    EXPECT_TRUE(user.errors()[0].startsWith("Ez az elérési út nem tárolható:\n" + tooLong));
    EXPECT_EQ(user.ofKind("shell").size(), 1u);
    EXPECT_EQ(rows("megj", {"Ugyfel", "tipus", "doknev"}), QStringList{"1|1|" + file});
}
