#include "rptNyomtat.h"

#include <QAbstractTextDocumentLayout>
#include <QDateTime>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

#include "KorlevelMerge.h"
#include "ListReport.h"
#include "PagePainter.h"
#include "app/dialogs/Nevjegy.h"
#include "common/DataSet.h"
#include "common/Interaction.h"
#include "common/Messages.h"
#include "report/Fonts.h"
#include "widgets/Rtf.h"

namespace {

constexpr double kMargin = 10;         // mm, every side
constexpr double kWidth = 190;         // mm between the side margins
constexpr double kFooterSize = 6;      // points
constexpr double kFooterStep = kFooterSize * 0.42;  // one footer line, mm
constexpr double kFooterHeight = 1 + 3 * kFooterStep + 0.5;
constexpr double kBodyHeight = 277 - kFooterHeight;
// Letters are laid out at a printer's resolution, so they break at the same
// words in the preview, on paper and in a PDF.
constexpr double kLayoutDpi = 1200;

double toLayout(double mm)
{
    return mm * kLayoutDpi / 25.4;
}

QPaintDevice* layoutDevice()
{
    static QImage device = [] {
        QImage i(1, 1, QImage::Format_RGB32);
        i.setDotsPerMeterX(qRound(kLayoutDpi / 0.0254));
        i.setDotsPerMeterY(qRound(kLayoutDpi / 0.0254));
        return i;
    }();
    return &device;
}

std::unique_ptr<QTextDocument> newDocument()
{
    auto doc = std::make_unique<QTextDocument>();
    doc->documentLayout()->setPaintDevice(layoutDevice());
    QFont font(PrintedFamily("Arial"), 10);
    font.setStyleStrategy(QFont::PreferNoShaping);  // "fi" stays two letters in the PDF's text
    doc->setDefaultFont(font);
    doc->setDocumentMargin(0);
    return doc;
}

}  // namespace

TqrNyomtat::TqrNyomtat(const QByteArray& templateRtf, const DataSet& rows, bool newPagePerLetter)
{
    const int count = rows.isActive() ? rows.recordCount() : 0;
    if (newPagePerLetter) {
        for (int row = 0; row < count; ++row) {
            letters_.push_back(newDocument());
            ReadRtf(MergeRow(templateRtf, rows, row), *letters_.back());
        }
    } else if (count > 0) {
        letters_.push_back(newDocument());
        QTextCursor end(letters_.back().get());
        for (int row = 0; row < count; ++row) {
            const std::unique_ptr<QTextDocument> letter = newDocument();
            ReadRtf(MergeRow(templateRtf, rows, row), *letter);
            // A new paragraph in the letter's own first format: the fragment's
            // first paragraph takes the format of the one it goes into.
            const QTextBlock first = letter->begin();
            if (row > 0) end.insertBlock(first.blockFormat(), first.charFormat());
            else end.setBlockFormat(first.blockFormat());
            end.insertFragment(QTextDocumentFragment(letter.get()));
        }
    }
    for (const auto& doc : letters_) paginate(*doc);
}

TqrNyomtat::~TqrNyomtat() = default;

void TqrNyomtat::paginate(QTextDocument& doc)
{
    doc.setPageSize(QSizeF(toLayout(kWidth), toLayout(kBodyHeight)));
    for (int p = 0; p < doc.pageCount(); ++p) pages_.push_back({&doc, p});
}

QPageLayout TqrNyomtat::pageLayout() const
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(kMargin, kMargin, kMargin, kMargin),
                       QPageLayout::Millimeter);
}

void TqrNyomtat::paintPage(int index, QPainter& painter)
{
    const double perMm = painter.device()->logicalDpiX() / 25.4;
    if (index < int(pages_.size())) {
        const Page& p = pages_[size_t(index)];
        const double pageHeight = toLayout(kBodyHeight);
        painter.save();
        painter.translate(kMargin * perMm, kMargin * perMm);
        painter.scale(painter.device()->logicalDpiX() / kLayoutDpi, painter.device()->logicalDpiY() / kLayoutDpi);
        painter.translate(0, -p.page * pageHeight);
        const QRectF visible(0, p.page * pageHeight, toLayout(kWidth), pageHeight);
        painter.setClipRect(visible);
        p.doc->drawContents(&painter, visible);
        painter.restore();
    }

    // The common footer of the program's printouts.
    PagePainter page(painter);
    const double top = kMargin + kBodyHeight + 1;
    const BoxFont font{"Courier New", kFooterSize};
    const QColor silver(192, 192, 192);
    painter.save();
    painter.setPen(QPen(silver, 0.2 * perMm));
    painter.drawLine(QPointF(kMargin * perMm, (top - 0.7) * perMm), QPointF((kMargin + kWidth) * perMm, (top - 0.7) * perMm));
    painter.restore();
    const QString now = QDateTime::currentDateTime().toString(QStringLiteral("yyyy.MM.dd. hh:mm"));
    page.text(QRectF(kMargin, top, kWidth / 2, kFooterStep), output::ProgramLine(), font);
    page.text(QRectF(kMargin + kWidth / 2, top, kWidth / 2, kFooterStep), now, font, Qt::AlignRight);
    page.text(QRectF(kMargin, top + kFooterStep, kWidth, kFooterStep), title(), font, Qt::AlignRight);
    page.text(QRectF(kMargin, top + 2 * kFooterStep, kWidth / 3, kFooterStep), QString("oldal: %1").arg(index + 1), font);
    page.text(QRectF(kMargin + kWidth / 3, top + 2 * kFooterStep, kWidth / 3, kFooterStep), MakerWebAddress, font,
              Qt::AlignHCenter);
    page.text(QRectF(kMargin + 2 * kWidth / 3, top + 2 * kFooterStep, kWidth / 3, kFooterStep), "qrNyomtat", font,
              Qt::AlignRight);
}

void PrintFormLetters(QWidget* owner, bool print, const QByteArray& templateRtf, const DataSet& rows,
                      bool newPagePerLetter)
{
    TqrNyomtat letters(templateRtf, rows, newPagePerLetter);
    if (!print) {
        interaction().printPreview(owner, letters);
        return;
    }
    if (!interaction().print(owner, letters)) ShowNoPrinter(owner);
}
