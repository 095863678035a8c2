// TqrAjanlott: the sender's and one customer's address placed onto a
// pre-printed registered-mail receipt form of 160 x 113 mm.
#pragma once

#include "rptBoritek.h"

class TqrAjanlott : public EnvelopePage {
public:
    using EnvelopePage::EnvelopePage;

    QString title() const override { return QStringLiteral("Ajánlott szelvény kitöltés"); }
    void paintPage(int index, QPainter& painter) override;
};

// Prints the form for customer `id` on the default printer; like
// PrintEnvelope, nothing for a customer that is not there.
void PrintRegisteredMailForm(QWidget* owner, Connection* db, int id);
