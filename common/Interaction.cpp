#include "Interaction.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QHeaderView>
#include <QMessageBox>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRegularExpression>
#include <QTreeView>
#include <QUrl>

#include "Messages.h"
#include "PrintDocument.h"
#include "PrintPreview.h"

namespace {

DesktopInteraction& desktop()
{
    static DesktopInteraction real;
    return real;
}

Interaction* installed = nullptr;

// A box owned by a window that is not shown (the main window while the
// program starts) would stand over that window's unseen place: it is
// centred on the screen instead.
QWidget* shownOwner(QWidget* owner)
{
    return owner && owner->isVisible() ? owner : nullptr;
}

// Runs a file dialog; the chosen path, or empty when cancelled. Qt's own
// dialog gives its size, type and date columns too little room for their
// Hungarian texts ("ZIP archívum", "2026. 12. 09. 9:54"): they get what they
// show, and the dialog some more width.
QString runFileDialog(QFileDialog& dialog)
{
    dialog.resize(dialog.sizeHint().expandedTo(QSize(760, 460)));
    if (auto* details = dialog.findChild<QTreeView*>()) {
        QHeaderView* header = details->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column = 1; column < header->count(); ++column)
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

}  // namespace

ActiveWindowKeeper::ActiveWindowKeeper(QWidget* owner)
    : window_(QApplication::activeWindow() ? QApplication::activeWindow() : owner ? owner->window() : nullptr)
{
}

ActiveWindowKeeper::~ActiveWindowKeeper()
{
    if (window_ && window_->isVisible()) window_->activateWindow();
}

QUrl shellUrl(const QString& target, const QString& workingFolder)
{
    const QString text = target.trimmed();
    if (text.isEmpty()) return {};
    // Two letters at least, so that a drive letter is no scheme,
    // and no digit after the colon, where a host name has its port.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.\\-]+:(?![0-9])"));
    if (scheme.match(text).hasMatch()) return QUrl(text);
    const QFileInfo file(QDir(workingFolder), text);
    if (file.exists()) return QUrl::fromLocalFile(file.absoluteFilePath());
    static const QRegularExpression mail(QStringLiteral("^[^@\\s/:]+@[^@\\s/:]+\\.[^@\\s/:]+$"));
    if (mail.match(text).hasMatch()) return QUrl(QStringLiteral("mailto:") + text);
    static const QRegularExpression host(
        QStringLiteral("^[A-Za-z0-9-]+(\\.[A-Za-z0-9-]+)+(:[0-9]+)?([/?#]\\S*)?$"));
    if (host.match(text).hasMatch()) return QUrl(QStringLiteral("http://") + text, QUrl::StrictMode);
    return {};
}

Interaction& interaction()
{
    return installed ? *installed : desktop();
}

Interaction* setInteraction(Interaction* replacement)
{
    Interaction* before = installed;
    installed = replacement;
    return before;
}

bool DesktopInteraction::askYesNo(QWidget* owner, const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, shownOwner(owner));
    QPushButton* yes = box.addButton(QStringLiteral("Igen"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("Nem"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

void DesktopInteraction::message(QWidget* owner, MessageKind kind, const QString& title,
                                 const QString& text)
{
    QMessageBox::Icon icon = kind == MessageKind::Error         ? QMessageBox::Critical
                             : kind == MessageKind::Information ? QMessageBox::Information
                                                                : QMessageBox::Warning;
    QMessageBox box(icon, title, text, QMessageBox::NoButton, shownOwner(owner));
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
}

QString DesktopInteraction::openFileName(QWidget* owner, const QString& caption,
                                         const QString& startPath, const QString& filter)
{
    ActiveWindowKeeper keep(owner);
    QFileDialog dialog(owner, caption, startPath, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return runFileDialog(dialog);
}

QString DesktopInteraction::saveFileName(QWidget* owner, const QString& caption,
                                         const QString& startPath, const QString& filter,
                                         const SaveOptions& options)
{
    ActiveWindowKeeper keep(owner);
    // A start path naming a file opens its folder with the name proposed.
    const QFileInfo start(startPath);
    const bool namesFile = !startPath.isEmpty() && !start.isDir();
    QFileDialog dialog(owner, caption, namesFile ? start.absolutePath() : startPath, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(options.defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.confirmOverwrite);
    if (namesFile)
        dialog.selectFile(start.fileName());
    return runFileDialog(dialog);
}

QString DesktopInteraction::existingFolder(QWidget* owner, const QString& caption,
                                           const QString& startFolder)
{
    ActiveWindowKeeper keep(owner);
    QFileDialog dialog(owner, caption, startFolder);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    return runFileDialog(dialog);
}

std::optional<QColor> DesktopInteraction::chooseColor(QWidget* owner, const QColor& initial)
{
    ActiveWindowKeeper keep(owner);
    QColor c = QColorDialog::getColor(initial, owner);
    if (!c.isValid()) return std::nullopt;
    return c;
}

std::optional<QFont> DesktopInteraction::chooseFont(QWidget* owner, const QFont& initial)
{
    ActiveWindowKeeper keep(owner);
    bool ok = false;
    QFont f = QFontDialog::getFont(&ok, initial, owner);
    if (!ok) return std::nullopt;
    return f;
}

void DesktopInteraction::printPreview(QWidget* owner, PrintDocument& doc)
{
    ActiveWindowKeeper keep(owner);
    PrintPreviewWindow preview(doc, owner);
    preview.exec();
}

bool DesktopInteraction::print(QWidget* owner, PrintDocument& doc)
{
    if (QPrinterInfo::defaultPrinter().isNull()) return false;
    QPrinter printer(QPrinter::HighResolution);
    preparePrinter(doc, printer);
    if (!printDocument(doc, printer)) ShowPrintFailed(owner);
    return true;
}

bool DesktopInteraction::openWithShell(const QString& target, const QString& workingFolder)
{
    const QUrl url = shellUrl(target, workingFolder);
    return url.isValid() && QDesktopServices::openUrl(url);
}

int DesktopInteraction::runModal(QDialog& dialog)
{
    ActiveWindowKeeper keep(dialog.parentWidget());
    return dialog.exec();
}
