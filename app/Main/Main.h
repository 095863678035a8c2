// Tfrm_Main: the main window of Nyilvex and the program's start and stop.
//
// main() makes the window, runs startUp() and shows it only when that
// returns true. startUp() reads the settings file (LoadSettings), connects
// the alias "Nyilvex" (Database1) to the database folder, reads the database
// defaults (LoadDatabaseDefaults), runs the login when the database asks for
// one (both rights otherwise), sets the hint colour and the start state of
// the two filter memories. The main window's own start steps (name-day line,
// tab strip, start sort of the tabs) follow those, at the end of startUp().
//
// The first show switches the menus to the program menu style, places the
// window (the whole work area when full screen is on, else the saved place
// and size) and shows the splash window. Closing the window offers the
// database archive once it is due (OfferArchiveAtClose), then saves the
// settings and closes the connection.
#pragma once

#include <QMainWindow>

class Connection;

class Tfrm_Main : public QMainWindow {
    Q_OBJECT
public:
    explicit Tfrm_Main(QWidget* parent = nullptr);
    ~Tfrm_Main() override;

    // The start-up steps. False when the program is to end without the
    // main window: the database cannot be used (reported) or the login was
    // cancelled.
    bool startUp();

    Connection* Database1;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool connectDatabase();
    void placeWindow();

    bool shown_ = false;
};

// Reads vanbelep, alapprioritas and alaphatarido of the first beallit row
// through the alias connection into Beall; blank values (or no row) give no
// login and 0. Throws DbError when the table cannot be read.
void LoadDatabaseDefaults();
