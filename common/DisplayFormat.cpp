// Display formats of fields: number pictures ("00000", "### ### ##0.00") and
// date pictures ("yyyy.mm.dd"), shown the Hungarian way (decimal comma, short
// date "2024. 03. 07.").
#include <QDateTime>
#include <QLocale>

#include <cmath>

#include "DataSetInternal.h"

namespace {

// One section of a number picture, split into what the integer part, the
// decimal point and the fraction part hold.
struct NumberPicture {
    struct Token {
        enum Kind { Literal, Digit } kind;
        QChar digit;  // '0' forced, '#' optional
        QString text;
    };
    QString prefix;                  // before the first digit placeholder
    std::vector<Token> integerPart;  // digit placeholders and literals between them
    bool hasPoint = false;
    std::vector<Token> fractionPart;
    QString suffix;                  // after the last placeholder
    bool grouping = false;           // a ',' among the integer placeholders
};

// Splits at ';' outside quotes: positive;negative;zero.
QStringList sections(const QString& format)
{
    QStringList out;
    QString cur;
    QChar quote;
    for (const QChar c : format) {
        if (!quote.isNull()) {
            if (c == quote) quote = QChar();
            cur += c;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
            cur += c;
        } else if (c == QLatin1Char(';')) {
            out << cur;
            cur.clear();
        } else {
            cur += c;
        }
    }
    out << cur;
    return out;
}

NumberPicture parsePicture(const QString& section)
{
    NumberPicture p;
    bool seenDigit = false;
    QString pending;  // literals not yet placed
    QChar quote;
    auto flushLiteral = [&](std::vector<NumberPicture::Token>& into) {
        if (!pending.isEmpty()) into.push_back({NumberPicture::Token::Literal, QChar(), pending});
        pending.clear();
    };
    for (const QChar c : section) {
        if (!quote.isNull()) {
            if (c == quote) quote = QChar();
            else pending += c;
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            if (!seenDigit && !p.hasPoint) {
                p.prefix = pending;
                pending.clear();
            }
            seenDigit = true;
            auto& part = p.hasPoint ? p.fractionPart : p.integerPart;
            flushLiteral(part);
            part.push_back({NumberPicture::Token::Digit, c, QString()});
        } else if (c == QLatin1Char('.') && !p.hasPoint) {
            if (!seenDigit) {
                p.prefix = pending;
                pending.clear();
            }
            flushLiteral(p.integerPart);
            p.hasPoint = true;
            seenDigit = true;
        } else if (c == QLatin1Char(',') && seenDigit && !p.hasPoint) {
            p.grouping = true;
        } else {
            pending += c;
        }
    }
    if (!seenDigit) p.prefix = pending;
    else p.suffix = pending;
    return p;
}

QString formatNumber(double value, const QString& format)
{
    const QStringList secs = sections(format);
    QString section = secs.at(0);
    bool minus = value < 0;
    if (value < 0 && secs.size() > 1 && !secs.at(1).isEmpty()) {
        section = secs.at(1);
        minus = false;  // the negative section writes its own sign
    } else if (value == 0 && secs.size() > 2 && !secs.at(2).isEmpty()) {
        section = secs.at(2);
    }
    const NumberPicture p = parsePicture(section);

    int decimals = 0;
    int forcedDecimals = 0;
    for (const auto& t : p.fractionPart) {
        if (t.kind != NumberPicture::Token::Digit) continue;
        ++decimals;
        if (t.digit == QLatin1Char('0')) forcedDecimals = decimals;
    }
    const QString fixed = QString::number(std::fabs(value), 'f', decimals);
    const qsizetype point = fixed.indexOf(QLatin1Char('.'));
    QString intDigits = point < 0 ? fixed : fixed.left(point);
    QString fracDigits = point < 0 ? QString() : fixed.mid(point + 1);
    if (fixed.count(QLatin1Char('0')) + (point < 0 ? 0 : 1) == fixed.size()) minus = false;  // rounds to 0

    // The integer placeholders, and how many digits the '0's force.
    int places = 0;
    int firstForced = -1;
    for (const auto& t : p.integerPart) {
        if (t.kind != NumberPicture::Token::Digit) continue;
        if (t.digit == QLatin1Char('0') && firstForced < 0) firstForced = places;
        ++places;
    }
    const int minDigits = firstForced < 0 ? 0 : places - firstForced;
    if (intDigits == QLatin1String("0")) intDigits.clear();
    while (intDigits.size() < minDigits) intDigits.prepend(QLatin1Char('0'));

    QString out = p.prefix;
    if (minus) out.prepend(QLatin1Char('-'));
    const qsizetype n = intDigits.size();
    int placeIndex = 0;
    bool wroteDigit = n > 0 && p.grouping;
    if (p.grouping) {
        // "#,##0": thousands separated the Hungarian way, with a space.
        for (qsizetype i = n - 3; i > 0; i -= 3) intDigits.insert(i, QLatin1Char(' '));
        out += intDigits;
    }
    for (const auto& t : p.integerPart) {
        if (p.grouping) break;
        if (t.kind == NumberPicture::Token::Literal) {
            // Literals between placeholders show only once the number has begun.
            if (wroteDigit) out += t.text;
            continue;
        }
        const int fromRight = places - 1 - placeIndex;  // digit position this placeholder stands for
        if (placeIndex == 0) {
            // The leftmost placeholder takes every digit that does not fit.
            const qsizetype take = n - fromRight;
            if (take > 0) {
                out += intDigits.left(take);
                wroteDigit = true;
            }
        } else if (fromRight < n) {
            out += intDigits.at(n - 1 - fromRight);
            wroteDigit = true;
        }
        ++placeIndex;
    }

    while (fracDigits.size() > forcedDecimals && fracDigits.endsWith(QLatin1Char('0'))) fracDigits.chop(1);
    if (!fracDigits.isEmpty()) {
        out += QLatin1Char(',');
        int fracIndex = 0;
        for (const auto& t : p.fractionPart) {
            if (t.kind == NumberPicture::Token::Literal) {
                out += t.text;
            } else if (fracIndex < fracDigits.size()) {
                out += fracDigits.at(fracIndex++);
            }
        }
    } else if (n == 0 && !wroteDigit && firstForced < 0 && places > 0) {
        // "#.##" and zero: nothing would show at all.
        out += QLatin1Char('0');
    }
    out += p.suffix;
    return out;
}

// A date and time picture in the usual letters (y, m, d, h, n or mm after h,
// s) turned into Qt's letters, everything else kept as literal text.
QString qtDateFormat(const QString& picture)
{
    QString out;
    QString literal;
    auto flushLiteral = [&] {
        if (literal.isEmpty()) return;
        out += QLatin1Char('\'') + QString(literal).replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\'');
        literal.clear();
    };
    bool afterHour = false;
    for (qsizetype i = 0; i < picture.size();) {
        const QChar c = picture.at(i).toLower();
        qsizetype run = 1;
        while (i + run < picture.size() && picture.at(i + run).toLower() == c) ++run;
        QString token;
        if (c == QLatin1Char('y')) token = run <= 2 ? QStringLiteral("yy") : QStringLiteral("yyyy");
        else if (c == QLatin1Char('m') && afterHour && run <= 2) token = QString(run, QLatin1Char('m'));
        else if (c == QLatin1Char('m')) token = QString(std::min<qsizetype>(run, 4), QLatin1Char('M'));
        else if (c == QLatin1Char('d')) token = QString(std::min<qsizetype>(run, 4), QLatin1Char('d'));
        else if (c == QLatin1Char('h')) token = QString(std::min<qsizetype>(run, 2), QLatin1Char('H'));
        else if (c == QLatin1Char('n')) token = QString(std::min<qsizetype>(run, 2), QLatin1Char('m'));
        else if (c == QLatin1Char('s')) token = QString(std::min<qsizetype>(run, 2), QLatin1Char('s'));
        if (token.isEmpty()) {
            literal += picture.mid(i, run);
        } else {
            flushLiteral();
            out += token;
            afterHour = c == QLatin1Char('h');
        }
        i += run;
    }
    flushLiteral();
    return out;
}

}  // namespace

QString formatDisplay(const QVariant& v, engine::FieldType type, const QString& format)
{
    if (!v.isValid() || v.isNull()) return {};
    if (format.isEmpty() || dbconv::isText(type)) return dbconv::plainText(v);
    const QLocale hu(QLocale::Hungarian);
    switch (v.typeId()) {
    case QMetaType::QDate:
        return hu.toString(v.toDate(), qtDateFormat(format));
    case QMetaType::QTime:
        return hu.toString(v.toTime(), qtDateFormat(format));
    case QMetaType::QDateTime:
        return hu.toString(v.toDateTime(), qtDateFormat(format));
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Double:
        return formatNumber(v.toDouble(), format);
    default:
        return dbconv::plainText(v);
    }
}
