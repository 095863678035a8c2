#include "TestDatabase.h"

#include <QFile>

#include <gtest/gtest.h>

#include "common/DataSet.h"
#include "tools/NewDatabase.h"

void BuildTestDatabase(const QString& folder, bool sample)
{
    engine::Status s = newdb::createDatabase(QFile::encodeName(folder).toStdString(),
                                             NYILVEX_DATA_DIR, sample);
    ASSERT_TRUE(s.isOk()) << s.message();
}

namespace {

// Opens `table`, starts a new row or an edit of the first, sets `values`
// and writes the row through; the data set stays on the row.
void writeRow(TableDataSet& t, const QString& table, const RowValues& values, bool append)
{
    t.setTableName(table + ".DB");
    t.open();
    if (append)
        t.append();
    else
        t.edit();
    for (const auto& [field, value] : values) t.fieldByName(field)->setValue(value);
    t.post();
    t.flushBuffers();
}

}  // namespace

int AddRow(Connection* db, const QString& table, const RowValues& values)
{
    TableDataSet t(db);
    writeRow(t, table, values, true);
    return t.fields().front()->value().toInt();
}

void SetFirstRow(Connection* db, const QString& table, const RowValues& values)
{
    TableDataSet t(db);
    writeRow(t, table, values, false);
}
