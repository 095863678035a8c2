// Reading export files back as their readers do: python3's csv module for
// delimited text, its html.parser for the HTML page.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

QByteArray ReadBytes(const QString& path);
// The text in Windows-1250, as the export writes it.
QByteArray Cp1250(const QString& text);

// The rows of delimited files as python's csv reader sees them (doublequote
// on; a null quote means the quotation mark), all files read by one python.
struct CsvFile {
    QString path;
    QChar delimiter;
    QChar quote;
    QString encoding = "cp1250";
};
QList<QList<QStringList>> CsvRows(const QList<CsvFile>& files);

// The text of every cell of every table row of an HTML file, entities
// decoded, and the page title.
struct HtmlPage {
    QString title;
    QList<QStringList> rows;
};
HtmlPage ParseHtml(const QString& path);
