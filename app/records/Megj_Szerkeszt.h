// Tfrm_Megj_Szerkeszt ("Csatolt dokumentum"): edits one attached document,
// the current row of the documents window's table, which the window has put
// into insert or edit state: a short description and the file's full path,
// typed or chosen with the file dialog. "OK" saves the row; an empty path or
// one already attached under the same owner key is refused with the reason
// and the window stays open. "Mégsem" (Esc) closes; the window cancels the row.
#pragma once

#include <QDialog>

class DataSet;
class DBEdit;
class QPushButton;

class Tfrm_Megj_Szerkeszt : public QDialog {
    Q_OBJECT
public:
    Tfrm_Megj_Szerkeszt(DataSet* tbl, QWidget* parent = nullptr);

    DBEdit* DBEdit3;  // leírás
    DBEdit* DBEdit2;  // dokumentum: the full path
    QPushButton* BitBtn1;  // file choice
    QPushButton* Button1;
    QPushButton* Button2;

protected:
    void showEvent(QShowEvent* event) override;

private slots:
    void BitBtn1Click();
    void Button1Click();

private:
    DataSet* tbl_;
};

// Puts `path` into the row's `doknev`; a path the field cannot hold (too
// long, characters outside the database's code page) is refused with a
// message naming it, and false returned.
bool SetDocumentPath(DataSet* tbl, const QString& path, QWidget* owner);
