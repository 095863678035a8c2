// FieldLink: what ties a data-aware control to one field of a data set.
//
// The control tells the link its data set and field name and listens to
// changed(): the data set opened, closed, moved, changed state or the field's
// value changed by someone other than the control itself. When the user
// changes the control, it writes through the link: a browsing data set is
// put into edit state first (or insert, when it is empty), and a value the
// field refuses comes back as the field's Hungarian message for the control
// to show, the field keeping its old value.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>

#include "common/DataSet.h"

class QWidget;

class FieldLink : public QObject {
    Q_OBJECT
public:
    explicit FieldLink(QObject* parent = nullptr);

    void setDataSet(DataSet* ds);
    DataSet* dataSet() const { return ds_; }
    void setFieldName(const QString& name);
    const QString& fieldName() const { return name_; }

    // The field while the data set is open; nullptr otherwise or when the
    // data set has no such field.
    Field* field() const;
    // The user may change the value: an open data set that stores changes,
    // and a field that is neither a lookup nor numbered by the store.
    bool canModify() const;

    // Writes a value typed by the user; empty on success, else the message.
    QString write(const QVariant& v);

signals:
    void changed();

private:
    void connectDataSet();

    QPointer<DataSet> ds_;
    QString name_;
    bool writing_ = false;
    QList<QMetaObject::Connection> connections_;
};

// Shows a refusal next to the control without taking the focus from it.
void ShowRefusal(QWidget* control, const QString& message);
