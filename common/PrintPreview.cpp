#include "PrintPreview.h"

#include <QAction>
#include <QDir>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTimer>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "Interaction.h"
#include "Messages.h"
#include "PrintDocument.h"

namespace {

// Pages laid out per idle step while the count is still open: small enough
// that the window answers the keyboard between steps.
constexpr int kCountStep = 25;

QString safeFileName(QString name)
{
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    for (QChar& c : name)
        if (forbidden.contains(c)) c = QLatin1Char('_');
    return name.trimmed().isEmpty() ? QStringLiteral("lista") : name.trimmed();
}

}  // namespace

PrintPreviewWindow::PrintPreviewWindow(PrintDocument& doc, QWidget* parent) : QDialog(parent), doc_(doc)
{
    setObjectName("frm_Nyomtataskep");
    setWindowTitle(doc.title().isEmpty() ? QStringLiteral("Nyomtatási kép") : doc.title());

    auto* bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto action = [&](const char* name, const QString& text, const QKeySequence& key = {}) {
        auto* a = new QAction(text, this);
        a->setObjectName(name);
        a->setShortcut(key);
        bar->addAction(a);
        return a;
    };
    aEgeszOldal = action("aEgeszOldal", "Egész oldal");
    aValodiMeret = action("aValodiMeret", "100 %");
    aOldalszelesseg = action("aOldalszelesseg", "Oldalszélesség");
    bar->addSeparator();
    aElso = action("aElso", "Első oldal", Qt::Key_Home);
    aElozo = action("aElozo", "Előző oldal", Qt::Key_PageUp);
    // The page buttons show pictures only, their names as hints: the bar
    // keeps room for the commands' captions.
    aElso->setIcon(style()->standardIcon(QStyle::SP_MediaSkipBackward));
    aElozo->setIcon(style()->standardIcon(QStyle::SP_MediaSeekBackward));
    pageBox_ = new QSpinBox(this);
    pageBox_->setObjectName("edtOldal");
    pageBox_->setMinimum(1);
    pageBox_->setMaximum(1);
    pageBox_->setKeyboardTracking(false);
    bar->addWidget(pageBox_);
    countLabel_ = new QLabel(this);
    countLabel_->setObjectName("lblOldalszam");
    countLabel_->setMinimumWidth(70);
    bar->addWidget(countLabel_);
    aKovetkezo = action("aKovetkezo", "Következő oldal", Qt::Key_PageDown);
    aUtolso = action("aUtolso", "Utolsó oldal", Qt::Key_End);
    aKovetkezo->setIcon(style()->standardIcon(QStyle::SP_MediaSeekForward));
    aUtolso->setIcon(style()->standardIcon(QStyle::SP_MediaSkipForward));
    for (QAction* a : {aElso, aElozo, aKovetkezo, aUtolso})
        if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(a)))
            button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    bar->addSeparator();
    aNyomtat = action("aNyomtat", "Nyomtatás...", QKeySequence("Ctrl+P"));
    aPdf = action("aPdf", "PDF mentése", QKeySequence("Ctrl+S"));
    bar->addSeparator();
    aBezar = action("aBezar", "Bezárás", Qt::Key_Escape);
    for (QAction* a : {aEgeszOldal, aValodiMeret, aOldalszelesseg}) a->setCheckable(true);

    view_ = new QLabel;
    view_->setObjectName("lblOldal");
    view_->setAlignment(Qt::AlignCenter);
    area_ = new QScrollArea(this);
    area_->setWidget(view_);
    area_->setWidgetResizable(true);
    area_->setAlignment(Qt::AlignCenter);
    area_->setBackgroundRole(QPalette::Dark);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(area_, 1);

    connect(aEgeszOldal, &QAction::triggered, this, [this] { setZoom(Zoom::WholePage); });
    connect(aValodiMeret, &QAction::triggered, this, [this] { setZoom(Zoom::Actual); });
    connect(aOldalszelesseg, &QAction::triggered, this, [this] { setZoom(Zoom::PageWidth); });
    connect(aElso, &QAction::triggered, this, [this] { showPage(0); });
    connect(aElozo, &QAction::triggered, this, [this] { showPage(page_ - 1); });
    connect(aKovetkezo, &QAction::triggered, this, [this] { showPage(page_ + 1); });
    connect(aUtolso, &QAction::triggered, this, [this] { showPage(doc_.pageCount() - 1); });
    connect(pageBox_, &QSpinBox::valueChanged, this, [this](int n) {
        if (n - 1 != page_) showPage(n - 1);
    });
    connect(aNyomtat, &QAction::triggered, this, &PrintPreviewWindow::printPages);
    connect(aPdf, &QAction::triggered, this, &PrintPreviewWindow::savePdf);
    connect(aBezar, &QAction::triggered, this, &QDialog::reject);

    counter_ = new QTimer(this);
    counter_->setInterval(0);
    connect(counter_, &QTimer::timeout, this, &PrintPreviewWindow::countMore);

    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    resize(std::min(900, screen.width() - 40), std::min(1000, screen.height() - 60));
    doc_.hasPage(0);
    updateState();
    render();
    if (!doc_.isComplete()) counter_->start();
}

QString PrintPreviewWindow::pageText() const
{
    return QString("%1 / %2").arg(page_ + 1).arg(doc_.isComplete() ? QString::number(doc_.pageCount())
                                                                    : QStringLiteral("..."));
}

void PrintPreviewWindow::showPage(int index)
{
    if (index < 0) index = 0;
    while (index > 0 && !doc_.hasPage(index)) --index;
    page_ = index;
    updateState();
    render();
}

void PrintPreviewWindow::setZoom(Zoom zoom)
{
    zoom_ = zoom;
    render();
}

void PrintPreviewWindow::countMore()
{
    doc_.hasPage(doc_.laidOutPages() - 1 + kCountStep);
    if (doc_.isComplete()) counter_->stop();
    updateState();
}

void PrintPreviewWindow::updateState()
{
    const bool complete = doc_.isComplete();
    const int known = std::max(1, complete ? doc_.pageCount() : doc_.laidOutPages());
    const QSignalBlocker block(pageBox_);
    pageBox_->setMaximum(known);
    pageBox_->setValue(page_ + 1);
    countLabel_->setText(complete ? QString(" / %1").arg(known) : QStringLiteral(" / ..."));
    aElso->setEnabled(page_ > 0);
    aElozo->setEnabled(page_ > 0);
    aKovetkezo->setEnabled(!complete || page_ + 1 < known);
    aUtolso->setEnabled(!complete || page_ + 1 < known);
    aEgeszOldal->setChecked(zoom_ == Zoom::WholePage);
    aValodiMeret->setChecked(zoom_ == Zoom::Actual);
    aOldalszelesseg->setChecked(zoom_ == Zoom::PageWidth);
}

void PrintPreviewWindow::render()
{
    const QSizeF paper = doc_.pageLayout().fullRectPoints().size();  // in points
    const double screenDpi = logicalDpiX();
    const QSize room = area_->viewport()->size() - QSize(12, 12);
    double dpi = screenDpi;
    if (zoom_ == Zoom::WholePage)
        dpi = std::min(room.width() * 72.0 / paper.width(), room.height() * 72.0 / paper.height());
    else if (zoom_ == Zoom::PageWidth)
        dpi = (room.width() - area_->verticalScrollBar()->sizeHint().width()) * 72.0 / paper.width();
    dpi = std::max(dpi, 10.0);
    const QSize pixels(qRound(paper.width() * dpi / 72.0), qRound(paper.height() * dpi / 72.0));
    image_ = QImage(pixels, QImage::Format_RGB32);
    image_.setDotsPerMeterX(qRound(dpi / 0.0254));
    image_.setDotsPerMeterY(qRound(dpi / 0.0254));
    image_.fill(Qt::white);
    {
        QPainter painter(&image_);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        doc_.paintPage(page_, painter);
    }
    view_->setPixmap(QPixmap::fromImage(image_));
    updateState();
}

void PrintPreviewWindow::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (zoom_ != Zoom::Actual) render();
}

void PrintPreviewWindow::savePdf()
{
    const QString start = QDir::home().filePath(safeFileName(doc_.title()) + ".pdf");
    const QString path = interaction().saveFileName(this, "PDF mentése", start, "PDF fájl (*.pdf)", {"pdf"});
    if (path.isEmpty()) return;
    QString error;
    if (!writePdf(doc_, path, &error)) ShowError(error, this);
}

void PrintPreviewWindow::printPages()
{
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        ShowNoPrinter(this);
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    preparePrinter(doc_, printer);
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, doc_.pageCount());
    {
        ActiveWindowKeeper keep(this);
        if (dialog.exec() != QDialog::Accepted) return;
    }
    if (!printDocument(doc_, printer)) ShowPrintFailed(this);
}
