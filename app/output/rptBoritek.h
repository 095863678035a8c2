// TqrBoritek ("Boríték nyomtatás"): one customer's address on a 160 x 113 mm
// envelope, with the sender (the owner details) and the logo
// (program folder + "/Logo.bmp", when there is one) at the top left and the
// addressee in Hungarian postal order: company, person, "részére", city
// (underlined), street, postal code last in large bold type. The paper is
// exactly that size and the page is drawn from the paper's corner, so the
// printer adds no margins of its own and picks no near standard size.
#pragma once

#include <QImage>
#include <QPageLayout>
#include <QString>

#include "common/PrintDocument.h"

class Connection;
class QWidget;

// The sender: the first row of table tulajdonos (empty texts without one).
struct Sender {
    QString name;
    QString postalCode;
    QString cityStreet;  // varoscim: city + ", " + street address
};
Sender ReadSender(Connection* db);

// The addressee of customer `id`; false when there is no such customer.
struct Addressee {
    QString company;   // ugyfel_nev: the customer's company, empty without one
    QString person;    // kapcsolat2: the customer's own name
    QString postalCode;
    QString city;
    QString street;
};
bool ReadAddressee(Connection* db, int id, Addressee* to);

// The envelope paper: 160 x 113 mm, exactly, without margins.
QPageLayout EnvelopePaper();

// One page on the envelope paper, addressed from `from` to `to`: the
// envelope and the registered-mail form differ only in what they draw.
class EnvelopePage : public PrintDocument {
public:
    EnvelopePage(const Sender& from, const Addressee& to) : from_(from), to_(to) {}

    QPageLayout pageLayout() const override { return EnvelopePaper(); }
    bool hasPage(int index) override { return index == 0; }
    bool isComplete() const override { return true; }
    int laidOutPages() const override { return 1; }
    int pageCount() override { return 1; }

protected:
    Sender from_;
    Addressee to_;
};

class TqrBoritek : public EnvelopePage {
public:
    TqrBoritek(const Sender& from, const Addressee& to, const QImage& logo);

    QString title() const override { return QStringLiteral("Boríték nyomtatás"); }
    void paintPage(int index, QPainter& painter) override;

private:
    QImage logo_;
};

// Prints the envelope of customer `id` on the default printer. A customer
// that is not there (an empty list) prints nothing; a missing printer is
// told.
void PrintEnvelope(QWidget* owner, Connection* db, int id);
