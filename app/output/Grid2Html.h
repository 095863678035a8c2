// Tfrm_Grid2Html ("HTML export"): writes the columns of a lent grid and all
// rows of its data set as an HTML table in Windows-1250, with a title, a
// subtitle, the row count and the time of the export, and opens the file
// afterwards when asked.
//
// The window asks for the file name (the title made file-name safe, ".htm")
// and writes the file on "OK"; a file that cannot be written is reported and
// the window stays open with the name typed. Texts from the data, the titles
// and the captions are escaped, so a value holding "<" or "&" shows as
// itself in the browser.
#pragma once

#include <QDateTime>
#include <QDialog>
#include <QString>

class DBGrid;
class ExportFile;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QToolButton;

// A text as HTML shows it: & < > " escaped, characters without a
// Windows-1250 form as numeric references.
QString HtmlText(const QString& text);
// A column's width as a whole percentage of the grid's, halves to even.
int ColumnPercent(int columnWidth, int gridWidth);
// The default file name for a title: "Ügyfelek" gives "_gyfelek.htm".
QString HtmlFileName(const QString& title);

// Writes the page for `grid` (columns bound to a field, in grid order; every
// row of its data set) into `out`, with `now` as the time of the export.
// Throws DbError when the rows changed under the export or the file cannot
// be written. The grid's current row stays where it is.
void WriteGridHtml(const DBGrid& grid, const QString& title, const QString& subtitle, const QDateTime& now,
                   ExportFile& out);

class Tfrm_Grid2Html : public QDialog {
    Q_OBJECT
public:
    Tfrm_Grid2Html(DBGrid* grid, const QString& title, const QString& subtitle, QWidget* parent = nullptr);

    QLineEdit* Edit1;       // "Mentés helye"
    QToolButton* BitBtn1;   // save dialog
    QCheckBox* CheckBox1;   // "Mentés után megnyitás"
    QPushButton* Button1;   // "OK"
    QPushButton* Button2;   // "Mégsem"

private slots:
    void BitBtn1Click();
    void Button1Click();

private:
    DBGrid* grid_;
    QString title_;
    QString subtitle_;
};

// Asks for the file and writes the HTML export of `grid`.
void ShowHtmlExport(DBGrid* grid, const QString& title, const QString& subtitle, QWidget* owner = nullptr);
