#include "Messages.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

#include "Interaction.h"

namespace {

// Gives the focus back to the window that was active when the box opened.
class ActiveWindowKeeper {
public:
    ActiveWindowKeeper() : window_(QApplication::activeWindow()) {}
    ~ActiveWindowKeeper()
    {
        if (window_ && window_->isVisible()) window_->activateWindow();
    }

private:
    QPointer<QWidget> window_;
};

}  // namespace

bool AskYesNo(const QString& text, const QString& title, QWidget* owner)
{
    ActiveWindowKeeper keep;
    return interaction().askYesNo(owner, title, text);
}

void ShowError(const QString& text, QWidget* owner)
{
    ActiveWindowKeeper keep;
    interaction().message(owner, Interaction::MessageKind::Error, QStringLiteral("Hiba"), text);
}

void ShowInfo(const QString& text, QWidget* owner)
{
    interaction().message(owner, Interaction::MessageKind::Information,
                          QStringLiteral("Üzenet"), text);
}
