// TqrAjanlott: the sender's and one customer's address placed onto a
// pre-printed registered-mail receipt form of 160 x 113 mm.
#pragma once

#include "rptBoritek.h"

class TqrAjanlott : public PrintDocument {
public:
    TqrAjanlott(const Sender& from, const Addressee& to);

    QString title() const override { return QStringLiteral("Ajánlott szelvény kitöltés"); }
    QPageLayout pageLayout() const override { return EnvelopePaper(); }
    bool hasPage(int index) override { return index == 0; }
    bool isComplete() const override { return true; }
    int laidOutPages() const override { return 1; }
    int pageCount() override { return 1; }
    void paintPage(int index, QPainter& painter) override;

private:
    Sender from_;
    Addressee to_;
};

// Prints the form for customer `id` on the default printer; like
// PrintEnvelope, nothing for a customer that is not there.
void PrintRegisteredMailForm(QWidget* owner, Connection* db, int id);
