#include "Szerkeszt.h"

#include <QAction>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include "EditPictures.h"
#include "RecordWindow.h"
#include "RowEdit.h"
#include "TorzsCeg.h"
#include "TorzsTipus.h"
#include "app/Main/Beall.h"
#include "app/Main/ImageList.h"
#include "common/Convert.h"
#include "common/DataSet.h"
#include "common/Interaction.h"
#include "common/Messages.h"
#include "widgets/DBControls.h"
#include "widgets/Form.h"

namespace {

void readOnlyBox(DBEdit* e)
{
    e->setBoundReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
}

}  // namespace

Tfrm_Szerkeszt::Tfrm_Szerkeszt(TableDataSet* tbl, QWidget* parent) : QDialog(parent), tbl_(tbl)
{
    setObjectName("frm_Szerkeszt");
    setWindowTitle("Szerkesztés");
    SetFixedDialogFrame(this, QSize(580, 500));

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    PageControl1->setGeometry(4, 4, 572, 492);
    PageControl1->addTab(buildDataPage(), "Adatok");
    PageControl1->addTab(buildNotesPage(), "Megjegyzés");

    for (QPushButton* ok : {Button1, Button3}) connect(ok, &QPushButton::clicked, this, &Tfrm_Szerkeszt::OKClick);
    for (QPushButton* cancel : {Button2, Button4}) connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(BitBtn1, &QPushButton::clicked, this, &Tfrm_Szerkeszt::BitBtn1Click);
    connect(BitBtn5, &QPushButton::clicked, this, &Tfrm_Szerkeszt::BitBtn5Click);
    connect(BitBtn2, &QPushButton::clicked, this, [this] {
        pick("tipus", [](int k, QWidget* o) { return ShowList(Torzs::Tipus, k, true, o); }, BitBtn3);
    });
    connect(BitBtn3, &QPushButton::clicked, this,
            [this] { pick("ceg", [](int k, QWidget* o) { return ShowCompanyList(k, true, o); }, BitBtn6); });
    connect(BitBtn6, &QPushButton::clicked, this, [this] {
        pick("beosztas", [](int k, QWidget* o) { return ShowList(Torzs::Beosztas, k, true, o); }, DBEdit12);
    });
    connect(BitBtn4, &QPushButton::clicked, this, [this] {
        pick("uzletkoto", [](int k, QWidget* o) { return ShowList(Torzs::Uzletkoto, k, true, o); }, Button1);
    });
    DBEdit10->installEventFilter(this);

    const QList<QWidget*> order = {DBEdit24, DBEdit1,  BitBtn1,  DBEdit15, DBEdit16, BitBtn5,  DBEdit17,
                                   DBEdit18, DBLookupComboBox1, DBLookupComboBox2, DBLookupComboBox3,
                                   DBEdit12, DBEdit2,  DBEdit3,  DBEdit4,  DBEdit5,  DBEdit6,  DBEdit7,
                                   DBEdit8,  DBEdit10, DBEdit9,  DBEdit11, DBLookupComboBox4, DBEdit19,
                                   Button1,  Button2,  BitBtn2,  BitBtn3,  BitBtn6,  BitBtn4};
    for (qsizetype i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

QWidget* Tfrm_Szerkeszt::buildDataPage()
{
    auto* page = new QWidget;
    page->setObjectName("TabSheet1");
    DataSet* t = tbl_;
    QFont bold = font();
    bold.setBold(true);

    DBEdit24 = LabelledEdit(page, "DBEdit24", "prefix", t, "prefix", 10, 8, 70);
    DBEdit1 = LabelledEdit(page, "DBEdit1", "ügyfél", t, "Ugyfel_nev", 86, 8, 434);
    DBEdit24->setFont(bold);
    DBEdit1->setFont(bold);
    BitBtn1 = GlyphButton(page, "BitBtn1", Picture(Pic::Customers), "Név adat bontás", 526, 22);

    DBEdit15 = LabelledEdit(page, "DBEdit15", "v.név", t, "vnev", 10, 50, 200);
    DBEdit16 = LabelledEdit(page, "DBEdit16", "k.név", t, "knev", 216, 50, 150);
    BitBtn5 = GlyphButton(page, "BitBtn5", Picture(Pic::NameDays), "Névnap keresés", 372, 64);
    DBEdit17 = LabelledEdit(page, "DBEdit17", "hónap", t, "honap", 404, 50, 50);
    DBEdit18 = LabelledEdit(page, "DBEdit18", "nap", t, "nap", 460, 50, 50);

    DBLookupComboBox1 = LabelledLookup(page, "DBLookupComboBox1", "típus", t, "tipus", ReferenceTable(this, "tipus.DB"),
                               "tipus_nev", 10, 92, 180);
    BitBtn2 = GlyphButton(page, "BitBtn2", Picture(Pic::Types), "Típusok", 194, 106);
    DBLookupComboBox2 = LabelledLookup(page, "DBLookupComboBox2", "cég", t, "ceg", ReferenceTable(this, "ceg.DB"), "ceg_nev",
                               226, 92, 294);
    BitBtn3 = GlyphButton(page, "BitBtn3", Picture(Pic::Companies), "Cégek", 526, 106);

    DBLookupComboBox3 = LabelledLookup(page, "DBLookupComboBox3", "beosztás", t, "beosztas",
                               ReferenceTable(this, "beosztas.DB"), "beosztas_nev", 10, 134, 180);
    BitBtn6 = GlyphButton(page, "BitBtn6", Picture(Pic::Users), "Beosztások", 194, 148);
    DBEdit12 = LabelledEdit(page, "DBEdit12", "kapcsolat", t, "Kapcsolat", 226, 134, 324);

    DBEdit2 = LabelledEdit(page, "DBEdit2", "magántelefon", t, "Telefon_magan", 10, 176, 130);
    DBEdit3 = LabelledEdit(page, "DBEdit3", "céges telefon", t, "Telefon_ceges", 146, 176, 130);
    DBEdit4 = LabelledEdit(page, "DBEdit4", "mobil", t, "Mobil", 282, 176, 130);
    DBEdit5 = LabelledEdit(page, "DBEdit5", "fax", t, "Fax", 418, 176, 132);

    DBEdit6 = LabelledEdit(page, "DBEdit6", "e-mail 1.", t, "Emil1", 10, 218, 267);
    DBEdit7 = LabelledEdit(page, "DBEdit7", "e-mail 2.", t, "Emil2", 283, 218, 267);
    DBEdit8 = LabelledEdit(page, "DBEdit8", "honlap", t, "Honlap", 10, 260, 540);

    DBEdit10 = LabelledEdit(page, "DBEdit10", "irsz.", t, "Cim_irsz", 10, 302, 60);
    DBEdit9 = LabelledEdit(page, "DBEdit9", "város", t, "Cim_varos", 76, 302, 180);
    DBEdit11 = LabelledEdit(page, "DBEdit11", "cím", t, "Cim_cim", 262, 302, 288);

    DBEdit14 = LabelledEdit(page, "DBEdit14", "figyelmeztetés", t, "dat_figy", 10, 344, 90);
    DBEdit22 = new DBEdit(page);
    DBEdit22->setObjectName("DBEdit22");
    DBEdit22->setGeometry(106, 359, 314, 21);
    DBEdit22->setDataSet(t);
    DBEdit22->setDataField("figy_szoveg");
    DBEdit13 = LabelledEdit(page, "DBEdit13", "bekerülés dátum", t, "Datum", 450, 344, 100);
    for (DBEdit* e : {DBEdit14, DBEdit22, DBEdit13}) readOnlyBox(e);

    DBLookupComboBox4 = LabelledLookup(page, "DBLookupComboBox4", "üzletkötő", t, "uzletkoto",
                               ReferenceTable(this, "uzletkoto.DB"), "uzletkoto_nev", 10, 386, 240);
    BitBtn4 = GlyphButton(page, "BitBtn4", Picture(Pic::Agents), "Üzletkötők", 254, 400);
    DBEdit19 = LabelledEdit(page, "DBEdit19", "kulcsszavak", t, "kulcsszavak", 286, 386, 264);

    Button1 = PlaceButton(page, "Button1", "OK", 394, 432);
    Button2 = PlaceButton(page, "Button2", "Mégsem", 475, 432);
    return page;
}

QWidget* Tfrm_Szerkeszt::buildNotesPage()
{
    auto* page = new QWidget;
    page->setObjectName("TabSheet2");
    auto* bar = new QToolBar(page);
    bar->setIconSize(QSize(16, 16));
    bar->setGeometry(4, 2, 200, 26);
    // The memo's own keys do the editing; the buttons serve the mouse.
    const struct {
        const char* name;
        const char* text;
        EditPic pic;
        const char* slot;
    } kCommands[] = {{"aKivag", "Kivág (Ctrl+X)", EditPic::Cut, "cut"},
                     {"aMasol", "Másol (Ctrl+C)", EditPic::Copy, "copy"},
                     {"aBeilleszt", "Beilleszt (Ctrl+V)", EditPic::Paste, "paste"},
                     {"aVisszavon", "Visszavon (Ctrl+Z)", EditPic::Undo, "undo"}};
    DBMemo1 = new DBMemo(page);
    for (const auto& c : kCommands) {
        QAction* a = bar->addAction(EditPicture(c.pic), c.text);
        a->setObjectName(c.name);
        const char* slot = c.slot;
        connect(a, &QAction::triggered, DBMemo1, [this, slot] { QMetaObject::invokeMethod(DBMemo1, slot); });
    }
    DBMemo1->setObjectName("DBMemo1");
    DBMemo1->setGeometry(4, 30, 556, 392);
    DBMemo1->setFont(QFont("Courier New", 9));
    DBMemo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    DBMemo1->setDataSet(tbl_);
    DBMemo1->setDataField("Megjegyzes");
    Button3 = PlaceButton(page, "Button3", "OK", 394, 432);
    Button4 = PlaceButton(page, "Button4", "Mégsem", 475, 432);
    return page;
}

void Tfrm_Szerkeszt::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    PageControl1->setCurrentIndex(0);
    DBEdit1->setFocus();
}

bool Tfrm_Szerkeszt::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == DBEdit10 && event->type() == QEvent::FocusOut) postalCodeLeft();
    return QDialog::eventFilter(watched, event);
}

void Tfrm_Szerkeszt::OKClick()
{
    if (SaveRow(*tbl_, this)) accept();
}

void Tfrm_Szerkeszt::BitBtn1Click()
{
    QString given, family;
    int month = 0, day = 0;
    SplitName(tbl_->fieldByName("ugyfel_nev")->asString(), given, month, day, family);
    // Words longer than the boxes are cut to them, and all four values go in
    // or none: a name is never left half split.
    Field* knev = tbl_->fieldByName("knev");
    Field* vnev = tbl_->fieldByName("vnev");
    given.truncate(knev->size());
    family.truncate(vnev->size());
    const std::pair<Field*, QVariant> values[] = {
        {knev, given}, {vnev, family}, {tbl_->fieldByName("honap"), month}, {tbl_->fieldByName("nap"), day}};
    std::vector<QVariant> before;
    for (const auto& [field, value] : values) before.push_back(field->value());
    try {
        for (const auto& [field, value] : values) field->setValue(value);
    } catch (const DbError& e) {
        for (size_t i = 0; i < before.size(); ++i) values[i].first->setValue(before[i]);
        ShowError("Hiba: " + e.message(), this);
        return;
    }
    DBEdit15->setFocus();
}

void Tfrm_Szerkeszt::BitBtn5Click()
{
    int month = 0, day = 0;
    LookupNameDay(tbl_->fieldByName("knev")->asString().trimmed(), month, day);
    tbl_->fieldByName("honap")->setValue(month);
    tbl_->fieldByName("nap")->setValue(day);
    DBEdit17->setFocus();
}

void Tfrm_Szerkeszt::postalCodeLeft()
{
    Field* city = tbl_->fieldByName("Cim_varos");
    const QString before = city->asString();
    const QString after = CityForPostalCode(tbl_->fieldByName("Cim_irsz")->asString(), before, Beall.defaultCity);
    if (after == before) return;
    try {
        city->setValue(after);
    } catch (const DbError& e) {
        ShowError("Hiba: " + e.message(), this);
    }
}

void Tfrm_Szerkeszt::pick(const char* column, int (*list)(int key, QWidget* owner), QWidget* focusAfter)
{
    PickInto(tbl_, column, list, this);
    focusAfter->setFocus();
}

void LookupNameDay(const QString& givenName, int& month, int& day)
{
    month = 0;
    day = 0;
    if (givenName.isEmpty()) return;
    // The table's own order (month, day, name): the first match is the
    // earliest name day of the year.
    TableDataSet names(Connection::byName(DatabaseAlias));
    names.setTableName("nevnap.DB");
    names.setReadOnly(true);
    names.open();
    if (names.locate("Nev", givenName, DataSet::CaseInsensitive)) {
        month = names.fieldByName("Honap")->asInteger();
        day = names.fieldByName("Nap")->asInteger();
    }
}

void SplitName(const QString& fullName, QString& givenName, int& month, int& day, QString& familyName)
{
    const QString name = fullName.trimmed();
    familyName = WordAt(' ', name, 1);
    givenName = familyName;
    for (int n : {2, 3})
        if (!WordAt(' ', name, n).isEmpty()) givenName = WordAt(' ', name, n);
    LookupNameDay(givenName, month, day);
}

QString CityForPostalCode(const QString& postalCode, const QString& city, const QString& defaultCity)
{
    if (!city.isEmpty() && city != defaultCity) return city;
    TableDataSet codes(Connection::byName(DatabaseAlias));
    codes.setTableName("irsz.DB");
    codes.setReadOnly(true);
    codes.open();
    return codes.locate("irsz", postalCode) ? codes.fieldByName("varos")->asString() : city;
}

void EditCustomer(TableDataSet& tbl, QueryDataSet& qry, int key, QWidget* owner)
{
    int shown = key;
    try {
        tbl.open();
        if (key == -1) {
            tbl.append();
            tbl.fieldByName("Datum")->setValue(QDate::currentDate());
        } else if (tbl.locate("ugyfel", key)) {
            tbl.edit();
        }
        if (tbl.isEditing()) {
            Tfrm_Szerkeszt dialog(&tbl, owner);
            if (interaction().runModal(dialog) == QDialog::Accepted) shown = tbl.fieldByName("ugyfel")->asInteger();
            else if (tbl.isEditing()) tbl.cancel();
        }
    } catch (const DbError&) {
        ReopenList(tbl, qry, "ugyfel", shown);
        throw;
    }
    ReopenList(tbl, qry, "ugyfel", shown);
}
