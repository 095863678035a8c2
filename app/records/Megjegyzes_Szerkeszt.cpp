#include "Megjegyzes_Szerkeszt.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTextCursor>
#include <QToolBar>

#include "EditPictures.h"
#include "RecordWindow.h"
#include "RowEdit.h"
#include "app/Main/Beall.h"
#include "app/Main/ImageList.h"
#include "common/DataSet.h"
#include "common/Interaction.h"
#include "common/Messages.h"
#include "widgets/DBControls.h"
#include "widgets/Form.h"
#include "widgets/MenuStyle.h"

namespace {

// The text commands act on whichever box has the keyboard.
void onFocused(const char* slot)
{
    if (QWidget* w = QApplication::focusWidget()) QMetaObject::invokeMethod(w, slot);
}

}  // namespace

Tfrm_Megjegyzes_Szerkeszt::Tfrm_Megjegyzes_Szerkeszt(DataSet* tbl, QWidget* parent) : QDialog(parent), tbl_(tbl)
{
    setObjectName("frm_Megjegyzes_Szerkeszt");
    setWindowTitle("Megjegyzés szerkesztés");
    SetFixedDialogFrame(this, QSize(480, 360));

    aDatumBeszur = MakeAction(this, "aDatumBeszur", "Dátum beszúrása szövegbe", QKeySequence(),
                              EditPicture(EditPic::DateStamp));
    aKivag = MakeAction(this, "aKivag", "Kivág", QKeySequence(), EditPicture(EditPic::Cut), "Kivág (Ctrl+X)");
    aMasol = MakeAction(this, "aMasol", "Másol", QKeySequence(), EditPicture(EditPic::Copy), "Másol (Ctrl+C)");
    aBeilleszt = MakeAction(this, "aBeilleszt", "Beilleszt", QKeySequence(), EditPicture(EditPic::Paste),
                            "Beilleszt (Ctrl+V)");
    aVisszavon = MakeAction(this, "aVisszavon", "Visszavon", QKeySequence(), EditPicture(EditPic::Undo),
                            "Visszavon (Ctrl+Z)");
    aElfogad = MakeAction(this, "aElfogad", "Elfogad", QKeySequence(Qt::CTRL | Qt::Key_Return),
                          EditPicture(EditPic::Accept), "Elfogad (Ctrl+Enter)");
    aElfogad->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
    aBezar = MakeAction(this, "aBezar", "Bezár", Qt::Key_Escape, Picture(Pic::Close), "Bezár (Esc)");
    // The boxes' own keys do the editing; the commands serve the mouse.
    connect(aKivag, &QAction::triggered, this, [] { onFocused("cut"); });
    connect(aMasol, &QAction::triggered, this, [] { onFocused("copy"); });
    connect(aBeilleszt, &QAction::triggered, this, [] { onFocused("paste"); });
    connect(aVisszavon, &QAction::triggered, this, [] { onFocused("undo"); });
    connect(aDatumBeszur, &QAction::triggered, this, &Tfrm_Megjegyzes_Szerkeszt::aDatumBeszurExecute);
    connect(aElfogad, &QAction::triggered, this, &Tfrm_Megjegyzes_Szerkeszt::aElfogadExecute);
    connect(aBezar, &QAction::triggered, this, &QDialog::reject);

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName("ToolBar1");
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    ToolBar1->setGeometry(0, 0, 480, 28);
    ToolBar1->addAction(aDatumBeszur);
    ToolBar1->addSeparator();
    ToolBar1->addActions({aKivag, aMasol, aBeilleszt});
    ToolBar1->addSeparator();
    ToolBar1->addAction(aVisszavon);
    ToolBar1->addSeparator();
    ToolBar1->addActions({aElfogad, aBezar});

    PlaceLabel(this, "dátum", 12, 40);
    Date1 = new DateBox(this);
    Date1->setObjectName("Date1");
    Date1->setGeometry(12, 56, 110, 21);
    PlaceLabel(this, "rövid leírás", 134, 40);
    DBEdit4 = new DBEdit(this);
    DBEdit4->setObjectName("DBEdit4");
    DBEdit4->setGeometry(134, 56, 334, 21);
    DBEdit4->setDataSet(tbl);
    DBEdit4->setDataField("rovid");
    PlaceLabel(this, "megjegyzés szövege", 12, 86);
    DBMemo1 = new DBMemo(this);
    DBMemo1->setObjectName("DBMemo1");
    DBMemo1->setGeometry(12, 102, 456, 246);
    DBMemo1->setFont(QFont("Courier New", 9));
    DBMemo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    DBMemo1->setDataSet(tbl);
    DBMemo1->setDataField("megjegyzes");

    PopupMenu1 = new QMenu(this);
    PopupMenu1->addAction(aVisszavon);
    PopupMenu1->addSeparator();
    PopupMenu1->addActions({aKivag, aMasol, aBeilleszt});
    PopupMenu1->addSeparator();
    PopupMenu1->addActions({aElfogad, aBezar});
    DBMemo1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBMemo1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { PopupMenu1->popup(DBMemo1->viewport()->mapToGlobal(p)); });

    setTabOrder(Date1, DBEdit4);
    setTabOrder(DBEdit4, DBMemo1);
    Date1->setValue(tbl->fieldByName("datum")->value());
}

void Tfrm_Megjegyzes_Szerkeszt::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    SetMenuStyle(this);
    Date1->setFocus();
}

QString DateStamp(const QString& userName, const QDateTime& at)
{
    return "-- " + userName + " " + at.toString("yyyy.MM.dd hh:mm") + " --";
}

void Tfrm_Megjegyzes_Szerkeszt::aDatumBeszurExecute()
{
    const QString stamp = DateStamp(Beall.userName, QDateTime::currentDateTime());
    QTextCursor c = DBMemo1->textCursor();
    const int start = c.selectionStart();
    c.insertText(stamp);
    // Left selected, so that a second press replaces it instead of adding one.
    c.setPosition(start);
    c.setPosition(start + int(stamp.size()), QTextCursor::KeepAnchor);
    DBMemo1->setTextCursor(c);
    DBMemo1->setFocus();
}

void Tfrm_Megjegyzes_Szerkeszt::aElfogadExecute()
{
    if (StoreDates(tbl_, {{"datum", Date1}}, this) && SaveRow(*tbl_, this)) accept();
}

void AddNote(QWidget* owner, int ownerKey, int ownerKind)
{
    TableDataSet notes(Connection::byName(DatabaseAlias));
    notes.setTableName("ugyf_megj.DB");
    notes.open();
    notes.append();
    notes.fieldByName("ugyfel")->setValue(ownerKey);
    notes.fieldByName("tipus")->setValue(ownerKind);
    notes.fieldByName("datum")->setValue(QDate::currentDate());
    Tfrm_Megjegyzes_Szerkeszt editor(&notes, owner);
    RunRowEditor(editor, notes);
}
