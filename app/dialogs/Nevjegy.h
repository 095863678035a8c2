// Tfrm_Nevjegy: the about box. Also the one place of the maker's name and
// addresses, which the help commands use too.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

inline constexpr const char* MakerName = "Tarvio Szoftver Kft.";
inline constexpr const char* MakerWebAddress = "https://www.tarvio.hu";
inline constexpr const char* MakerEmail = "info@tarvio.hu";

class Tfrm_Nevjegy : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm_Nevjegy(QWidget* parent = nullptr);

    QLabel* lblVerzio;
    QPushButton* btnOK;

protected:
    void showEvent(QShowEvent* event) override;
};
