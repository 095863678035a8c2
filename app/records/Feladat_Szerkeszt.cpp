#include "Feladat_Szerkeszt.h"

#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "Cikkszam_valaszt.h"
#include "RecordWindow.h"
#include "RowEdit.h"
#include "TorzsCeg.h"
#include "TorzsTipus.h"
#include "Ugyfel_valaszt.h"
#include "app/Main/Beall.h"
#include "app/Main/ImageList.h"
#include "common/DataSet.h"
#include "common/Interaction.h"
#include "widgets/DBControls.h"
#include "widgets/Form.h"

Tfrm_Feladat_Szerkeszt::Tfrm_Feladat_Szerkeszt(TableDataSet* tbl, QWidget* parent) : QDialog(parent), tbl_(tbl)
{
    setObjectName("frm_Feladat_Szerkeszt");
    setWindowTitle("Feladat szerkesztés");
    SetFixedDialogFrame(this, QSize(520, 470));

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    PageControl1->setGeometry(4, 4, 512, 462);
    PageControl1->addTab(buildTaskPage(), "Feladat");
    PageControl1->addTab(buildDescriptionPage(), "Leírás");

    for (QPushButton* ok : {Button1, Button3})
        connect(ok, &QPushButton::clicked, this, &Tfrm_Feladat_Szerkeszt::OKClick);
    for (QPushButton* cancel : {Button2, Button4}) connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    using List = int (*)(int, QWidget*);
    const std::pair<QPushButton*, std::pair<const char*, List>> pickers[] = {
        {BitBtn2, {"allapot", [](int k, QWidget* o) { return ShowList(Torzs::Allapot, k, true, o); }}},
        {BitBtn3, {"prioritas", [](int k, QWidget* o) { return ShowList(Torzs::Prioritas, k, true, o); }}},
        {BitBtn1, {"feltipus", [](int k, QWidget* o) { return ShowList(Torzs::Feltipus, k, true, o); }}},
        {BitBtn4, {"feleredmeny", [](int k, QWidget* o) { return ShowList(Torzs::Feleredmeny, k, true, o); }}},
        {BitBtn7, {"ceg", [](int k, QWidget* o) { return ShowCompanyList(k, true, o); }}},
        {BitBtn5, {"ugyfel", [](int k, QWidget* o) { return PickCustomer(k, o); }}},
        {BitBtn6, {"termek", [](int k, QWidget* o) { return PickProduct(k, o); }}},
    };
    for (const auto& [button, target] : pickers) {
        const auto [column, list] = target;
        connect(button, &QPushButton::clicked, this, [this, column, list] { PickInto(tbl_, column, list, this); });
    }

    const QList<QWidget*> order = {DateTimePicker1,   DateTimePicker2,   DBEdit8,           DBLookupComboBox3,
                                   DBLookupComboBox4, DBLookupComboBox5, DBLookupComboBox6, DBLookupComboBox8,
                                   DBLookupComboBox1, DBLookupComboBox2, DBLookupComboBox7, DBEdit2,
                                   Button1,           Button2,           DBEdit1,           BitBtn2,
                                   BitBtn1,           BitBtn3,           BitBtn4,           BitBtn5,
                                   BitBtn6,           DBCheckBox1,       BitBtn7};
    for (qsizetype i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);

    DateTimePicker1->setValue(tbl->fieldByName("dat_beerk")->value());
    DateTimePicker2->setValue(tbl->fieldByName("dat_hatid")->value());
}

QWidget* Tfrm_Feladat_Szerkeszt::buildTaskPage()
{
    auto* page = new QWidget;
    page->setObjectName("TabSheet1");
    DataSet* t = tbl_;

    PlaceLabel(page, "beérkezés", 10, 8);
    DateTimePicker1 = new DateBox(page);
    DateTimePicker1->setObjectName("DateTimePicker1");
    DateTimePicker1->setGeometry(10, 23, 110, 21);
    PlaceLabel(page, "határidő", 130, 8);
    DateTimePicker2 = new DateBox(page);
    DateTimePicker2->setObjectName("DateTimePicker2");
    DateTimePicker2->setGeometry(130, 23, 110, 21);
    DBEdit1 = LabelledEdit(page, "DBEdit1", "feladat", t, "feladat", 400, 8, 90);
    DBEdit1->setBoundReadOnly(true);
    tbl_->fieldByName("feladat")->setDisplayFormat("00000");

    DBEdit8 = LabelledEdit(page, "DBEdit8", "rövid leírás", t, "rovid", 10, 50, 480);

    DBLookupComboBox3 = LabelledLookup(page, "DBLookupComboBox3", "állapot", t, "allapot",
                                       ReferenceTable(this, "allapot.DB"), "allapot_nev", 10, 92, 190);
    BitBtn2 = GlyphButton(page, "BitBtn2", Picture(Pic::ListSimple), "Állapotok", 204, 106);
    DBLookupComboBox4 = LabelledLookup(page, "DBLookupComboBox4", "prioritás", t, "prioritas",
                                       ReferenceTable(this, "prioritas.DB"), "prioritas_nev", 246, 92, 190);
    BitBtn3 = GlyphButton(page, "BitBtn3", Picture(Pic::ListSimple), "Prioritások", 440, 106);

    DBLookupComboBox5 = LabelledLookup(page, "DBLookupComboBox5", "típus", t, "feltipus",
                                       ReferenceTable(this, "feltipus.DB"), "feltipus_nev", 10, 134, 190);
    BitBtn1 = GlyphButton(page, "BitBtn1", Picture(Pic::Types), "Feladat típus", 204, 148);
    DBLookupComboBox6 = LabelledLookup(page, "DBLookupComboBox6", "eredmény", t, "feleredmeny",
                                       ReferenceTable(this, "feleredmeny.DB"), "feleredmeny_nev", 246, 134, 190);
    BitBtn4 = GlyphButton(page, "BitBtn4", Picture(Pic::ListSimple), "Eredmény", 440, 148);

    DBLookupComboBox8 = LabelledLookup(page, "DBLookupComboBox8", "cég név", t, "ceg", ReferenceTable(this, "ceg.DB"),
                                       "ceg_nev", 10, 176, 426);
    BitBtn7 = GlyphButton(page, "BitBtn7", Picture(Pic::Companies), "Cégek", 440, 190);
    DBLookupComboBox1 = LabelledLookup(page, "DBLookupComboBox1", "ügyfél", t, "ugyfel",
                                       ReferenceTable(this, "ugyfel.DB"), "Ugyfel_nev", 10, 218, 426);
    BitBtn5 = GlyphButton(page, "BitBtn5", Picture(Pic::Customers), "Ügyfél választás", 440, 232);
    TableDataSet* products = ReferenceTable(this, "termek.DB");
    DBLookupComboBox2 = LabelledLookup(page, "DBLookupComboBox2", "cikkszám/megnevezés", t, "termek", products,
                                       "cikkszam", 10, 260, 130);
    DBLookupComboBox7 = new DBLookupComboBox(page);
    DBLookupComboBox7->setObjectName("DBLookupComboBox7");
    DBLookupComboBox7->setGeometry(146, 275, 290, 21);
    DBLookupComboBox7->setDataSet(t);
    DBLookupComboBox7->setDataField("termek");
    DBLookupComboBox7->setListSource(products);
    DBLookupComboBox7->setKeyField("termek");
    DBLookupComboBox7->setListField("cikkszam_nev");
    BitBtn6 = GlyphButton(page, "BitBtn6", Picture(Pic::Products), "Termék választás", 440, 274);

    DBEdit2 = LabelledEdit(page, "DBEdit2", "kulcsszavak", t, "kulcsszavak", 10, 302, 480);
    DBCheckBox1 = new DBCheckBox("Lezárva?", page);
    DBCheckBox1->setObjectName("DBCheckBox1");
    DBCheckBox1->setGeometry(10, 350, 120, 21);
    DBCheckBox1->setDataSet(t);
    DBCheckBox1->setDataField("lezarva");

    Button1 = PlaceButton(page, "Button1", "OK", 334, 400);
    Button2 = PlaceButton(page, "Button2", "Mégsem", 415, 400);
    return page;
}

QWidget* Tfrm_Feladat_Szerkeszt::buildDescriptionPage()
{
    auto* page = new QWidget;
    page->setObjectName("TabSheet2");
    DBMemo1 = new DBMemo(page);
    DBMemo1->setObjectName("DBMemo1");
    DBMemo1->setGeometry(4, 4, 496, 388);
    DBMemo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    DBMemo1->setDataSet(tbl_);
    DBMemo1->setDataField("leiras");
    Button3 = PlaceButton(page, "Button3", "OK", 334, 400);
    Button4 = PlaceButton(page, "Button4", "Mégsem", 415, 400);
    return page;
}

void Tfrm_Feladat_Szerkeszt::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    PageControl1->setCurrentIndex(0);
    DateTimePicker1->setFocus();
}

void Tfrm_Feladat_Szerkeszt::OKClick()
{
    if (StoreDates(tbl_, {{"dat_beerk", DateTimePicker1}, {"dat_hatid", DateTimePicker2}}, this) &&
        SaveRow(*tbl_, this))
        accept();
}

void EditTask(TableDataSet& tbl, QueryDataSet& qry, bool isNew, int key, QWidget* owner)
{
    int shown = key;
    try {
        tbl.open();
        if (isNew) {
            const QDate today = QDate::currentDate();
            tbl.append();
            tbl.fieldByName("dat_beerk")->setValue(today);
            tbl.fieldByName("dat_hatid")->setValue(today.addDays(Beall.defaultDeadline));
            tbl.fieldByName("allapot")->setValue(1);
            tbl.fieldByName("prioritas")->setValue(Beall.defaultPriority);
            tbl.fieldByName("lezarva")->setValue("N");
        } else if (tbl.locate("feladat", key)) {
            tbl.edit();
        }
        if (tbl.isEditing()) {
            Tfrm_Feladat_Szerkeszt editor(&tbl, owner);
            if (interaction().runModal(editor) == QDialog::Accepted) shown = tbl.fieldByName("feladat")->asInteger();
            else if (tbl.isEditing()) tbl.cancel();
        }
    } catch (const DbError&) {
        ReopenList(tbl, qry, "feladat", shown);
        throw;
    }
    ReopenList(tbl, qry, "feladat", shown);
}
