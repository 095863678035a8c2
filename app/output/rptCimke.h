// TqrCimke ("Címke nyomtatás"): address labels on A4 sheets, one label per
// row of a customer list (its order and filter), laid out by a label
// layout (LabelSheet.h): name in bold, city underlined, street, and the
// postal code last in bold, as the post wants them.
#pragma once

#include <QPageLayout>
#include <QString>
#include <QStringList>

#include <vector>

#include "LabelSheet.h"
#include "common/PrintDocument.h"

class Connection;
class DataSet;
class QWidget;
class TableDataSet;

class TqrCimke : public PrintDocument {
public:
    // `layout` must have no LabelLayoutProblem(); the rows are read now.
    TqrCimke(const DataSet& customers, const LabelLayout& layout);

    QString title() const override { return QStringLiteral("Címke nyomtatás"); }
    QPageLayout pageLayout() const override;
    bool hasPage(int index) override { return index >= 0 && index < sheets(); }
    bool isComplete() const override { return true; }
    int laidOutPages() const override { return sheets(); }
    int pageCount() override { return sheets(); }
    void paintPage(int index, QPainter& painter) override;

private:
    int sheets() const;  // at least one, empty when there are no rows

    struct Label {
        QString name, city, street, postalCode;
    };
    LabelLayout layout_;
    LabelSheet sheet_;
    std::vector<Label> labels_;
};

// The label layout as the current row of `tbl` (table cimke) holds it
// (blank measures 0).
LabelLayout LabelLayoutOf(const TableDataSet& tbl);

// The layout named `name` (letter case ignored) from table cimke; a layout
// with an empty name when there is none.
LabelLayout FindLabelLayout(Connection* db, const QString& name);

// Shows the labels of `customers` in the print preview. A layout that
// cannot be laid out is refused with a message naming the problem.
void PrintLabels(QWidget* owner, const DataSet& customers, const LabelLayout& layout);
