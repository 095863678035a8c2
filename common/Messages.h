// The program's three message boxes. They go through the interaction seam
// (Interaction.h), so tests answer them.
//
// AskYesNo and ShowError give the focus back to the window that was active
// before the box; ShowInfo leaves it where the box left it.
#pragma once

#include <QString>

class QWidget;

// Question icon, buttons "Igen" and "Nem"; true when "Igen" was chosen.
bool AskYesNo(const QString& text, const QString& title, QWidget* owner = nullptr);

// Title "Hiba", error icon, one "OK" button.
void ShowError(const QString& text, QWidget* owner = nullptr);

// Title "Üzenet", information icon, one "OK" button.
void ShowInfo(const QString& text, QWidget* owner = nullptr);

// The question every delete asks before it deletes: "Valóban töröljem a
// sort?", title "Megerősítés". True when "Igen" was chosen.
bool AskDeleteRow(QWidget* owner = nullptr);

// What a command tells a user who lacks the right it needs.
void ShowNoRight(QWidget* owner = nullptr);

// What printing tells a user whose machine has no printer installed.
void ShowNoPrinter(QWidget* owner = nullptr);

// What printing tells a user whose printer did not take the pages.
void ShowPrintFailed(QWidget* owner = nullptr);

// A row the database refused to store: "Hiányos, vagy hibás adatmegadás",
// a line break and the database's own reason.
void ShowRefusedInput(const QString& reason, QWidget* owner = nullptr);
