#include "Convert.h"

#include <QLocale>
#include <QRegularExpression>
#include <QStringList>

#include "engine/Codepage.h"

namespace {

bool isBlank(const QVariant& v)
{
    return !v.isValid() || v.isNull();
}

}  // namespace

QString VarToText(const QVariant& value, const QString& defaultText)
{
    if (isBlank(value)) return defaultText;
    QLocale hu;
    switch (value.typeId()) {
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("yyyy.MM.dd."));
    case QMetaType::QDateTime:
        return value.toDateTime().toString(QStringLiteral("yyyy.MM.dd. HH:mm:ss"));
    case QMetaType::Double:
        return hu.toString(value.toDouble(), 'g', 15);
    default:
        return value.toString();
    }
}

int VarToInt(const QVariant& value, int defaultValue)
{
    if (isBlank(value)) return defaultValue;
    bool ok = false;
    int i = value.toInt(&ok);
    return ok ? i : defaultValue;
}

double VarToFloat(const QVariant& value, double defaultValue)
{
    if (isBlank(value)) return defaultValue;
    bool ok = false;
    double d = value.toDouble(&ok);
    return ok ? d : defaultValue;
}

QString WordAt(QChar separator, const QString& text, int n)
{
    if (n < 1) return QString();
    QStringList parts = text.split(separator);
    return n <= parts.size() ? parts[n - 1] : QString();
}

int CountChar(QChar c, const QString& text)
{
    return int(text.count(c));
}

QString RemoveAll(QChar c, const QString& text)
{
    QString s = text;
    s.remove(c);
    return s;
}

QString FileNameForm(const QString& text)
{
    std::string bytes;
    for (QChar ch : text) {
        // Characters without a Windows-1250 byte count as high bytes.
        auto b = engine::utf8ToCp1250(QString(ch).toStdString());
        bytes += b.isOk() && b->size() == 1 ? *b : std::string(1, '\xFF');
    }
    for (char& ch : bytes) {
        unsigned char u = static_cast<unsigned char>(ch);
        if ((u >= 0x20 && u <= 0x23) || (u >= 0x25 && u <= 0x27) || u == 0x2A || u == 0x2B ||
            u == 0x2F || u == 0x3A || u == 0x3F || u == 0x40 || u == 0x5C)
            ch = '-';
        else if (u >= 0x81)
            ch = '_';
    }
    return QString::fromStdString(engine::cp1250ToUtf8(engine::lowerCp1250(bytes)));
}

QString JoinLines(const QString& text)
{
    if (text.isEmpty()) return QString();
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    QStringList lines = text.split(lineBreak);
    if (lines.last().isEmpty()) lines.removeLast();
    QString out;
    for (const QString& line : lines) out += line + QLatin1Char('|');
    return out;
}

int MonthOf(const QDate& date)
{
    return date.month();
}

int DayOf(const QDate& date)
{
    return date.day();
}

QColor ColorFromBGR(quint32 value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

quint32 ColorToBGR(const QColor& color)
{
    return quint32(color.red()) | (quint32(color.green()) << 8) | (quint32(color.blue()) << 16);
}
