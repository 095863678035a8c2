#include "Beallit.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>

#include "Beall.h"
#include "ImageList.h"
#include "app/records/TorzsTipus.h"
#include "common/DataSet.h"
#include "common/Interaction.h"
#include "common/Messages.h"
#include "widgets/DBControls.h"
#include "widgets/Form.h"

namespace {

QLabel* hint(QWidget* page, const QString& text, int x, int y, bool required)
{
    QLabel* l = PlaceLabel(page, text, x, y);
    if (required) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, QColor(128, 0, 0));  // maroon
        l->setPalette(p);
    }
    return l;
}

DBEdit* boundEdit(QWidget* page, const char* name, TableDataSet* ds, const char* field, int x,
                  int y, int width)
{
    auto* e = new DBEdit(page);
    e->setObjectName(name);
    e->setGeometry(x, y, width, 21);
    e->setDataSet(ds);
    e->setDataField(field);
    return e;
}

}  // namespace

Tfrm_Beallit::Tfrm_Beallit(QWidget* parent) : QDialog(parent)
{
    setObjectName("frm_Beallit");
    setWindowTitle("Beállítások");
    SetFixedDialogFrame(this, QSize(433, 297));

    Connection* db = Connection::byName(DatabaseAlias);
    TblBeallit = new TableDataSet(db, this);
    TblBeallit->setTableName("beallit.DB");
    TblMail = new TableDataSet(db, this);
    TblMail->setTableName("mail.DB");
    TblMail->setIndexFieldNames("mail");
    TblZPrioritas = new TableDataSet(db, this);
    TblZPrioritas->setTableName("prioritas.DB");
    TblZPrioritas->setReadOnly(true);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    PageControl1->setGeometry(8, 8, 417, 241);

    auto* general = new QWidget;
    PageControl1->addTab(general, "Általános");
    CheckBox1 = new QCheckBox("Megnyitáskor teljes képernyő", general);
    CheckBox1->setObjectName("CheckBox1");
    CheckBox1->setGeometry(16, 16, 380, 19);
    DBCheckBox1 = new DBCheckBox("Belépésnél jelszót kér", general);
    DBCheckBox1->setObjectName("DBCheckBox1");
    DBCheckBox1->setGeometry(16, 42, 380, 19);
    DBCheckBox1->setDataSet(TblBeallit);
    DBCheckBox1->setDataField("vanbelep");
    PlaceLabel(general, "alapértelmezett város", 16, 76);
    Edit1 = new QLineEdit(general);
    Edit1->setObjectName("Edit1");
    Edit1->setGeometry(16, 94, 200, 21);
    Edit1->setMaxLength(50);
    PlaceLabel(general, "adatbázis elérési útvonala", 16, 126);
    Edit2 = new QLineEdit(general);
    Edit2->setObjectName("Edit2");
    Edit2->setGeometry(16, 144, 350, 21);
    BitBtn1 = new QToolButton(general);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    BitBtn1->setToolTip("Adatbázis útvonal");
    BitBtn1->setGeometry(372, 143, 25, 23);
    connect(BitBtn1, &QToolButton::clicked, this, &Tfrm_Beallit::BitBtn1Click);

    auto* tasks = new QWidget;
    PageControl1->addTab(tasks, "Feladatok");
    PlaceLabel(tasks, "kód", 16, 16);
    DBEdit1 = boundEdit(tasks, "DBEdit1", TblBeallit, "alapprioritas", 16, 34, 57);
    PlaceLabel(tasks, "alapért. prioritás", 84, 16);
    DBLookupComboBox1 = new DBLookupComboBox(tasks);
    DBLookupComboBox1->setObjectName("DBLookupComboBox1");
    DBLookupComboBox1->setGeometry(84, 34, 200, 21);
    DBLookupComboBox1->setListSource(TblZPrioritas);
    DBLookupComboBox1->setKeyField("prioritas");
    DBLookupComboBox1->setListField("prioritas_nev");
    DBLookupComboBox1->setDataSet(TblBeallit);
    DBLookupComboBox1->setDataField("alapprioritas");
    PlaceLabel(tasks, "határidő", 16, 68);
    DBEdit7 = boundEdit(tasks, "DBEdit7", TblBeallit, "alaphatarido", 16, 86, 57);
    PlaceLabel(tasks, "nap", 80, 89);
    BitBtn2 = new QToolButton(tasks);
    BitBtn2->setObjectName("BitBtn2");
    BitBtn2->setIcon(Picture(Pic::Types));
    BitBtn2->setToolTip("Prioritások");
    BitBtn2->setGeometry(290, 33, 25, 23);
    connect(BitBtn2, &QToolButton::clicked, this, &Tfrm_Beallit::BitBtn2Click);

    auto* mail = new QWidget;
    PageControl1->addTab(mail, "Internet, levélküldés");
    const int lx = 16, ex = 140, hx = 140;
    PlaceLabel(mail, "kiszolgáló", lx, 15);
    DBEdit2 = boundEdit(mail, "DBEdit2", TblMail, "host", ex, 12, 257);
    hint(mail, "pl. mail.szolgaltato.hu (kötelező)", hx, 34, true);
    PlaceLabel(mail, "felhasználónév", lx, 57);
    DBEdit5 = boundEdit(mail, "DBEdit5", TblMail, "username", ex, 54, 257);
    hint(mail, "felhasználó neve (általában nem szükséges)", hx, 76, false);
    PlaceLabel(mail, "jelszó", lx, 99);
    DBEdit3 = boundEdit(mail, "DBEdit3", TblMail, "pwd", ex, 96, 257);
    SetPasswordBox(DBEdit3);
    hint(mail, "a kapcsolat jelszava (általában nem szükséges)", hx, 118, false);
    PlaceLabel(mail, "port", lx, 141);
    DBEdit4 = boundEdit(mail, "DBEdit4", TblMail, "port", ex, 138, 57);
    hint(mail, "a port általában 25 (kötelező)", 204, 141, false);
    PlaceLabel(mail, "elektronikus levélcím", lx, 169);
    DBEdit6 = boundEdit(mail, "DBEdit6", TblMail, "Emil", ex, 166, 257);
    hint(mail, "pl. iroda@cegem.hu (kötelező)", hx, 188, true);

    btnOK = PlaceButton(this, "btnOK", "OK", 262, 261);
    btnMegsem = PlaceButton(this, "btnMegsem", "Mégsem", 350, 261);
    connect(btnOK, &QPushButton::clicked, this, &Tfrm_Beallit::btnOKClick);
    connect(btnMegsem, &QPushButton::clicked, this, &QDialog::reject);
    // The keyboard starts in the first box, not on the page tabs.
    CheckBox1->setFocus();
}

void Tfrm_Beallit::BitBtn1Click()
{
    const QString folder = interaction().existingFolder(this, "Adatbázis útvonal", Edit2->text());
    if (!folder.isEmpty()) Edit2->setText(folder);
}

void Tfrm_Beallit::BitBtn2Click()
{
    int deadline = 0;
    const int chosen = ShowListWithDeadline(TblBeallit->fieldByName("alapprioritas")->asInteger(), true,
                                            deadline, this);
    if (chosen == -1) return;
    // The list may have changed the priorities the drop-down offers.
    TblZPrioritas->refresh();
    TblBeallit->fieldByName("alapprioritas")->setValue(chosen);
    TblBeallit->fieldByName("alaphatarido")->setValue(deadline);
}

void Tfrm_Beallit::btnOKClick()
{
    // Both rows are stored before the window closes, so a refused value
    // leaves the window open with everything the user typed.
    try {
        TblBeallit->post();
        TblMail->post();
    } catch (const DbError& e) {
        ShowRefusedInput(e.message(), this);
        if (!TblBeallit->isEditing()) TblBeallit->edit();
        return;
    }
    accept();
}

void ShowSettingsDialog(QWidget* owner)
{
    Tfrm_Beallit w(owner);
    w.TblMail->open();
    w.TblMail->first();
    w.TblMail->edit();  // an empty table gets a new row
    w.CheckBox1->setChecked(Beall.fullScreen);
    w.Edit1->setText(Beall.defaultCity);
    w.Edit2->setText(Beall.databaseFolder);
    w.TblZPrioritas->open();
    w.TblBeallit->open();
    w.TblBeallit->first();
    w.TblBeallit->edit();

    if (interaction().runModal(w) == QDialog::Accepted) {
        Beall.fullScreen = w.CheckBox1->isChecked();
        Beall.defaultCity = w.Edit1->text();
        Beall.databaseFolder = w.Edit2->text();
    } else {
        if (w.TblBeallit->isEditing()) w.TblBeallit->cancel();
        if (w.TblMail->isEditing()) w.TblMail->cancel();
    }
    w.TblMail->close();
    w.TblBeallit->close();
    w.TblZPrioritas->close();
}
