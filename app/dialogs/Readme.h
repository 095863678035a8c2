// Tfrm_Readme ("Fontos információk"): the program's read-me text in a
// resizable window.
#pragma once

#include <QDialog>

class QPlainTextEdit;

class Tfrm_Readme : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm_Readme(QWidget* parent = nullptr);

    QPlainTextEdit* Memo1;
};

// The text stored with the program.
QString ReadmeText();
