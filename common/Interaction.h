// Interaction: the one door through which the program asks the user anything
// that a window cannot finish by itself.
//
// Every modal exchange goes through the installed Interaction: message boxes,
// file, folder, colour and font dialogs, print preview and printing, the
// desktop's open operation, and running any modal window (QDialog::exec).
// The program installs the real dialogs (installed by default); tests install
// a scripted responder (tests/support/ScriptedInteraction.h) that records what
// was asked and gives the scripted answers, so the rest of the code runs for
// real.
//
// How to use it from a window:
//
//     if (interaction().askYesNo(this, "Megerősítés", "Valóban töröljem a sort?")) ...
//     QString f = interaction().openFileName(this, "Megnyitás", folder, "SQL (*.sql)");
//     Tfrm_Valami dlg(this);              // objectName "frm_Valami"
//     if (interaction().runModal(dlg) == QDialog::Accepted) ...
//
// Never call QDialog::exec(), QMessageBox, QFileDialog, QColorDialog,
// QFontDialog, QPrintPreviewDialog, QPrintDialog or QDesktopServices directly:
// a test could not answer them. Prefer the message helpers of Messages.h
// (AskYesNo, ShowError, ShowInfo) over message() itself; they carry the
// program's titles.
//
// Modal windows are told apart in scripts by their objectName, the form name
// ("frm_Login"); give every dialog one.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QUrl>

#include <QPointer>

#include <optional>

class PrintDocument;
class QDialog;
class QWidget;

// Gives the keyboard back to the window that was active when it was made,
// once it goes out of scope (a modal window or box has closed). Where no
// window manager hands the focus back, the keys would otherwise go nowhere.
// When no window is active yet (one modal window right after another, before
// the first one's owner got the keyboard back), `owner`'s window is meant.
class ActiveWindowKeeper {
public:
    explicit ActiveWindowKeeper(QWidget* owner = nullptr);
    ~ActiveWindowKeeper();
    ActiveWindowKeeper(const ActiveWindowKeeper&) = delete;
    ActiveWindowKeeper& operator=(const ActiveWindowKeeper&) = delete;

private:
    QPointer<QWidget> window_;
};

// How a save dialog treats the typed name.
struct SaveOptions {
    QString defaultSuffix;         // added ("zip") when the typed name has no extension
    bool confirmOverwrite = true;  // ask before an existing file is chosen
};

class Interaction {
public:
    enum class MessageKind { Error, Information, Warning };

    virtual ~Interaction() = default;

    // Message boxes, owned by `owner` (may be null). The text is shown as
    // given, line breaks included.
    virtual bool askYesNo(QWidget* owner, const QString& title, const QString& text) = 0;
    virtual void message(QWidget* owner, MessageKind kind, const QString& title,
                         const QString& text) = 0;

    // File and folder choice. An empty result means the user cancelled.
    // `filter` is in Qt's form: "Szövegfájl (*.csv);;Minden fájl (*)".
    virtual QString openFileName(QWidget* owner, const QString& caption, const QString& startPath,
                                 const QString& filter) = 0;
    virtual QString saveFileName(QWidget* owner, const QString& caption, const QString& startPath,
                                 const QString& filter, const SaveOptions& options = {}) = 0;
    virtual QString existingFolder(QWidget* owner, const QString& caption,
                                   const QString& startFolder) = 0;

    // Colour and font choice; nullopt when cancelled.
    virtual std::optional<QColor> chooseColor(QWidget* owner, const QColor& initial) = 0;
    virtual std::optional<QFont> chooseFont(QWidget* owner, const QFont& initial) = 0;

    // The modal print preview of a document (PrintDocument.h: its pages,
    // paper and margins); the user may print it or save it as PDF from
    // there. Returns when the preview closes.
    virtual void printPreview(QWidget* owner, PrintDocument& doc) = 0;
    // Prints the document on the default printer without asking. Returns
    // false (and prints nothing) when no printer is installed; the caller
    // tells the user. A printer that refuses the pages is reported here.
    virtual bool print(QWidget* owner, PrintDocument& doc) = 0;

    // The desktop's open operation: the target, read by shellUrl(), is handed
    // to its associated program; nothing is ever started as a program itself.
    // Returns without waiting; false when the system could not open it.
    virtual bool openWithShell(const QString& target, const QString& workingFolder) = 0;

    // Runs a dialog modally (QDialog::exec) and returns its result code
    // (QDialog::Accepted or Rejected, or the code given to done()).
    virtual int runModal(QDialog& dialog) = 0;
};

// The installed interaction. The real one unless a test installed another.
Interaction& interaction();

// What a typed target means to the desktop: a text with a scheme ("https:",
// "mailto:") as it is; an existing file or folder (absolute, or under
// `workingFolder`) as a local file; an e-mail address as "mailto:"; "www.…"
// or a host name with an optional path as an "http:" address. Anything else
// gives an invalid URL.
QUrl shellUrl(const QString& target, const QString& workingFolder);

// Installs `replacement` (not owned; null puts the real one back). Returns
// the one installed before.
Interaction* setInteraction(Interaction* replacement);

// The real dialogs of the desktop. Every one but the message box gives the
// keyboard back to the window that was active before it (ActiveWindowKeeper);
// message boxes leave that to the helpers of Messages.h.
class DesktopInteraction : public Interaction {
public:
    bool askYesNo(QWidget* owner, const QString& title, const QString& text) override;
    void message(QWidget* owner, MessageKind kind, const QString& title,
                 const QString& text) override;
    QString openFileName(QWidget* owner, const QString& caption, const QString& startPath,
                         const QString& filter) override;
    QString saveFileName(QWidget* owner, const QString& caption, const QString& startPath,
                         const QString& filter, const SaveOptions& options = {}) override;
    QString existingFolder(QWidget* owner, const QString& caption,
                           const QString& startFolder) override;
    std::optional<QColor> chooseColor(QWidget* owner, const QColor& initial) override;
    std::optional<QFont> chooseFont(QWidget* owner, const QFont& initial) override;
    void printPreview(QWidget* owner, PrintDocument& doc) override;
    bool print(QWidget* owner, PrintDocument& doc) override;
    bool openWithShell(const QString& target, const QString& workingFolder) override;
    int runModal(QDialog& dialog) override;
};
