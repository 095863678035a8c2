#include "TestDatabase.h"

#include <QFile>

#include <gtest/gtest.h>

#include "tools/NewDatabase.h"

void BuildTestDatabase(const QString& folder, bool sample)
{
    engine::Status s = newdb::createDatabase(QFile::encodeName(folder).toStdString(),
                                             NYILVEX_DATA_DIR, sample);
    ASSERT_TRUE(s.isOk()) << s.message();
}
