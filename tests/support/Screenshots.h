// Pictures of windows for a person to look at, taken only when
// NYILVEX_SCREENSHOTS names a folder (under xvfb-run for real fonts).
#pragma once

#include <QDialog>
#include <QDir>
#include <QTest>

#include <functional>

#include "common/DataSet.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TestDatabase.h"

// The folder the pictures go to, made when missing; empty when none is named.
inline QString ScreenshotFolder()
{
    const QString folder = qEnvironmentVariable("NYILVEX_SCREENSHOTS");
    if (!folder.isEmpty()) QDir().mkpath(folder);
    return folder;
}

// Saves `window` as folder/name.png once it has painted.
inline void SaveShot(QWidget& window, const QString& folder, const QString& name)
{
    QTest::qWait(50);
    window.grab().save(folder + "/" + name + ".png");
}

// The next modal window named `form` is saved as folder/file.png; then `then`
// runs in it, and it is closed if still open.
inline void ShootModal(ScriptedInteraction& user, const QString& folder, const QString& form, const QString& file,
                       std::function<void(QDialog&)> then = {})
{
    user.onModal(form, [=](QDialog& d) {
        SaveShot(d, folder, file);
        if (then) then(d);
        if (d.isVisible()) d.reject();
    });
}

// The sample database in `data`, started without the login window.
inline void BuildSampleWithoutLogin(const QString& data)
{
    BuildTestDatabase(data, true);
    Connection conn;
    conn.setParams(Connection::paradoxParams(data));
    SetFirstRow(&conn, "beallit", {{"vanbelep", "N"}});
}
