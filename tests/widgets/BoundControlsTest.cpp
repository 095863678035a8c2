// Data-aware controls driven as a user drives them: they show the current
// row, write typed values back, and refuse what the field cannot hold.
#include <QClipboard>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>

#include "../common/DbFixture.h"
#include "widgets/DBControls.h"

namespace {

// Types text as the keyboard would, any characters included (one key event
// per character, a surrogate pair together).
void typeText(QWidget* w, const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString chunk = text.mid(i, n);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, chunk);
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, chunk);
        QApplication::sendEvent(w, &release);
        i += n - 1;
    }
}

class ControlsTest : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        window_ = std::make_unique<QWidget>();
        window_->resize(400, 300);
    }

    // Shows the control in a window and gives it the focus, as a click would.
    template <class W>
    W* place(W* w)
    {
        w->setParent(window_.get());
        w->show();
        window_->show();
        window_->activateWindow();
        w->setFocus();
        QApplication::processEvents();
        return w;
    }

    std::unique_ptr<QWidget> window_;
};

}  // namespace

TEST_F(ControlsTest, EditShowsTheCurrentRowAndWritesWhatIsTyped)
{
    addRow("tipus", {{"tipus_nev", QStringLiteral("Vevő")}});
    addRow("tipus", {{"tipus_nev", QStringLiteral("Partner")}});
    TableDataSet t(conn.get());
    t.setTableName("tipus.DB");
    t.open();
    auto* edit = place(new DBEdit);
    edit->setDataSet(&t);
    edit->setDataField("TIPUS_NEV");
    EXPECT_EQ(edit->text(), "Vevő");
    t.next();
    EXPECT_EQ(edit->text(), "Partner");

    typeText(edit, " Kft.");
    EXPECT_EQ(t.state(), DataSet::State::Edit);  // typing starts the edit
    EXPECT_EQ(t.fieldByName("tipus_nev")->asString(), "Partner Kft.");
    t.post();
    t.first();
    EXPECT_EQ(edit->text(), "Vevő");
    t.last();
    EXPECT_EQ(edit->text(), "Partner Kft.");

    // Typing past the field's size stops at 25 characters, saying why.
    QSignalSpy refused(edit, &DBEdit::inputRefused);
    edit->selectAll();
    typeText(edit, QString(30, QChar(0x0171)));  // ű
    EXPECT_EQ(t.fieldByName("tipus_nev")->asString(), QString(25, QChar(0x0171)));
    EXPECT_EQ(edit->text(), QString(25, QChar(0x0171)));
    ASSERT_EQ(refused.size(), 5);
    EXPECT_TRUE(refused.at(0).at(0).toString().contains("legfeljebb 25 karakter"));
    t.cancel();
    EXPECT_EQ(edit->text(), "Partner Kft.");
}

TEST_F(ControlsTest, EditRefusesCharactersOutsideWindows1250WithAMessage)
{
    addRow("tipus", {{"tipus_nev", QStringLiteral("Vevő")}});
    TableDataSet t(conn.get());
    t.setTableName("tipus.DB");
    t.open();
    auto* edit = place(new DBEdit);
    edit->setDataSet(&t);
    edit->setDataField("tipus_nev");
    QSignalSpy refused(edit, &DBEdit::inputRefused);
    edit->end(false);
    typeText(edit, QStringLiteral("中"));
    ASSERT_EQ(refused.size(), 1);
    const QString message = refused.at(0).at(0).toString();
    EXPECT_TRUE(message.contains("中")) << message.toStdString();
    EXPECT_TRUE(message.contains("Windows-1250")) << message.toStdString();
    EXPECT_EQ(edit->text(), "Vevő");
    EXPECT_EQ(edit->cursorPosition(), 4);
    typeText(edit, QStringLiteral("k"));
    EXPECT_EQ(t.fieldByName("tipus_nev")->asString(), "Vevők");

    // Pasted text with such a character is refused whole, and so is one
    // that would not fit: nothing is cut off unseen.
    QApplication::clipboard()->setText(QStringLiteral("Új 😀 ügyfél"));
    edit->selectAll();
    QTest::keySequence(edit, QKeySequence::Paste);
    EXPECT_EQ(refused.size(), 2);
    EXPECT_EQ(edit->text(), "Vevők");
    QApplication::clipboard()->setText(QString(26, QLatin1Char('x')));
    edit->selectAll();
    QTest::keySequence(edit, QKeySequence::Paste);
    EXPECT_EQ(refused.size(), 3);
    EXPECT_EQ(edit->text(), "Vevők");
    EXPECT_EQ(t.fieldByName("tipus_nev")->asString(), "Vevők");
}

TEST_F(ControlsTest, EditOfNumbersAndDatesUsesFormatsAndRefusesBadInput)
{
    addRow("ugyfel", {{"Ugyfel_nev", QStringLiteral("Egy")}, {"honap", 3}, {"Datum", QDate(2024, 3, 7)}});
    TableDataSet t(conn.get());
    t.setTableName("ugyfel.DB");
    t.setDisplayFormat("ugyfel", "00000");
    t.open();

    auto* key = new DBEdit;
    key->setDataSet(&t);
    key->setDataField("ugyfel");
    key->setParent(window_.get());
    EXPECT_EQ(key->text(), "00001");  // not focused: the display format
    EXPECT_TRUE(key->isReadOnly());   // the store numbers the rows

    auto* month = place(new DBEdit);
    month->setDataSet(&t);
    month->setDataField("honap");
    QSignalSpy refused(month, &DBEdit::inputRefused);
    month->selectAll();
    typeText(month, "11");
    EXPECT_EQ(t.fieldByName("honap")->asInteger(), 11);
    typeText(month, "x");  // not a number yet: kept in the box, not written
    EXPECT_EQ(month->text(), "11x");
    EXPECT_EQ(t.fieldByName("honap")->asInteger(), 11);
    EXPECT_EQ(refused.size(), 0);
    QTest::keyClick(month, Qt::Key_Return);  // leaving it tells and shows the value again
    ASSERT_EQ(refused.size(), 1);
    EXPECT_TRUE(refused.at(0).at(0).toString().contains("11x"));
    EXPECT_EQ(month->text(), "11");

    auto* date = place(new DBEdit);
    date->setDataSet(&t);
    date->setDataField("datum");
    EXPECT_EQ(date->text(), "2024. 03. 07.");
    date->selectAll();
    typeText(date, "2024.12.24");
    EXPECT_EQ(t.fieldByName("datum")->asDate(), QDate(2024, 12, 24));
    t.post();
    EXPECT_EQ(t.fieldByName("honap")->asInteger(), 11);
}

TEST_F(ControlsTest, MemoCheckBoxDateBoxAndText)
{
    addRow("allapot", {{"allapot", 1}, {"allapot_nev", QStringLiteral("Új")}});
    addRow("feladat", {{"rovid", QStringLiteral("Első")}, {"lezarva", QStringLiteral("N")},
                       {"dat_hatid", QDate(2024, 3, 7)}});
    TableDataSet t(conn.get());
    t.setTableName("feladat.DB");
    t.setDisplayFormat("feladat", "00000");
    t.open();

    auto* memo = place(new DBMemo);
    memo->setDataSet(&t);
    memo->setDataField("leiras");
    QSignalSpy memoRefused(memo, &DBMemo::inputRefused);
    typeText(memo, "sor");
    QTest::keyClick(memo, Qt::Key_Return);
    typeText(memo, "második");
    EXPECT_EQ(t.fieldByName("leiras")->asString(), "sor\nmásodik");
    typeText(memo, QStringLiteral("✓"));
    EXPECT_EQ(memoRefused.size(), 1);
    EXPECT_EQ(memo->toPlainText(), "sor\nmásodik");
    EXPECT_EQ(t.fieldByName("leiras")->asString(), "sor\nmásodik");

    auto* closed = place(new DBCheckBox(QStringLiteral("lezárva")));
    closed->setDataSet(&t);
    closed->setDataField("lezarva");
    EXPECT_FALSE(closed->isChecked());
    QTest::mouseClick(closed, Qt::LeftButton);
    EXPECT_EQ(t.fieldByName("lezarva")->asString(), "I");
    QTest::mouseClick(closed, Qt::LeftButton);
    EXPECT_EQ(t.fieldByName("lezarva")->asString(), "N");
    t.fieldByName("lezarva")->clear();
    EXPECT_FALSE(closed->isChecked());  // a blank flag is not set

    auto* deadline = place(new DBDateEdit);
    deadline->setDataSet(&t);
    deadline->setDataField("dat_hatid");
    EXPECT_EQ(deadline->date(), QDate(2024, 3, 7));
    deadline->setDate(QDate(2024, 4, 1));
    EXPECT_EQ(t.fieldByName("dat_hatid")->asDate(), QDate(2024, 4, 1));
    QTest::keyClick(deadline, Qt::Key_Delete);
    EXPECT_TRUE(t.fieldByName("dat_hatid")->isNull());
    EXPECT_EQ(deadline->text().trimmed(), "");

    auto* id = new DBText(window_.get());
    id->setDataSet(&t);
    id->setDataField("feladat");
    auto* title = new DBText(window_.get());
    title->setDataSet(&t);
    title->setDataField("rovid");
    t.post();
    EXPECT_EQ(id->text(), "00001");
    EXPECT_EQ(title->text(), "Első");
    t.append();
    EXPECT_EQ(id->text(), "");
    EXPECT_EQ(title->text(), "");
    EXPECT_FALSE(closed->isChecked());
    EXPECT_TRUE(memo->toPlainText().isEmpty());
    t.cancel();
    EXPECT_EQ(title->text(), "Első");
    t.close();
    EXPECT_EQ(title->text(), "");
}

TEST_F(ControlsTest, LookupComboStoresTheKeyAndShowsTheName)
{
    addRow("prioritas", {{"prioritas", 1}, {"prioritas_nev", QStringLiteral("Sürgős")}});
    addRow("prioritas", {{"prioritas", 2}, {"prioritas_nev", QStringLiteral("Normál")}});
    addRow("feladat", {{"rovid", QStringLiteral("Egy")}, {"prioritas", 2}});
    addRow("feladat", {{"rovid", QStringLiteral("Kettő")}, {"prioritas", 7}});  // no such priority
    TableDataSet list(conn.get());
    list.setTableName("prioritas.DB");
    list.setReadOnly(true);
    list.open();
    TableDataSet t(conn.get());
    t.setTableName("feladat.DB");
    t.open();

    auto* combo = place(new DBLookupComboBox);
    combo->setListSource(&list);
    combo->setKeyField("prioritas");
    combo->setListField("prioritas_nev");
    combo->setDataSet(&t);
    combo->setDataField("prioritas");
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->currentText(), "Normál");
    t.next();
    EXPECT_EQ(combo->currentIndex(), -1);
    EXPECT_EQ(combo->currentText(), "");

    // Choosing with the keyboard writes the key.
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(t.state(), DataSet::State::Edit);
    EXPECT_EQ(t.fieldByName("prioritas")->asInteger(), 1);
    t.post();
    EXPECT_EQ(combo->currentText(), "Sürgős");

    // A read-only data set leaves the controls unchangeable.
    QueryDataSet q(conn.get());
    q.setSql({"SELECT * FROM feladat"});
    q.open();
    combo->setDataSet(&q);
    EXPECT_FALSE(combo->isEnabled());
    auto* edit = place(new DBEdit);
    edit->setDataSet(&q);
    edit->setDataField("rovid");
    EXPECT_TRUE(edit->isReadOnly());
}
