// PrintPreviewWindow: the modal print preview of a PrintDocument, the real
// side of Interaction::printPreview.
//
// Shows one page at a time, zoomed to the whole page, to 100 % or to the
// page width; moves to the first, previous, next and last page or to a typed
// page number; prints on a printer chosen in the printer dialog; and saves
// the document as a PDF file ("PDF mentése", the file name asked through
// the interaction seam). Pages are laid out as they are needed: the first
// one shows at once, the count follows while the window is idle.
#pragma once

#include <QDialog>
#include <QImage>

class PrintDocument;
class QAction;
class QLabel;
class QScrollArea;
class QSpinBox;
class QTimer;

class PrintPreviewWindow : public QDialog {
    Q_OBJECT
public:
    enum class Zoom { WholePage, Actual, PageWidth };

    explicit PrintPreviewWindow(PrintDocument& doc, QWidget* parent = nullptr);

    int currentPage() const { return page_; }  // 0-based
    void showPage(int index);                  // clamped to the pages there are
    void setZoom(Zoom zoom);
    Zoom zoom() const { return zoom_; }
    // The page as it is shown now.
    const QImage& pageImage() const { return image_; }
    // "3 / 12", or "3 / ..." while the pages are still being counted.
    QString pageText() const;

    // Saves the document as PDF under a name the user chooses.
    void savePdf();
    // Prints on a printer the user chooses; without any printer, says so.
    void printPages();

    QAction* aEgeszOldal;
    QAction* aValodiMeret;
    QAction* aOldalszelesseg;
    QAction* aElso;
    QAction* aElozo;
    QAction* aKovetkezo;
    QAction* aUtolso;
    QAction* aNyomtat;
    QAction* aPdf;
    QAction* aBezar;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void render();
    void countMore();
    void updateState();

    PrintDocument& doc_;
    int page_ = 0;
    Zoom zoom_ = Zoom::WholePage;
    QImage image_;
    QScrollArea* area_;
    QLabel* view_;
    QSpinBox* pageBox_;
    QLabel* countLabel_;
    QTimer* counter_;
};
