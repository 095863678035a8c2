// Conversions used all over the program: field values with a default for
// blank, text cutting and counting, file-name-safe text, dates, and the one
// place where a stored colour value ($BBGGRR) becomes a QColor.
//
// A blank field value is an invalid or null QVariant (DataSet.h).
#pragma once

#include <QChar>
#include <QColor>
#include <QDate>
#include <QString>
#include <QVariant>

// A blank value gives the default, anything else its text form (dates as
// "yyyy.MM.dd.", the Hungarian short form; numbers with a decimal comma).
QString VarToText(const QVariant& value, const QString& defaultText);
// A blank value, or one that is not a number, gives the default.
int VarToInt(const QVariant& value, int defaultValue);
double VarToFloat(const QVariant& value, double defaultValue);

// The n-th field (from 1) of `text` cut at every `separator`; two separators
// in a row enclose an empty field; past the end (or n < 1) gives "".
QString WordAt(QChar separator, const QString& text, int n);

int CountChar(QChar c, const QString& text);
QString RemoveAll(QChar c, const QString& text);

// A text usable as a file name, worked out on its Windows-1250 bytes: space
// ! " # % & ' * + / : ? @ \ become "-", every byte from 0x81 up becomes "_"
// (so do characters without a Windows-1250 form), then lower case.
QString FileNameForm(const QString& text);

// Every line followed by "|": "a\nb" gives "a|b|"; "" gives "". A final line
// break does not start another line.
QString JoinLines(const QString& text);

int MonthOf(const QDate& date);
int DayOf(const QDate& date);

// A colour value as the tables store it: blue in bits 16-23, green in 8-15,
// red in 0-7.
QColor ColorFromBGR(quint32 value);
quint32 ColorToBGR(const QColor& color);
