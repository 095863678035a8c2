// Reports as their reader sees them: a document written to PDF and read back
// with pdftotext (poppler), page by page.
#pragma once

#include <QString>
#include <QStringList>

class PrintDocument;

// The text of a PDF file, pages separated by form feeds; `layout` keeps the
// columns where they stand on the page.
QString PdfFileText(const QString& pdfPath, bool layout = true);

// Writes `doc` to a temporary PDF and returns the text of each page. Fails
// the running test when the PDF cannot be written or read.
QStringList PdfPages(PrintDocument& doc, bool layout = true);

// The lines of a page's text, without blank ones and trailing blanks.
QStringList TextLines(const QString& page);

// Size of the first page of a PDF in points ("595 x 842"), from pdfinfo.
QString PdfPageSize(const QString& pdfPath);

// One word of a PDF page with its box in points from the page's top left.
struct PdfWord {
    int page;  // 0-based
    QString text;
    double xMin, yMin, xMax, yMax;
};
// Every word of a PDF file, page by page, from pdftotext -bbox.
QList<PdfWord> PdfWords(const QString& pdfPath);
