#include "PrintDocument.h"

#include <QFile>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

namespace {

// The paper of the document without margins: the document places
// everything itself, so every device draws from the paper's corner.
QPageLayout wholePaper(const PrintDocument& doc)
{
    QPageLayout layout = doc.pageLayout();
    return QPageLayout(layout.pageSize(), layout.orientation(), QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

}  // namespace

void preparePrinter(const PrintDocument& doc, QPrinter& printer)
{
    printer.setDocName(doc.title());
    printer.setFullPage(true);
    printer.setPageLayout(wholePaper(doc));
}

bool printDocument(PrintDocument& doc, QPrinter& printer)
{
    int from = 1;
    int to = doc.pageCount();
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = printer.fromPage();
        to = std::min(to, printer.toPage() > 0 ? printer.toPage() : to);
    }
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    bool first = true;
    // A printer that makes copies itself is sent the pages once.
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(1, printer.copyCount());
    for (int copy = 0; copy < copies; ++copy) {
        for (int page = from; page <= to; ++page) {
            if (!first && !printer.newPage()) return false;
            first = false;
            doc.paintPage(page - 1, painter);
        }
    }
    return painter.end();
}

bool writePdf(PrintDocument& doc, const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (error) *error = QString("A fájl nem írható: %1 (%2)").arg(path, file.errorString());
        return false;
    }
    {
        QPdfWriter pdf(&file);
        pdf.setTitle(doc.title());
        pdf.setCreator(QStringLiteral("Nyilvex"));
        pdf.setPageLayout(wholePaper(doc));
        QPainter painter;
        if (!painter.begin(&pdf)) {
            if (error) *error = QString("A PDF fájl nem készíthető el: %1").arg(path);
            return false;
        }
        const int pages = doc.pageCount();
        for (int page = 0; page < pages; ++page) {
            if (page > 0) pdf.newPage();
            doc.paintPage(page, painter);
        }
        painter.end();
    }
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        if (error) *error = QString("A fájl nem írható: %1 (%2)").arg(path, file.errorString());
        file.close();
        file.remove();
        return false;
    }
    return true;
}
