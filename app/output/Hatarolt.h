// Tfrm_Hatarolt ("Határolt szöveg export"): writes the rows of a lent data
// set to a delimited text file, one line per row, with the fields the user
// ticks, a separator, a text qualifier and the multi-line choice for memos.
// The window stays open for further exports until "Bezár".
//
// Lines: the fields' display labels first, then one line per row, every
// value (the heading's too) between qualifiers and followed by the
// separator. Values that would shift the columns are kept whole: with a
// qualifier, a qualifier inside a value is doubled; without one, a value
// holding the separator, a quotation mark or a line break goes between
// quotation marks (doubled inside). Memo fields give "BLOB" unless the
// multi-line box is ticked, then their lines each followed by "|"; other
// large objects always give "BLOB".
#pragma once

#include <QChar>
#include <QDialog>
#include <QString>

#include "ExportFile.h"

class DataSet;
class Field;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QToolButton;

struct DelimitedFormat {
    QChar separator = QLatin1Char(';');
    QChar qualifier;  // null: none
    bool multiLine = false;
};

// One value as it stands in a line, its separator included.
QString DelimitedCell(const QString& value, const DelimitedFormat& format);
// What field `field` of row `row` gives in the file, before qualifying.
QString DelimitedValue(const DataSet& ds, const Field& field, int row, bool multiLine);

class Tfrm_Hatarolt : public QDialog {
    Q_OBJECT
public:
    Tfrm_Hatarolt(DataSet* dataSet, QWidget* parent = nullptr);

    QListWidget* CheckListBox1;  // the fields, each with a tick
    QLineEdit* Edit1;            // file name
    QToolButton* SpeedButton1;   // save dialog
    QGroupBox* RadioGroup2;      // "Határoló karakter"
    QRadioButton* rbSeparator[4];
    QGroupBox* RadioGroup1;      // "Szövegjelölő"
    QRadioButton* rbQualifier[3];
    QGroupBox* RadioGroup3;      // "Kódolás"
    QRadioButton* rbEncoding[2];
    QCheckBox* CheckBox1;        // multi-line memos
    QPushButton* Button4;        // "összes"
    QPushButton* Button5;        // "egyik sem"
    QPushButton* Button1;        // "Export indítás"
    QPushButton* Button3;        // "Megállít"
    QPushButton* Button2;        // "Bezár"
    QProgressBar* ProgressBar1;

    bool running() const { return running_; }

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private slots:
    void SpeedButton1Click();
    void Button1Click();

private:
    DelimitedFormat format() const;
    ExportFile::Encoding encoding() const;
    void setRunning(bool on);
    // Writes the file; returns the number of rows written.
    int run(const QString& path, bool* stopped);

    DataSet* ds_;
    bool running_ = false;
};

// Opens the export for `dataSet` with `defaultFileName` in the file name box.
void ShowDelimitedExport(DataSet* dataSet, const QString& defaultFileName, QWidget* owner = nullptr);
