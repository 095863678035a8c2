// Tfrm_Megjegyzes_Szerkeszt ("Megjegyzés szerkesztés"): edits one note, the
// current row of a notes table that the opener has put into insert or edit
// state. "Elfogad" (Ctrl+Enter) stores the date box into `datum` and saves
// the row; the window stays open with the reason when the database refuses
// it. "Bezár" (Esc) closes without saving; the opener cancels the row.
#pragma once

#include <QDateTime>
#include <QDialog>

class DataSet;
class DateBox;
class DBEdit;
class DBMemo;
class QAction;
class QMenu;
class QToolBar;

class Tfrm_Megjegyzes_Szerkeszt : public QDialog {
    Q_OBJECT
public:
    Tfrm_Megjegyzes_Szerkeszt(DataSet* tbl, QWidget* parent = nullptr);

    QToolBar* ToolBar1;
    DateBox* Date1;
    DBEdit* DBEdit4;   // rövid leírás
    DBMemo* DBMemo1;   // megjegyzés szövege
    QMenu* PopupMenu1;
    QAction* aDatumBeszur;
    QAction* aKivag;
    QAction* aMasol;
    QAction* aBeilleszt;
    QAction* aVisszavon;
    QAction* aElfogad;
    QAction* aBezar;

protected:
    void showEvent(QShowEvent* event) override;

private slots:
    void aDatumBeszurExecute();
    void aElfogadExecute();

private:
    DataSet* tbl_;
};

// The stamp put into a note's text: "-- " + user + " " + "yyyy.MM.dd hh:mm" + " --".
QString DateStamp(const QString& userName, const QDateTime& at);

// "Új megjegyzés": a note for the owner, straight into the editor without the
// notes window. Nothing is stored unless the editor closes with "Elfogad".
void AddNote(QWidget* owner, int ownerKey, int ownerKind);
