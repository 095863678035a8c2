// Data-aware controls: each shows one field of the current row of a data set
// and, when the user changes it, writes the value back (putting a browsing
// data set into edit state). Windows bind them as "DBEdit1 bound to field
// ugyfel_nev of Tbl":
//
//     DBEdit1->setDataSet(Tbl);
//     DBEdit1->setDataField("ugyfel_nev");
//
// A value the field refuses (a character outside Windows-1250, a text too
// long, a wrong number or date) is not taken: the control keeps showing the
// field's value, shows the Hungarian message next to itself and emits
// inputRefused() with it.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "FieldLink.h"

// The binding every data-aware control offers.
class BoundControl {
public:
    void setDataSet(DataSet* ds) { link_.setDataSet(ds); }
    void setDataField(const QString& name) { link_.setFieldName(name); }
    DataSet* dataSet() const { return link_.dataSet(); }
    QString dataField() const { return link_.fieldName(); }
    Field* field() const { return link_.field(); }

protected:
    FieldLink link_;
};

// One line of text. Its length limit is the field's size: a keystroke or a
// paste that would make the text longer is refused with the field's message
// (not cut silently). While it does not have the focus it shows the field's
// display text (display format applied). Texts are written at every change;
// numbers and dates when they are whole (a half-typed date is told only when
// the box is left).
class DBEdit : public QLineEdit, public BoundControl {
    Q_OBJECT
public:
    explicit DBEdit(QWidget* parent = nullptr);

    // Read-only by choice; the control is also read-only while the field
    // cannot be changed.
    void setBoundReadOnly(bool on);

signals:
    void inputRefused(const QString& message);

protected:
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void showField();
    void userEdited(const QString& text);
    void finished();
    void refuse(const QString& message);

    QString shown_;          // the text that stands for the field's current value
    bool pending_ = false;   // a number or date typed but not yet valid
    bool readOnly_ = false;
};

// Several lines of text; Enter starts a new line.
class DBMemo : public QPlainTextEdit, public BoundControl {
    Q_OBJECT
public:
    explicit DBMemo(QWidget* parent = nullptr);

    void setBoundReadOnly(bool on);

signals:
    void inputRefused(const QString& message);

private:
    void showField();
    void userEdited();

    QString shown_;
    bool showing_ = false;
    bool readOnly_ = false;
};

// A tick box over a flag field: "I" when ticked, "N" when not (a logical
// field stores true and false). A blank flag shows unticked.
class DBCheckBox : public QCheckBox, public BoundControl {
    Q_OBJECT
public:
    explicit DBCheckBox(QWidget* parent = nullptr);
    explicit DBCheckBox(const QString& text, QWidget* parent = nullptr);

    void setValueChecked(const QString& v) { checked_ = v; showField(); }
    void setValueUnchecked(const QString& v) { unchecked_ = v; showField(); }

signals:
    void inputRefused(const QString& message);

private:
    void showField();
    void userClicked(bool on);

    QString checked_ = QStringLiteral("I");
    QString unchecked_ = QStringLiteral("N");
};

// A drop-down that stores a key and shows a name: the rows of the list data
// set give the choices (its `keyField` stored, its `listField` shown), in the
// list data set's order. A key that no row has shows empty.
class DBLookupComboBox : public QComboBox, public BoundControl {
    Q_OBJECT
public:
    explicit DBLookupComboBox(QWidget* parent = nullptr);

    void setListSource(DataSet* list);
    void setKeyField(const QString& name);
    void setListField(const QString& name);

signals:
    void inputRefused(const QString& message);

private:
    void fillList();
    void showField();
    void userChose(int index);

    QPointer<DataSet> list_;
    QString keyField_;
    QString listField_;
    QList<QMetaObject::Connection> listConnections_;
    bool showing_ = false;
};

// A date with a calendar drop-down, in the form "2024.03.07.". A blank date
// shows an empty box; Delete makes the date blank.
class DBDateEdit : public QDateEdit, public BoundControl {
    Q_OBJECT
public:
    explicit DBDateEdit(QWidget* parent = nullptr);

signals:
    void inputRefused(const QString& message);

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    void showField();
    void userChanged(const QDate& d);

    bool showing_ = false;
};

// A read-only text: the display text of the current row's field, for the
// details panels.
class DBText : public QLabel, public BoundControl {
    Q_OBJECT
public:
    explicit DBText(QWidget* parent = nullptr);

    // One line that asks for `preferredWidth` whatever the row, so the texts
    // around it stay in place; a value that does not fit the width it gets
    // ends in "…" and shows whole as the tooltip.
    void setElided(int preferredWidth);
    QString fullText() const { return full_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    void showField();
    void showText();

    QString full_;
    int preferredWidth_ = 0;  // 0: the text as it is, not elided
};
