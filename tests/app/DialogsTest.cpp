#include <QCoreApplication>
#include <QDateEdit>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <functional>
#include <new>

#include "app/dialogs/Datum.h"
#include "app/dialogs/InpStr.h"
#include "app/dialogs/InputLine.h"
#include "common/DataSet.h"
#include "common/Interaction.h"
#include "common/Messages.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TempHome.h"

namespace {

template <class T>
T* child(QDialog& d, const char* name)
{
    T* w = d.findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
}

// An object whose handler of a user event throws what it is given.
class Thrower : public QObject {
public:
    std::function<void()> fail;

    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User) fail();
        return QObject::event(e);
    }
};

}  // namespace

TEST(MessageBoxes, CarryTheProgramsTitlesAndAnswers)
{
    ScriptedInteraction user;
    user.yesNo = {true, false};
    EXPECT_TRUE(AskYesNo("Valóban töröljem a sort?", "Megerősítés"));
    EXPECT_FALSE(AskYesNo("Második?", "Kérdés"));
    ShowError("Hiba: első sor\nmásodik sor");
    ShowInfo("Jelszó változtatás kész.");
    ASSERT_EQ(user.asked.size(), 4u);
    EXPECT_EQ(user.asked[0].kind, "question");
    EXPECT_EQ(user.asked[0].title, "Megerősítés");
    EXPECT_EQ(user.asked[2].kind, "error");
    EXPECT_EQ(user.asked[2].title, "Hiba");
    EXPECT_EQ(user.asked[2].text, "Hiba: első sor\nmásodik sor");
    EXPECT_EQ(user.asked[3].kind, "info");
    EXPECT_EQ(user.asked[3].title, "Üzenet");
}

TEST(InputText, OkReturnsTheTextExactlyAsTyped)
{
    ScriptedInteraction user;
    user.onModal("frm_InpStr", [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Kulcsszó keresés");
        EXPECT_EQ(child<QLabel>(d, "Label1")->text(), "Add meg a keresendő kulcsszót");
        // One whole line of the prompt, descenders included.
        EXPECT_GE(child<QLabel>(d, "Label1")->height(), child<QLabel>(d, "Label1")->fontMetrics().height());
        EXPECT_EQ(child<QLineEdit>(d, "Edit1")->text(), "régi");
        EXPECT_EQ(d.size(), QSize(253, 113));
        child<QLineEdit>(d, "Edit1")->setText("  Új szöveg ");
        child<QPushButton>(d, "btnOK")->click();
    });
    QString text = "régi";
    EXPECT_TRUE(InputText("Kulcsszó keresés", "Add meg a keresendő kulcsszót", text));
    EXPECT_EQ(text, "  Új szöveg ");
}

TEST(InputText, CancelLeavesTheCallersText)
{
    ScriptedInteraction user;
    user.onModal("frm_InpStr", [](QDialog& d) {
        child<QLineEdit>(d, "Edit1")->setText("eldobva");
        child<QPushButton>(d, "btnMegsem")->click();
    });
    QString text = "marad";
    EXPECT_FALSE(InputText("Figyelmeztetés", "Add meg a szöveget", text));
    EXPECT_EQ(text, "marad");
}

TEST(InputDate, OkReturnsThePickedDateAndCancelKeepsTheOld)
{
    TempHome home;
    ScriptedInteraction user;
    user.onModal("frm_Datum", [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Dátum megadása");
        auto* e = child<QDateEdit>(d, "eAlso");
        EXPECT_EQ(e->date(), QDate(2024, 12, 31));
        EXPECT_FALSE(e->calendarPopup());
        e->setDate(QDate(2025, 1, 2));
        child<QPushButton>(d, "btnOK")->click();
    });
    user.onModal("frm_Datum", [](QDialog& d) {
        child<QDateEdit>(d, "eAlso")->setDate(QDate(2030, 1, 1));
        child<QPushButton>(d, "btnMegsem")->click();
    });
    QDate date(2024, 12, 31);
    EXPECT_TRUE(InputDate(date));
    EXPECT_EQ(date, QDate(2025, 1, 2));
    EXPECT_FALSE(InputDate(date));
    EXPECT_EQ(date, QDate(2025, 1, 2));
}

TEST(InputLine, IsSizedByTheAverageCharacterOfItsFont)
{
    ScriptedInteraction user;
    user.onModal(InputLineName, [](QDialog& d) {
        const QFontMetrics fm(d.font());
        const int X = fm.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 52;
        const int Y = fm.height();
        auto mulDiv = [](int a, int b, int c) { return int(std::lround(double(a) * b / c)); };
        EXPECT_EQ(d.windowTitle(), "Jelszó megadása");
        EXPECT_EQ(d.width(), mulDiv(180, X, 4));
        auto* label = child<QLabel>(d, "Prompt");
        EXPECT_EQ(label->pos(), QPoint(mulDiv(8, X, 4), mulDiv(8, Y, 8)));
        auto* edit = child<QLineEdit>(d, "Edit");
        EXPECT_EQ(edit->y(), label->geometry().bottom() + 1 + 5);
        EXPECT_EQ(edit->width(), mulDiv(164, X, 4));
        EXPECT_EQ(edit->echoMode(), QLineEdit::Normal);
        EXPECT_EQ(edit->maxLength(), 255);
        EXPECT_EQ(edit->selectedText(), "kezdő");
        auto* ok = child<QPushButton>(d, "btnOK");
        auto* cancel = child<QPushButton>(d, "btnMegsem");
        EXPECT_EQ(ok->geometry(), QRect(mulDiv(38, X, 4), edit->geometry().bottom() + 1 + 15,
                                        mulDiv(50, X, 4), mulDiv(14, Y, 8)));
        EXPECT_EQ(cancel->x(), mulDiv(92, X, 4));
        EXPECT_TRUE(ok->isDefault());
        EXPECT_EQ(d.height(), cancel->geometry().bottom() + 1 + 13);
        edit->setText("titok");
        ok->click();
    });
    user.onModal(InputLineName, [](QDialog& d) { child<QPushButton>(d, "btnMegsem")->click(); });
    QString text = "kezdő";
    EXPECT_TRUE(InputLine("Jelszó megadása", "Add meg az új jelszót", "", text));
    EXPECT_EQ(text, "titok");
    EXPECT_FALSE(InputLine("Megerősítés", "Add újra az új jelszót", "", text));
    EXPECT_EQ(text, "titok");
}

TEST(GeneralErrorDisplay, ShowsWhatAHandlerLetsEscapeInHungarianAndGoesOn)
{
    ScriptedInteraction user;
    Thrower thrower;
    const std::function<void()> failures[] = {
        [] { throw DbError("A tábla zárolva van."); },
        [] { throw std::bad_alloc(); },
        [] { throw 42; },
    };
    for (const auto& f : failures) {
        thrower.fail = f;
        QEvent e(QEvent::User);
        QCoreApplication::sendEvent(&thrower, &e);
    }
    EXPECT_EQ(user.errors(),
              QStringList({"A tábla zárolva van.", "Nincs elég memória a művelethez.", "Ismeretlen hiba"}));
}

// What the open operation is handed for the texts users keep in web-page,
// e-mail and document fields; a file is only ever handed over, never run.
TEST(ShellTargetTest, TextsBecomeTheAddressTheyMean)
{
    TempHome home;
    const QString folder = home.path();
    QFile program(folder + "/futtat.sh");
    ASSERT_TRUE(program.open(QIODevice::WriteOnly));
    program.write("#!/bin/sh\n");
    program.close();
    program.setPermissions(program.permissions() | QFileDevice::ExeOwner);

    EXPECT_EQ(shellUrl("www.pelda.hu", folder).toString(), "http://www.pelda.hu");
    EXPECT_EQ(shellUrl(" pelda.hu/kapcsolat?x=1 ", folder).toString(), "http://pelda.hu/kapcsolat?x=1");
    EXPECT_EQ(shellUrl("www.pelda.hu:8080/a", folder).toString(), "http://www.pelda.hu:8080/a");
    EXPECT_EQ(shellUrl("https://pelda.hu/a", folder).toString(), "https://pelda.hu/a");
    EXPECT_EQ(shellUrl("mailto:a@pelda.hu?subject=nyilvex", folder).toString(), "mailto:a@pelda.hu?subject=nyilvex");
    EXPECT_EQ(shellUrl("kovacs.bela@pelda.hu", folder).toString(), "mailto:kovacs.bela@pelda.hu");
    EXPECT_EQ(shellUrl("futtat.sh", folder), QUrl::fromLocalFile(folder + "/futtat.sh"));
    EXPECT_EQ(shellUrl(folder + "/futtat.sh", "/"), QUrl::fromLocalFile(folder + "/futtat.sh"));
    EXPECT_FALSE(shellUrl("C:\\Dokumentumok\\level.doc", folder).isValid());
    EXPECT_FALSE(shellUrl("nincs ilyen", folder).isValid());
    EXPECT_FALSE(shellUrl("  ", folder).isValid());
}
