// Tfrm_Logo: the splash window shown over the main window at start. It stays
// fully visible for 1.5 seconds, then fades by 10 of 255 every 67 ms and
// closes itself (and is freed) once its opacity is 33 or less. It never takes
// the keyboard; where the platform gave it the activation anyway, closing
// hands it back to the window under it.
#pragma once

#include <QWidget>

class QTimer;

class Tfrm_Logo : public QWidget {
    Q_OBJECT
public:
    explicit Tfrm_Logo(QWidget* parent = nullptr);

    int opacity() const { return opacity_; }

    QTimer* Timer1;  // the wait before fading
    QTimer* Timer2;  // the fade steps

public slots:
    void startFading();
    void fadeStep();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
    int opacity_ = 255;
};
