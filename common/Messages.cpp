#include "Messages.h"

#include "Interaction.h"

bool AskYesNo(const QString& text, const QString& title, QWidget* owner)
{
    ActiveWindowKeeper keep(owner);
    return interaction().askYesNo(owner, title, text);
}

void ShowError(const QString& text, QWidget* owner)
{
    ActiveWindowKeeper keep(owner);
    interaction().message(owner, Interaction::MessageKind::Error, QStringLiteral("Hiba"), text);
}

void ShowInfo(const QString& text, QWidget* owner)
{
    interaction().message(owner, Interaction::MessageKind::Information,
                          QStringLiteral("Üzenet"), text);
}

bool AskDeleteRow(QWidget* owner)
{
    return AskYesNo(QStringLiteral("Valóban töröljem a sort?"), QStringLiteral("Megerősítés"), owner);
}

void ShowNoRight(QWidget* owner)
{
    ShowError(QStringLiteral("Nincs jogosultság a művelethez."), owner);
}

void ShowNoPrinter(QWidget* owner)
{
    ShowError(QStringLiteral("Nincs telepített nyomtató, a nyomtatás nem lehetséges. "
                             "A nyomtatási képből PDF fájlba mentheti a listát."),
              owner);
}

void ShowPrintFailed(QWidget* owner)
{
    ShowError(QStringLiteral("A nyomtatás nem sikerült: a nyomtató nem fogadta a lapokat."), owner);
}

void ShowRefusedInput(const QString& reason, QWidget* owner)
{
    ShowError(QStringLiteral("Hiányos, vagy hibás adatmegadás\n") + reason, owner);
}
