// TqrNyomtat ("Körlevél nyomtatás"): a form-letter template merged with
// every row of a list (its order and filter), one letter per row, on A4
// pages with 10 mm margins and the common page footer. Each letter starts
// a page of its own, or they follow each other and a page ends only when
// it is full ("Egybe az egész"). An empty list gives one page with the
// footer only.
#pragma once

#include <QByteArray>
#include <QPageLayout>
#include <QString>

#include <memory>
#include <vector>

#include "common/PrintDocument.h"

class DataSet;
class QTextDocument;
class QWidget;

class TqrNyomtat : public PrintDocument {
public:
    TqrNyomtat(const QByteArray& templateRtf, const DataSet& rows, bool newPagePerLetter);
    ~TqrNyomtat() override;

    QString title() const override { return QStringLiteral("Körlevél nyomtatás"); }
    QPageLayout pageLayout() const override;
    bool hasPage(int index) override { return index >= 0 && index < pages(); }
    bool isComplete() const override { return true; }
    int laidOutPages() const override { return pages(); }
    int pageCount() override { return pages(); }
    void paintPage(int index, QPainter& painter) override;

private:
    int pages() const { return std::max(1, int(pages_.size())); }
    void paginate(QTextDocument& doc);

    struct Page {
        QTextDocument* doc;
        int page;  // within the document
    };
    std::vector<std::unique_ptr<QTextDocument>> letters_;
    std::vector<Page> pages_;
};

// Merges `templateRtf` with the rows of `rows` and shows the letters in the
// print preview, or prints them at once when `print` is set.
void PrintFormLetters(QWidget* owner, bool print, const QByteArray& templateRtf, const DataSet& rows,
                      bool newPagePerLetter);
