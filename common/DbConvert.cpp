// Conversion between the engine's values (Windows-1250 text, day-number
// dates) and the QVariant values that cross the data-set layer.
#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>
#include <QTime>

#include <array>
#include <cmath>
#include <limits>

#include "DataSetInternal.h"
#include "engine/Codepage.h"

namespace dbconv {

namespace {

struct Cp1250Tables {
    std::array<char16_t, 256> toUnicode{};
    std::vector<int16_t> fromUnicode = std::vector<int16_t>(0x10000, -1);
    std::array<unsigned char, 256> upper{};

    Cp1250Tables()
    {
        for (int b = 0; b < 256; ++b) {
            const std::string byte(1, char(b));
            const QString u = QString::fromStdString(engine::cp1250ToUtf8(byte));
            // Bytes without a character in the code page stay unmapped in
            // the reverse direction, so they are never produced from text.
            const char16_t ch = u.size() == 1 ? u.at(0).unicode() : char16_t(0xFFFD);
            toUnicode[b] = ch;
            if (ch != 0xFFFD && fromUnicode[ch] < 0) fromUnicode[ch] = int16_t(b);
            upper[b] = static_cast<unsigned char>(engine::upperCp1250(byte)[0]);
        }
    }
};

const Cp1250Tables& tables()
{
    static const Cp1250Tables t;
    return t;
}

QString describeChar(const QString& text, qsizetype at)
{
    const char32_t cp = text.at(at).isHighSurrogate() && at + 1 < text.size()
        ? QChar::surrogateToUcs4(text.at(at), text.at(at + 1))
        : text.at(at).unicode();
    const QString shown = QString::fromUcs4(&cp, 1);
    const QString hex = QStringLiteral("%1").arg(uint(cp), 4, 16, QLatin1Char('0')).toUpper();
    return QStringLiteral("„%1” (U+%2)").arg(shown, hex);
}

const qint64 kJulianOfSerialZero = QDate(1, 1, 1).toJulianDay() - 1;

QLocale hungarian() { return QLocale(QLocale::Hungarian); }

QString trimmedNumberText(const QString& text)
{
    QString t = text.trimmed();
    t.remove(QLatin1Char(' '));
    t.remove(QChar(0x00A0));
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    return t;
}

}  // namespace

QString fromCp1250(std::string_view text)
{
    const auto& map = tables().toUnicode;
    QString out(qsizetype(text.size()), Qt::Uninitialized);
    QChar* d = out.data();
    for (size_t i = 0; i < text.size(); ++i) d[i] = QChar(map[static_cast<unsigned char>(text[i])]);
    return out;
}

bool toCp1250(const QString& text, std::string& out, QString* bad)
{
    const auto& map = tables().fromUnicode;
    out.clear();
    out.reserve(size_t(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int b = map[text.at(i).unicode()];
        if (b < 0 || text.at(i).isSurrogate()) {
            if (bad) *bad = describeChar(text, i);
            return false;
        }
        out += char(b);
    }
    return true;
}

std::string toCp1250OrThrow(const QString& text)
{
    std::string out;
    QString bad;
    if (!toCp1250(text, out, &bad)) throw DbError(dbmsg::badCharacterInText(bad), engine::ErrorCode::InvalidValue);
    return out;
}

unsigned char upperByte(unsigned char b) { return tables().upper[b]; }

QDate toQDate(engine::Date d) { return QDate::fromJulianDay(kJulianOfSerialZero + d.serial); }

engine::Date toEngineDate(const QDate& d) { return engine::Date{int32_t(d.toJulianDay() - kJulianOfSerialZero)}; }

QVariant toVariant(const engine::Value& v)
{
    using K = engine::Value::Kind;
    switch (v.kind()) {
    case K::Null:
        return {};
    case K::Int: {
        const int64_t i = v.asInt();
        if (i >= std::numeric_limits<int>::min() && i <= std::numeric_limits<int>::max()) return int(i);
        return qlonglong(i);
    }
    case K::Float:
        return v.asFloat();
    case K::Bool:
        return v.asBool();
    case K::Text:
        return fromCp1250(v.asText());
    case K::Bytes:
        return QByteArray::fromStdString(v.asText());
    case K::Date:
        return toQDate(v.asDate());
    case K::Time:
        return QTime::fromMSecsSinceStartOfDay(v.asTime());
    case K::Timestamp: {
        const int64_t ms = v.asTimestamp();
        return QDateTime(toQDate(engine::dateOfTimestamp(ms)),
                         QTime::fromMSecsSinceStartOfDay(engine::timeOfTimestamp(ms)));
    }
    }
    return {};
}

QDate parseDate(const QString& text)
{
    static const QRegularExpression re(
        QStringLiteral("^\\s*(\\d{4})\\s*[.\\-/]\\s*(\\d{1,2})\\s*[.\\-/]\\s*(\\d{1,2})\\s*\\.?\\s*$"));
    const auto m = re.match(text);
    if (!m.hasMatch()) return {};
    return QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
}

QString plainText(const QVariant& v)
{
    if (!v.isValid()) return {};
    switch (v.typeId()) {
    case QMetaType::QDate:
        return hungarian().toString(v.toDate(), QLocale::ShortFormat);
    case QMetaType::QTime:
        return v.toTime().toString(QStringLiteral("H:mm:ss"));
    case QMetaType::QDateTime: {
        const QDateTime dt = v.toDateTime();
        return hungarian().toString(dt.date(), QLocale::ShortFormat) + QLatin1Char(' ')
            + dt.time().toString(QStringLiteral("H:mm:ss"));
    }
    case QMetaType::Double:
        return QString::number(v.toDouble(), 'g', 15).replace(QLatin1Char('.'), QLatin1Char(','));
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("Igen") : QStringLiteral("Nem");
    case QMetaType::QByteArray:
        return {};
    default:
        return v.toString();
    }
}

bool isNumeric(engine::FieldType type)
{
    using T = engine::FieldType;
    switch (type) {
    case T::Short: case T::Long: case T::AutoInc: case T::Number: case T::Currency: case T::Bcd:
        return true;
    default:
        return false;
    }
}

bool isText(engine::FieldType type)
{
    using T = engine::FieldType;
    return type == T::Alpha || type == T::Memo || type == T::FmtMemo;
}

void raise(const engine::Status& status)
{
    throw DbError(QString::fromStdString(status.message()), status.code());
}

engine::Value toFieldValue(const QVariant& v, engine::FieldType type, int size, const QString& label)
{
    using T = engine::FieldType;
    using engine::Value;
    const auto invalid = [](const QString& msg) { return DbError(msg, engine::ErrorCode::InvalidValue); };
    if (!v.isValid() || v.isNull()) return {};
    const bool isString = v.typeId() == QMetaType::QString;
    const QString text = isString ? v.toString() : QString();

    switch (type) {
    case T::Alpha:
    case T::Memo:
    case T::FmtMemo: {
        QString s;
        if (v.typeId() == QMetaType::Bool) s = v.toBool() ? QStringLiteral("I") : QStringLiteral("N");
        else s = isString ? text : plainText(v);
        // A Paradox table keeps no difference between an empty and a blank text.
        if (s.isEmpty()) return {};
        std::string bytes;
        QString bad;
        if (!toCp1250(s, bytes, &bad)) throw invalid(dbmsg::badCharacter(label, bad));
        if (type == T::Alpha && size > 0 && int(bytes.size()) > size)
            throw invalid(dbmsg::textTooLong(label, size, int(bytes.size())));
        return Value::fromText(std::move(bytes));
    }
    case T::Short:
    case T::Long:
    case T::AutoInc: {
        qint64 i = 0;
        QString shown;
        if (isString) {
            const QString t = text.trimmed();
            if (t.isEmpty()) return {};
            bool ok = false;
            i = t.toLongLong(&ok);
            if (!ok) throw invalid(dbmsg::notInteger(t, label));
            shown = t;
        } else if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float) {
            const double d = v.toDouble();
            if (d != std::floor(d) || std::fabs(d) > 9.2e18) throw invalid(dbmsg::notInteger(plainText(v), label));
            i = qint64(d);
            shown = plainText(v);
        } else if (v.canConvert<qlonglong>()) {
            i = v.toLongLong();
            shown = QString::number(i);
        } else {
            throw invalid(dbmsg::notInteger(v.toString(), label));
        }
        const qint64 lo = type == T::Short ? -32768 : std::numeric_limits<int32_t>::min();
        const qint64 hi = type == T::Short ? 32767 : std::numeric_limits<int32_t>::max();
        if (i < lo || i > hi) throw invalid(dbmsg::outOfRange(shown, label));
        return Value::fromInt(i);
    }
    case T::Number:
    case T::Currency:
    case T::Bcd: {
        if (isString) {
            const QString t = trimmedNumberText(text);
            if (t.isEmpty()) return {};
            bool ok = false;
            const double d = t.toDouble(&ok);
            if (!ok || !std::isfinite(d)) throw invalid(dbmsg::notNumber(text.trimmed(), label));
            return Value::fromFloat(d);
        }
        bool ok = false;
        const double d = v.toDouble(&ok);
        if (!ok || !std::isfinite(d)) throw invalid(dbmsg::notNumber(v.toString(), label));
        return Value::fromFloat(d);
    }
    case T::Logical: {
        if (v.typeId() == QMetaType::Bool) return Value::fromBool(v.toBool());
        if (!isString && v.canConvert<qlonglong>()) return Value::fromBool(v.toLongLong() != 0);
        const QString t = (isString ? text : v.toString()).trimmed().toUpper();
        if (t.isEmpty()) return {};
        static const QStringList yes = {"I", "IGEN", "IGAZ", "T", "TRUE", "Y", "YES", "1"};
        static const QStringList no = {"N", "NEM", "HAMIS", "F", "FALSE", "NO", "0"};
        if (yes.contains(t)) return Value::fromBool(true);
        if (no.contains(t)) return Value::fromBool(false);
        throw invalid(dbmsg::notLogical(text.trimmed(), label));
    }
    case T::Date: {
        QDate d;
        if (v.typeId() == QMetaType::QDate) d = v.toDate();
        else if (v.typeId() == QMetaType::QDateTime) d = v.toDateTime().date();
        else {
            const QString t = v.toString().trimmed();
            if (t.isEmpty()) return {};
            d = parseDate(t);
            if (!d.isValid()) throw invalid(dbmsg::notDate(t, label));
        }
        if (!d.isValid() || d.year() < 1 || d.year() > 9999) throw invalid(dbmsg::notDate(v.toString(), label));
        return Value::fromDate(toEngineDate(d));
    }
    case T::Time: {
        QTime t;
        if (v.typeId() == QMetaType::QTime) t = v.toTime();
        else if (v.typeId() == QMetaType::QDateTime) t = v.toDateTime().time();
        else {
            const QString s = v.toString().trimmed();
            if (s.isEmpty()) return {};
            t = QTime::fromString(s, QStringLiteral("H:mm:ss"));
            if (!t.isValid()) t = QTime::fromString(s, QStringLiteral("H:mm"));
        }
        if (!t.isValid()) throw invalid(dbmsg::notDate(v.toString(), label));
        return Value::fromTime(t.msecsSinceStartOfDay());
    }
    case T::Timestamp: {
        QDateTime dt;
        if (v.typeId() == QMetaType::QDateTime) dt = v.toDateTime();
        else if (v.typeId() == QMetaType::QDate) dt = QDateTime(v.toDate(), QTime(0, 0));
        else {
            const QString s = v.toString().trimmed();
            if (s.isEmpty()) return {};
            dt = QDateTime::fromString(s, Qt::ISODate);
            if (!dt.isValid()) {
                const QDate d = parseDate(s);
                if (d.isValid()) dt = QDateTime(d, QTime(0, 0));
            }
        }
        if (!dt.isValid() || dt.date().year() < 1) throw invalid(dbmsg::notDate(v.toString(), label));
        return Value::fromTimestamp(engine::timestampOf(toEngineDate(dt.date()), dt.time().msecsSinceStartOfDay()));
    }
    case T::Blob:
    case T::Ole:
    case T::Graphic:
    case T::Bytes: {
        const QByteArray bytes = v.toByteArray();
        if (type == T::Bytes && size > 0 && bytes.size() > size)
            throw invalid(dbmsg::textTooLong(label, size, int(bytes.size())));
        return Value::fromBytes(bytes.toStdString());
    }
    }
    return {};
}

}  // namespace dbconv
