// The application object of both programs (Nyilvex and Nyilvex_Upd) and its
// set-up.
//
// NyilvexApplication shows every error that an event handler lets escape
// (DbError and any other std::exception) in the error box, and the program
// goes on with the window usable.
//
// SetupApplication makes the process Hungarian whatever the machine is
// (locale, Qt's own dialog texts), loads the fonts the windows are laid out
// in, installs the window conventions, fixes the settings folders and sets
// the application title. Tests call it too, after pointing XDG_CONFIG_HOME at
// a temporary folder.
#pragma once

#include <QApplication>

class NyilvexApplication : public QApplication {
    Q_OBJECT
public:
    NyilvexApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

void SetupApplication(QApplication& app, const QString& title = "Nyilvex");
