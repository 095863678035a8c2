// PrintDocument: pages that the print preview shows, a printer prints and a
// PDF file holds. A document lays its pages out only as far as it is asked,
// so the preview of a list of two thousand pages shows its first page at
// once and finds the rest while the user reads it.
//
// The report engine (report/) makes these; the interaction seam
// (Interaction.h) previews and prints them, and tests write them to PDF with
// writePdf() to read them back as text.
#pragma once

#include <QPageLayout>
#include <QString>

class QPainter;
class QPrinter;

class PrintDocument {
public:
    virtual ~PrintDocument() = default;

    // The document's title: the preview's caption and the printer's job name.
    virtual QString title() const = 0;
    // Paper, orientation and margins of every page. Pages are drawn on the
    // whole paper; the document keeps its own margins.
    virtual QPageLayout pageLayout() const = 0;
    // Lays pages out up to page `index` (0-based); false when the document
    // ends before it.
    virtual bool hasPage(int index) = 0;
    // Whether every page is laid out, so that pageCount() costs nothing.
    virtual bool isComplete() const = 0;
    // How many pages are laid out so far.
    virtual int laidOutPages() const = 0;
    // Lays out the rest; the number of pages (at least one).
    virtual int pageCount() = 0;
    // Draws the laid-out page `index`; `painter` is open on a device whose
    // origin is the paper's top left corner.
    virtual void paintPage(int index, QPainter& painter) = 0;
};

// Sets `printer` to the document's paper and orientation, origin at the
// paper's corner (the document draws its own margins).
void preparePrinter(const PrintDocument& doc, QPrinter& printer);

// Prints the pages of the printer's page range (every page when none is
// set), as many copies as the printer asks. False when the printer would not
// start (an invalid printer, a file that cannot be written).
bool printDocument(PrintDocument& doc, QPrinter& printer);

// Writes the whole document to `path` as PDF. False when the file cannot be
// written; `error` then tells why, in Hungarian.
bool writePdf(PrintDocument& doc, const QString& path, QString* error = nullptr);
