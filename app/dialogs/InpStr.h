// Tfrm_InpStr: asks for one line of text. InputText is its entry point.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class Tfrm_InpStr : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm_InpStr(QWidget* parent = nullptr);

    QLabel* Label1;
    QLineEdit* Edit1;
    QPushButton* btnOK;
    QPushButton* btnMegsem;

protected:
    void showEvent(QShowEvent* event) override;
};

// Shows `caption` and `prompt` with `text` in the box; true when closed with
// "OK", and only then is `text` replaced by what was typed (exactly).
bool InputText(const QString& caption, const QString& prompt, QString& text,
               QWidget* owner = nullptr);
