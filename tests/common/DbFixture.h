// A fresh database folder with the real layout for every test, a connection
// to it, and a way to put rows into tables straight through the engine (so
// that what the data sets show is checked against rows they did not write).
#pragma once

#include <gtest/gtest.h>

#include <QDate>
#include <QTemporaryDir>
#include <QVariant>

#include <memory>
#include <ostream>
#include <utility>
#include <vector>

#include "common/DataSet.h"
#include "common/Layout.h"
#include "engine/Codepage.h"

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

class DbTest : public ::testing::Test {
protected:
    using Values = std::vector<std::pair<const char*, QVariant>>;

    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        auto db = engine::Database::open(folder().toStdString());
        ASSERT_TRUE(db.isOk()) << db.status().message();
        db_ = *db;
        const engine::Status s = layout::createAll(*db_);
        ASSERT_TRUE(s.isOk()) << s.message();
        conn = std::make_unique<Connection>();
        conn->setParams(Connection::paradoxParams(folder()));
    }

    QString folder() const { return dir_.path(); }

    // Another handle on the folder, as another program would have.
    engine::Database& otherHandle() { return *db_; }

    // Stores one row through the engine; returns the auto-increment key if any.
    int addRow(const char* table, const Values& values)
    {
        auto t = db_->openTable(table, engine::OpenMode::Shared);
        EXPECT_TRUE(t.isOk()) << t.status().message();
        if (!t.isOk()) return -1;
        const engine::TableDef& def = (*t)->def();
        engine::Record rec(def.fields.size());
        for (const auto& [name, v] : values) {
            const int i = def.fieldIndex(name);
            EXPECT_GE(i, 0) << name;
            if (i >= 0) rec[size_t(i)] = toValue(v);
        }
        auto id = (*t)->insert(rec);
        EXPECT_TRUE(id.isOk()) << id.status().message();
        for (size_t i = 0; i < def.fields.size(); ++i)
            if (def.fields[i].type == engine::FieldType::AutoInc && !rec[i].isNull()) return int(rec[i].asInt());
        return 0;
    }

    static engine::Value toValue(const QVariant& v)
    {
        switch (v.typeId()) {
        case QMetaType::Int:
            return engine::Value::fromInt(v.toInt());
        case QMetaType::Double:
            return engine::Value::fromFloat(v.toDouble());
        case QMetaType::Bool:
            return engine::Value::fromBool(v.toBool());
        case QMetaType::QDate: {
            const QDate d = v.toDate();
            return engine::Value::fromDate(engine::Date::fromYmd(d.year(), d.month(), d.day()));
        }
        case QMetaType::QString:
            return engine::Value::fromText(*engine::utf8ToCp1250(v.toString().toStdString()));
        default:
            return {};
        }
    }

    // The values of one field over all rows, in the data set's order.
    static QStringList column(DataSet& ds, const QString& field)
    {
        QStringList out;
        const int f = ds.fieldByName(field)->index();
        for (int row = 0; row < ds.recordCount(); ++row) out << ds.displayTextAt(row, f);
        return out;
    }

    std::unique_ptr<Connection> conn;

private:
    QTemporaryDir dir_;
    std::shared_ptr<engine::Database> db_;
};
