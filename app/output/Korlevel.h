// Tfrm_Korlevel ("Körlevelek"): the form-letter templates of one tab of the
// main window (korlevel.tipus = the tab index), by short title, with a
// search box; new, edit and delete need the reference-data right, and the
// merge runs the chosen template over the tab's list.
#pragma once

#include "TemplateList.h"

class DataSet;
class QLineEdit;

class Tfrm_Korlevel : public TemplateListWindow {
    Q_OBJECT
public:
    // `source` is the main window's list of tab `tab`: its fields are the
    // placeholders offered, its rows get the letters.
    Tfrm_Korlevel(int tab, DataSet* source, QWidget* parent = nullptr);

    // Tbl: korlevel, filtered to the tab, by rovid.
    QLineEdit* Edit1;
    QMenu* PopupMenu2;  // the merge button's drop-down
    QAction* aKeres;
    QAction* aNyomtat;
    QAction* aEgybeAzEgesz;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void runEditor() override;
    void fillNewRow() override;

private slots:
    void Edit1Change(const QString& text);

private:
    // Merges the current template with the tab's list into the preview.
    void merge(bool newPage);

    int tab_;
    DataSet* source_;
};

// The main window's "Körlevél": the templates of tab `tab` over `source`.
void OpenFormLetters(QWidget* owner, int tab, DataSet* source);
