#include <QToolButton>

#include "RecordsFixture.h"
#include "app/Main/Beallit.h"
#include "app/records/TorzsTipus.h"
#include "tests/support/ScriptedInteraction.h"

namespace {

class BeallitPickerTest : public RecordsTest {
protected:
    void SetUp() override
    {
        RecordsTest::SetUp();
        Beall.databaseFolder = dbFolder();
    }

    static void pickPriority(ScriptedInteraction& user, int expectedStart, int choose)
    {
        user.onModal("frm_TorzsPrioritas", [=](QDialog& d) {
            TableDataSet* tbl = static_cast<Tfrm_TorzsTipus&>(d).Tbl;
            EXPECT_EQ(tbl->fieldByName("prioritas")->asInteger(), expectedStart);
            if (choose < 0) {
                trigger(d, "aBezar");
                return;
            }
            tbl->locate("prioritas", choose);
            trigger(d, "aElfogad");
        });
    }
};

}  // namespace

TEST_F(BeallitPickerTest, ThePriorityButtonSetsPriorityAndDeadlineAndCancelKeepsBoth)
{
    // The new database's default is priority 2 with 7 days.
    ScriptedInteraction user;
    pickPriority(user, 2, 3);
    pickPriority(user, 3, -1);
    user.onModal("frm_Beallit", [](QDialog& d) {
        auto* button = d.findChild<QToolButton*>("BitBtn2");
        button->click();
        EXPECT_EQ(box(d, "DBEdit1")->text(), "3");
        EXPECT_EQ(box(d, "DBEdit7")->text(), "30");
        button->click();  // closed without choosing: nothing changes
        EXPECT_EQ(box(d, "DBEdit7")->text(), "30");
        click(d, "btnOK");
    });
    ShowSettingsDialog(nullptr);
    EXPECT_EQ(rows("beallit", {"alapprioritas", "alaphatarido"}), QStringList{"3|30"});

    pickPriority(user, 3, 4);
    user.onModal("frm_Beallit", [](QDialog& d) {
        d.findChild<QToolButton*>("BitBtn2")->click();
        click(d, "btnMegsem");
    });
    ShowSettingsDialog(nullptr);
    EXPECT_EQ(rows("beallit", {"alapprioritas", "alaphatarido"}), QStringList{"3|30"});
}
