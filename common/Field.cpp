#include <cmath>

#include "DataSetInternal.h"

Field::Field(DataSet* ds, int index, QString name, engine::FieldType type, int size)
    : ds_(ds), index_(index), name_(std::move(name)), type_(type), size_(size)
{
}

Qt::Alignment Field::alignment() const
{
    if (alignmentSet_) return alignment_;
    return (dbconv::isNumeric(type_) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

bool Field::isNull() const
{
    const QVariant v = value();
    return !v.isValid() || v.isNull();
}

QVariant Field::value() const { return ds_->currentValue(index_); }

QString Field::asString() const { return dbconv::plainText(value()); }

int Field::asInteger() const
{
    const QVariant v = value();
    if (!v.isValid()) return 0;
    switch (v.typeId()) {
    case QMetaType::Double:
        return int(std::lround(v.toDouble()));
    case QMetaType::Bool:
        return v.toBool() ? 1 : 0;
    case QMetaType::QString: {
        bool ok = false;
        const int i = v.toString().trimmed().toInt(&ok);
        if (!ok) throw DbError(dbmsg::notInteger(v.toString(), displayLabel()), engine::ErrorCode::InvalidValue);
        return i;
    }
    default:
        return v.toInt();
    }
}

double Field::asFloat() const
{
    const QVariant v = value();
    if (!v.isValid()) return 0;
    if (v.typeId() == QMetaType::QString) {
        QString t = v.toString().trimmed();
        t.replace(QLatin1Char(','), QLatin1Char('.'));
        bool ok = false;
        const double d = t.toDouble(&ok);
        if (!ok) throw DbError(dbmsg::notNumber(v.toString(), displayLabel()), engine::ErrorCode::InvalidValue);
        return d;
    }
    return v.toDouble();
}

bool Field::asBoolean() const
{
    const QVariant v = value();
    if (!v.isValid()) return false;
    if (v.typeId() == QMetaType::QString) {
        const engine::Value b = dbconv::toFieldValue(v, engine::FieldType::Logical, 0, displayLabel());
        return !b.isNull() && b.asBool();
    }
    return v.toBool();
}

QDate Field::asDate() const
{
    const QVariant v = value();
    switch (v.typeId()) {
    case QMetaType::QDate:
        return v.toDate();
    case QMetaType::QDateTime:
        return v.toDateTime().date();
    case QMetaType::QString:
        return dbconv::parseDate(v.toString());
    default:
        return {};
    }
}

QString Field::displayText() const { return formatDisplay(value(), type_, format_); }

void Field::setValue(const QVariant& v) { ds_->setFieldValue(this, v); }
