#include "OwnerBlock.h"

#include "ListReport.h"
#include "Lists.h"
#include "common/DataSet.h"

using namespace report;

namespace output {

namespace {

// Reads the owner's row of the list it is shown in; false when it is gone.
bool readOwner(DataSet& ds, const QString& keyField, int key)
{
    ds.setFilter(keyField + "=" + QString::number(key));
    ds.setFiltered(true);
    ds.open();
    return !ds.isEmpty();
}

}  // namespace

QString OwnerFilter(int key, int kind)
{
    return QString("(ugyfel=%1) and (tipus=%2)").arg(key).arg(kind);
}

void SetOwnerReportFrame(Report& r, Connection* db)
{
    SetListHeader(r, ReadOwnerDetails(db), {}, {});
    SetListFooter(r, ProgramLine());
}

OwnerRowsReport::OwnerRowsReport(const QString& title, const QString& name, Connection* db, const QString& table,
                                 const QString& newestFirstIndex)
    : Report(title, name), Tbl(db)
{
    Tbl.setTableName(table);
    Tbl.setReadOnly(true);
    Tbl.setIndexName(newestFirstIndex);
}

void OwnerRowsReport::prepareRows(int ownerKey, int ownerKind, double rowHeight, FontStyle style)
{
    Tbl.setFilter(OwnerFilter(ownerKey, ownerKind));
    Tbl.setFiltered(true);
    Tbl.open();
    setDataSet(&Tbl);
    SetOwnerReportFrame(*this, Tbl.connection());
    SetOwnerBlock(*this, Tbl.connection(), ownerKey, ownerKind);

    detail.height = rowHeight;
    detail.field({0, 0.6, 25, 4}, "datum", {"Arial", 9, style});
    detail.field({26, 0.6, usableWidth() - 26, 4}, "rovid", {"Arial", 9, style});
}

void SetOwnerBlock(Report& r, Connection* db, int key, int kind)
{
    Band& b = r.reportHeader;
    // These reports print in Arial.
    const Font value{"Arial", 8};
    const Font bold{"Arial", 8, Bold};
    const Font big{"Arial", 11, Bold};
    const Font caption{"Arial", 8, Italic};
    auto text = [](const DataSet& ds, const char* field) { return ds.fieldByName(field)->displayText(); };
    switch (kind) {
    case 0: {
        QueryDataSet q(db);
        lists::SetupCustomerQuery(&q);
        if (!readOwner(q, "ugyfel", key)) return;
        b.text({0, 0.5, 80, 5}, text(q, "Ugyfel_nev"), big);
        b.text({81, 1.3, 35, 3.6}, text(q, "Mobil"), value);
        b.text({117, 1.3, 12, 3.6}, text(q, "Cim_irsz"), value);
        b.text({130, 1.3, 60, 3.6}, text(q, "Cim_varos"), value);
        b.text({0, 6.2, 7, 3.6}, "cég", caption);
        b.text({7, 6, 73, 3.6}, text(q, "ceg_nev"), bold);
        b.text({81, 6.2, 9, 3.6}, "típus", caption);
        b.text({90, 6, 26, 3.6}, text(q, "tipus_nev"), bold);
        b.text({117, 6, 73, 3.6}, text(q, "Cim_cim"), value);
        break;
    }
    case 1: {
        QueryDataSet q(db);
        lists::SetupTaskQuery(&q);
        if (!readOwner(q, "feladat", key)) return;
        b.text({0, 0.5, 50, 5}, text(q, "prioritas_nev"), big);
        b.text({51, 1.3, 40, 3.6}, text(q, "allapot_nev"), bold);
        b.text({92, 1.3, 25, 3.6}, text(q, "dat_beerk"), value);
        b.text({118, 1.3, 25, 3.6}, text(q, "dat_hatid"), value);
        b.text({0, 6, 90, 3.6}, text(q, "rovid"), value);
        b.text({92, 6, 25, 3.6}, text(q, "cikkszam"), value);
        b.text({118, 6, 72, 3.6}, text(q, "ugyfel_nev"), bold);
        break;
    }
    case 2: {
        TableDataSet t(db);
        lists::SetupProductTable(&t);
        t.setReadOnly(true);
        if (!readOwner(t, "termek", key)) return;
        b.text({0, 0.5, 100, 5}, text(t, "cikkszam"), big);
        b.text({101, 1.3, r.usableWidth() - 101, 3.6}, text(t, "kategoria"), value).right();
        b.text({0, 6, r.usableWidth(), 3.6}, text(t, "cikkszam_nev"), bold);
        break;
    }
    default:
        return;
    }
    b.height = 11;
    b.line({0, 10.5}, {r.usableWidth(), 10.5}, DoubleLine, Silver);
}

}  // namespace output
