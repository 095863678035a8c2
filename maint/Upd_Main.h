// Tfrm_Upd_Main: the only window of the maintenance tool Nyilvex_Upd.
//
// It works on the database folder typed into its folder box, through a
// connection of its own, while the main program is closed everywhere:
// "Karbantartás" deletes the index files of the known tables and has the
// store build them again; "Verzióváltás" brings an older database forward by
// creating missing tables and adding missing fields. Each operation runs to
// its end in one go and leaves the connection closed. The folder box starts
// with the database folder named in the main program's settings file, which
// the tool reads but never writes.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include "common/DataSet.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

class Tfrm_Upd_Main : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm_Upd_Main(QWidget* parent = nullptr);
    ~Tfrm_Upd_Main() override;

    // Deletes one file; true when it is gone (or never was). A file that
    // cannot be deleted, because a program holds its table, is named in an
    // error box and the result is false.
    bool DeleteIndexFile(const QString& path);

    QLineEdit* Edit1;
    QPushButton* Button1;  // "Karbantartás": index rebuild
    QPushButton* Button3;  // "Verzióváltás": version upgrade
    QPushButton* Button2;  // "Bezárás"
    QPlainTextEdit* Memo1;
    QLabel* Label2;        // status line
    QProgressBar* ProgressBar1;

private slots:
    void Button1Click();
    void Button3Click();

private:
    bool connectDatabase();
    void setStatus(const QString& text);
    void stepIt();
    void execIgnoringErrors(const QStringList& sql);

    Connection Database1;
    TableDataSet* Tbl;
    QueryDataSet* Qry;
    QString workFolder_;  // the folder box's text without a trailing separator
};
