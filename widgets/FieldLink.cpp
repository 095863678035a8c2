#include "FieldLink.h"

#include <QApplication>
#include <QToolTip>
#include <QWidget>

FieldLink::FieldLink(QObject* parent) : QObject(parent) {}

void FieldLink::setDataSet(DataSet* ds)
{
    ds_ = ds;
    connectDataSet();
    emit changed();
}

void FieldLink::setFieldName(const QString& name)
{
    name_ = name;
    emit changed();
}

void FieldLink::connectDataSet()
{
    for (const auto& c : std::as_const(connections_)) disconnect(c);
    connections_.clear();
    if (!ds_) return;
    const auto notify = [this] {
        if (!writing_) emit changed();
    };
    connections_ << connect(ds_, &DataSet::opened, this, notify);
    connections_ << connect(ds_, &DataSet::closed, this, notify);
    connections_ << connect(ds_, &DataSet::currentChanged, this, notify);
    connections_ << connect(ds_, &DataSet::stateChanged, this, notify);
    connections_ << connect(ds_, &DataSet::fieldChanged, this, [this](Field* f) {
        if (!writing_ && f == field()) emit changed();
    });
    connections_ << connect(ds_, &QObject::destroyed, this, [this] { emit changed(); });
}

Field* FieldLink::field() const
{
    if (!ds_ || !ds_->isActive() || name_.isEmpty()) return nullptr;
    return ds_->findField(name_);
}

bool FieldLink::canModify() const
{
    const Field* f = field();
    return f && ds_->canModify() && !f->isLookup() && f->dataType() != engine::FieldType::AutoInc;
}

QString FieldLink::write(const QVariant& v)
{
    Field* f = field();
    if (!f) return {};
    writing_ = true;
    try {
        if (!ds_->isEditing()) ds_->edit();
        f->setValue(v);
    } catch (const DbError& e) {
        writing_ = false;
        return e.message();
    }
    writing_ = false;
    return {};
}

void ShowRefusal(QWidget* control, const QString& message)
{
    QApplication::beep();
    QToolTip::showText(control->mapToGlobal(QPoint(0, control->height())), message, control);
}
