// Tfrm_Datum ("Dátum megadása"): asks for one date. InputDate is its entry point.
#pragma once

#include <QDate>
#include <QDialog>

class QDateEdit;
class QPushButton;

class Tfrm_Datum : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm_Datum(QWidget* parent = nullptr);

    QDateEdit* eAlso;
    QPushButton* btnOK;
    QPushButton* btnMegsem;
};

// True when closed with "OK", and only then is `date` replaced.
bool InputDate(QDate& date, QWidget* owner = nullptr);
