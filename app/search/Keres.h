// Tfrm_Keres ("Általános keresés"): the text search over the list of the
// main window's current tab (companies, customers, tasks or products). Each
// press of "Keres" moves that list to the next row whose text contains the
// search text, letter case aside; the main window's grid follows. The window
// stays open for the next press and keeps nothing between openings.
//
// A row's text is ";" and the plain text of each field, field after field
// (DataSet::findRowText), so a text with ";" can match across two fields and
// one starting with ";" only at the start of a value. The walk sees only the
// rows the list shows: an active filter limits it.
#pragma once

#include <QDialog>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class Tfrm_Main;

class Tfrm_Keres : public QDialog {
    Q_OBJECT
public:
    // Items of the direction group.
    enum Direction { FromTop = 0, Down = 1, Up = 2 };

    explicit Tfrm_Keres(Tfrm_Main* main);

    int direction() const;
    void setDirection(int direction);

    QLabel* Label1;
    QLineEdit* Edit1;
    QGroupBox* rg1;
    QButtonGroup* rg1Items;
    QPushButton* Button1;  // "Keres"
    QPushButton* Button2;  // "Bezár"

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Button1Click();

    Tfrm_Main* main_;
};

// The main window's "Részletes": the search window, modal.
void ShowTextSearch(Tfrm_Main* main);
