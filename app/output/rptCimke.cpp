#include "rptCimke.h"

#include <QPageSize>

#include "PagePainter.h"
#include "common/DataSet.h"
#include "common/Interaction.h"
#include "common/Messages.h"

namespace {

QString textOf(const DataSet& ds, int row, const QString& field)
{
    const Field* f = ds.findField(field);
    return f ? ds.displayTextAt(row, f->index()) : QString();
}

}  // namespace

TqrCimke::TqrCimke(const DataSet& customers, const LabelLayout& layout) : layout_(layout), sheet_(layout)
{
    const int rows = customers.isActive() ? customers.recordCount() : 0;
    labels_.reserve(size_t(rows));
    for (int row = 0; row < rows; ++row)
        labels_.push_back({textOf(customers, row, "Ugyfel_nev"), textOf(customers, row, "Cim_varos"),
                           textOf(customers, row, "Cim_cim"), textOf(customers, row, "Cim_irsz")});
}

QPageLayout TqrCimke::pageLayout() const
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(), QPageLayout::Millimeter);
}

int TqrCimke::sheets() const
{
    const int perSheet = sheet_.labelsPerSheet();
    return std::max(1, int((labels_.size() + size_t(perSheet) - 1) / size_t(perSheet)));
}

void TqrCimke::paintPage(int index, QPainter& painter)
{
    PagePainter page(painter);
    const LabelLines lines = LabelLinesFor(layout_.labelHeight);
    const int perSheet = sheet_.labelsPerSheet();
    const int first = index * perSheet;
    const int last = std::min(int(labels_.size()), first + perSheet);
    for (int i = first; i < last; ++i) {
        const LabelSheet::Place at = sheet_.place(i);
        const Label& l = labels_[size_t(i)];
        auto line = [&](const LabelLine& row, const QString& text) {
            const QRectF box(at.left + LabelSheet::kTextLeft, at.top + row.top, sheet_.textWidth(), row.height);
            page.text(box, text, {"Tahoma", double(row.pointSize), row.bold, row.underline}, Qt::AlignLeft, true);
        };
        line(lines.name, l.name);
        line(lines.city, l.city);
        line(lines.street, l.street);
        line(lines.postalCode, l.postalCode);
    }
}

LabelLayout LabelLayoutOf(const TableDataSet& tbl)
{
    LabelLayout l;
    l.name = tbl.fieldByName("cimke")->asString();
    l.topMargin = tbl.fieldByName("felsomargo")->asFloat();
    l.sideMargin = tbl.fieldByName("szelsomargo")->asFloat();
    l.labelHeight = tbl.fieldByName("cimkemagas")->asFloat();
    l.columns = tbl.fieldByName("oszlop")->asInteger();
    return l;
}

LabelLayout FindLabelLayout(Connection* db, const QString& name)
{
    TableDataSet t(db);
    t.setTableName("cimke.DB");
    t.setReadOnly(true);
    t.open();
    return t.locate("cimke", name, DataSet::CaseInsensitive) ? LabelLayoutOf(t) : LabelLayout{};
}

void PrintLabels(QWidget* owner, const DataSet& customers, const LabelLayout& layout)
{
    // A stored layout may predate the checks of the editor.
    const QString problem = LabelLayoutProblem(layout);
    if (!problem.isEmpty()) {
        ShowError(QString("A(z) „%1” címke nem nyomtatható:\n%2").arg(layout.name, problem), owner);
        return;
    }
    TqrCimke labels(customers, layout);
    interaction().printPreview(owner, labels);
}
