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

int AddRow(Connection* db, const QString& table, const RowValues& values)
{
    TableDataSet t(db);
    t.setTableName(table + ".DB");
    t.open();
    t.append();
    for (const auto& [field, value] : values) t.fieldByName(field)->setValue(value);
    t.post();
    t.flushBuffers();
    return t.fields().front()->value().toInt();
}

void SetFirstRow(Connection* db, const QString& table, const RowValues& values)
{
    TableDataSet t(db);
    t.setTableName(table + ".DB");
    t.open();
    t.edit();
    for (const auto& [field, value] : values) t.fieldByName(field)->setValue(value);
    t.post();
    t.flushBuffers();
}
