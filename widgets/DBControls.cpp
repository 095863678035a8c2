#include "DBControls.h"

#include <QKeyEvent>

#include <algorithm>

namespace {

bool isTextField(const Field* f)
{
    using T = engine::FieldType;
    return f->dataType() == T::Alpha || f->dataType() == T::Memo || f->dataType() == T::FmtMemo;
}

// The field's value for showing; a row that cannot be read shows blank
// (the error reaches the user where the row is used, not while painting).
QVariant safeValue(const Field* f)
{
    try {
        return f->value();
    } catch (const DbError&) {
        return {};
    }
}

}  // namespace

// --- DBEdit --------------------------------------------------------------------

DBEdit::DBEdit(QWidget* parent) : QLineEdit(parent)
{
    connect(&link_, &FieldLink::changed, this, &DBEdit::showField);
    connect(this, &QLineEdit::textEdited, this, &DBEdit::userEdited);
    connect(this, &QLineEdit::editingFinished, this, &DBEdit::finished);
    showField();
}

void DBEdit::setBoundReadOnly(bool on)
{
    readOnly_ = on;
    showField();
}

void DBEdit::showField()
{
    const Field* f = link_.field();
    pending_ = false;
    QString text;
    if (f) {
        const QVariant v = safeValue(f);
        // Typing works on the plain text; the display format shows otherwise.
        text = formatDisplay(v, f->dataType(), hasFocus() ? QString() : f->displayFormat());
    }
    shown_ = text;
    if (this->text() != text) setText(text);
    setReadOnly(readOnly_ || !link_.canModify());
}

void DBEdit::userEdited(const QString& text)
{
    const Field* f = link_.field();
    if (!f) return;
    const QString message = link_.write(text);
    if (message.isEmpty()) {
        shown_ = text;
        pending_ = false;
    } else if (isTextField(f)) {
        refuse(message);
    } else {
        pending_ = true;  // "2024.03." on the way to a whole date
    }
}

void DBEdit::finished()
{
    if (!pending_) return;
    const QString message = link_.write(text());
    pending_ = false;
    if (!message.isEmpty()) refuse(message);
}

void DBEdit::refuse(const QString& message)
{
    const int cursor = cursorPosition() - int(text().size() - shown_.size());
    setText(shown_);
    setCursorPosition(std::clamp(cursor, 0, int(shown_.size())));
    emit inputRefused(message);
    ShowRefusal(this, message);
}

void DBEdit::focusInEvent(QFocusEvent* e)
{
    QLineEdit::focusInEvent(e);
    if (link_.field() && !link_.field()->displayFormat().isEmpty()) showField();
}

void DBEdit::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    if (link_.field() && !link_.field()->displayFormat().isEmpty()) showField();
}

// --- DBMemo --------------------------------------------------------------------

DBMemo::DBMemo(QWidget* parent) : QPlainTextEdit(parent)
{
    connect(&link_, &FieldLink::changed, this, &DBMemo::showField);
    connect(this, &QPlainTextEdit::textChanged, this, &DBMemo::userEdited);
    showField();
}

void DBMemo::setBoundReadOnly(bool on)
{
    readOnly_ = on;
    showField();
}

void DBMemo::showField()
{
    const Field* f = link_.field();
    const QString text = f ? safeValue(f).toString() : QString();
    shown_ = text;
    showing_ = true;
    if (toPlainText() != text) setPlainText(text);
    showing_ = false;
    setReadOnly(readOnly_ || !link_.canModify());
}

void DBMemo::userEdited()
{
    if (showing_ || !link_.field()) return;
    const QString text = toPlainText();
    if (text == shown_) return;
    const QString message = link_.write(text);
    if (message.isEmpty()) {
        shown_ = text;
        return;
    }
    QTextCursor c = textCursor();
    const int pos = std::clamp(c.position() - int(text.size() - shown_.size()), 0, int(shown_.size()));
    showing_ = true;
    setPlainText(shown_);
    showing_ = false;
    c = textCursor();
    c.setPosition(pos);
    setTextCursor(c);
    emit inputRefused(message);
    ShowRefusal(this, message);
}

// --- DBCheckBox ----------------------------------------------------------------

DBCheckBox::DBCheckBox(QWidget* parent) : DBCheckBox(QString(), parent) {}

DBCheckBox::DBCheckBox(const QString& text, QWidget* parent) : QCheckBox(text, parent)
{
    connect(&link_, &FieldLink::changed, this, &DBCheckBox::showField);
    connect(this, &QCheckBox::clicked, this, &DBCheckBox::userClicked);
    showField();
}

void DBCheckBox::showField()
{
    const Field* f = link_.field();
    bool on = false;
    if (f) {
        const QVariant v = safeValue(f);
        on = v.typeId() == QMetaType::Bool ? v.toBool() : v.toString().compare(checked_, Qt::CaseInsensitive) == 0;
    }
    setChecked(on);
    setEnabled(link_.canModify());
}

void DBCheckBox::userClicked(bool on)
{
    const Field* f = link_.field();
    if (!f) return;
    const QVariant v = f->dataType() == engine::FieldType::Logical ? QVariant(on) : QVariant(on ? checked_ : unchecked_);
    const QString message = link_.write(v);
    if (message.isEmpty()) return;
    showField();
    emit inputRefused(message);
    ShowRefusal(this, message);
}

// --- DBLookupComboBox ----------------------------------------------------------

DBLookupComboBox::DBLookupComboBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(false);
    connect(&link_, &FieldLink::changed, this, &DBLookupComboBox::showField);
    connect(this, &QComboBox::activated, this, &DBLookupComboBox::userChose);
}

void DBLookupComboBox::setListSource(DataSet* list)
{
    for (const auto& c : std::as_const(listConnections_)) disconnect(c);
    listConnections_.clear();
    list_ = list;
    if (list_) {
        listConnections_ << connect(list_, &DataSet::opened, this, &DBLookupComboBox::fillList);
        listConnections_ << connect(list_, &DataSet::closed, this, &DBLookupComboBox::fillList);
        listConnections_ << connect(list_, &DataSet::rowsChanged, this, &DBLookupComboBox::fillList);
    }
    fillList();
}

void DBLookupComboBox::setKeyField(const QString& name)
{
    keyField_ = name;
    fillList();
}

void DBLookupComboBox::setListField(const QString& name)
{
    listField_ = name;
    fillList();
}

void DBLookupComboBox::fillList()
{
    showing_ = true;
    clear();
    const Field* key = list_ && list_->isActive() ? list_->findField(keyField_) : nullptr;
    const Field* name = list_ && list_->isActive() ? list_->findField(listField_) : nullptr;
    if (key && name) {
        for (int row = 0; row < list_->recordCount(); ++row)
            addItem(list_->displayTextAt(row, name->index()), list_->valueAt(row, key->index()));
    }
    showing_ = false;
    showField();
}

void DBLookupComboBox::showField()
{
    const Field* f = link_.field();
    const QVariant v = f ? safeValue(f) : QVariant();
    int index = -1;
    if (v.isValid()) {
        for (int i = 0; i < count() && index < 0; ++i)
            if (itemData(i) == v) index = i;
    }
    showing_ = true;
    setCurrentIndex(index);
    showing_ = false;
    setEnabled(link_.canModify());
}

void DBLookupComboBox::userChose(int index)
{
    if (showing_ || index < 0) return;
    const QString message = link_.write(itemData(index));
    if (message.isEmpty()) return;
    showField();
    emit inputRefused(message);
    ShowRefusal(this, message);
}

// --- DBDateEdit ----------------------------------------------------------------

DBDateEdit::DBDateEdit(QWidget* parent) : QDateEdit(parent)
{
    setCalendarPopup(true);
    setDisplayFormat(QStringLiteral("yyyy.MM.dd."));
    // The lowest date stands for a blank one and shows an empty box.
    setMinimumDate(QDate(100, 1, 1));
    setSpecialValueText(QStringLiteral(" "));
    connect(&link_, &FieldLink::changed, this, &DBDateEdit::showField);
    connect(this, &QDateEdit::dateChanged, this, &DBDateEdit::userChanged);
    showField();
}

void DBDateEdit::showField()
{
    const Field* f = link_.field();
    const QDate d = f ? f->asDate() : QDate();
    showing_ = true;
    setDate(d.isValid() ? d : minimumDate());
    showing_ = false;
    setReadOnly(!link_.canModify());
}

void DBDateEdit::userChanged(const QDate& d)
{
    if (showing_ || !link_.field()) return;
    const QString message = link_.write(d == minimumDate() ? QVariant() : QVariant(d));
    if (message.isEmpty()) return;
    showField();
    emit inputRefused(message);
    ShowRefusal(this, message);
}

void DBDateEdit::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Delete && !isReadOnly()) {
        setDate(minimumDate());
        return;
    }
    QDateEdit::keyPressEvent(e);
}

// --- DBText --------------------------------------------------------------------

DBText::DBText(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);  // data is never markup
    connect(&link_, &FieldLink::changed, this, &DBText::showField);
}

void DBText::showField()
{
    const Field* f = link_.field();
    QString text;
    if (f) {
        try {
            text = f->displayText();
        } catch (const DbError&) {
            text.clear();
        }
    }
    full_ = text;
    showText();
}

void DBText::setElided(int preferredWidth)
{
    preferredWidth_ = preferredWidth;
    setWordWrap(false);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    updateGeometry();
    showText();
}

void DBText::showText()
{
    if (preferredWidth_ <= 0) {
        setText(full_);
        return;
    }
    const QString shown = fontMetrics().elidedText(full_, Qt::ElideRight, contentsRect().width());
    setText(shown);
    setToolTip(shown == full_ ? QString() : full_);
}

QSize DBText::sizeHint() const
{
    if (preferredWidth_ <= 0) return QLabel::sizeHint();
    return QSize(preferredWidth_, QLabel::minimumSizeHint().height());
}

QSize DBText::minimumSizeHint() const
{
    if (preferredWidth_ <= 0) return QLabel::minimumSizeHint();
    // Room for a letter or two and the "…" at any window size.
    const QMargins m = contentsMargins();
    return QSize(fontMetrics().horizontalAdvance(QStringLiteral("Mm…")) + m.left() + m.right(),
                 QLabel::minimumSizeHint().height());
}

void DBText::resizeEvent(QResizeEvent* e)
{
    QLabel::resizeEvent(e);
    if (preferredWidth_ > 0) showText();
}
