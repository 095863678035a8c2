#include <QDir>
#include <QFile>

#include <algorithm>

#include "DataSetInternal.h"
#include "engine/Sql.h"

namespace {

QList<Connection*>& namedConnections()
{
    static QList<Connection*> all;
    return all;
}

}  // namespace

Connection::Connection(const QString& name, QObject* parent) : QObject(parent), name_(name)
{
    if (!name_.isEmpty()) namedConnections().append(this);
}

Connection::~Connection()
{
    close();
    // Data sets that outlive their connection can no longer open.
    for (DataSet* ds : std::as_const(dataSets_)) ds->conn_ = nullptr;
    namedConnections().removeAll(this);
}

Connection* Connection::byName(const QString& name)
{
    for (Connection* c : std::as_const(namedConnections()))
        if (c->name_.compare(name, Qt::CaseInsensitive) == 0) return c;
    return nullptr;
}

QStringList Connection::paradoxParams(const QString& folder)
{
    return {QStringLiteral("PATH=") + folder, QStringLiteral("DEFAULT DRIVER=PARADOX"),
            QStringLiteral("ENABLE BCD=FALSE")};
}

void Connection::setParams(const QStringList& params)
{
    close();
    params_ = params;
}

QString Connection::folder() const
{
    for (const QString& p : params_)
        if (p.startsWith(QLatin1String("PATH="), Qt::CaseInsensitive)) return p.mid(5).trimmed();
    return {};
}

void Connection::open()
{
    if (db_) return;
    const QString dir = folder();
    if (dir.isEmpty()) throw DbError(dbmsg::noFolder(), engine::ErrorCode::NotFound);
    if (!QDir(dir).exists()) throw DbError(dbmsg::folderMissing(QDir::toNativeSeparators(dir)), engine::ErrorCode::NotFound);
    auto r = engine::Database::open(QFile::encodeName(dir).toStdString());
    if (!r.isOk()) dbconv::raise(r.status());
    db_ = std::move(*r);
}

void Connection::close()
{
    const QList<DataSet*> open = dataSets_;
    for (DataSet* ds : open) ds->close();
    db_.reset();
}

bool Connection::isConnected() const { return db_ != nullptr; }

engine::Database& Connection::database()
{
    open();
    return *db_;
}

QStringList Connection::tableNames()
{
    auto r = database().tableNames();
    if (!r.isOk()) dbconv::raise(r.status());
    QStringList names;
    for (const std::string& n : *r) names << dbconv::fromCp1250(n);
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return names;
}

QStringList Connection::fieldNames(const QString& tableFileName)
{
    auto t = database().openTable(dbconv::toCp1250OrThrow(tableFileName), engine::OpenMode::ReadOnly);
    if (!t.isOk()) dbconv::raise(t.status());
    QStringList names;
    for (const engine::FieldDef& f : (*t)->def().fields) names << dbconv::fromCp1250(f.name);
    return names;
}

qint64 Connection::execSql(const QString& sql)
{
    auto r = engine::runSql(database(), dbconv::toCp1250OrThrow(sql));
    if (!r.isOk()) dbconv::raise(r.status());
    return r->rowsAffected;
}

void Connection::attach(DataSet* ds) { dataSets_.append(ds); }

void Connection::detach(DataSet* ds) { dataSets_.removeAll(ds); }
