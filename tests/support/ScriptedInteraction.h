// ScriptedInteraction: the user's side of every modal exchange, played from a
// script, for tests. While one is alive it is the installed Interaction.
//
// It records every question in `asked` (kind, title, text) and answers from
// the queues below, in order. A question without a scripted answer fails the
// running test and gets a "cancel" answer.
//
//     ScriptedInteraction user;
//     user.yesNo = {true};
//     user.onModal("frm_Login", [](QDialog& d) {
//         d.findChild<QLineEdit*>("edtFelhasznalo")->setText("rendszergazda");
//         d.findChild<QPushButton*>("btnOK")->click();
//     });
//     ... run the code under test ...
//     EXPECT_EQ(user.messages(), QStringList{"Hiba: ..."});
//
// A modal window is shown (not exec'd), its script fills its controls and
// presses its buttons, and its result is returned. A script that leaves the
// window open fails the test and the window is rejected.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "common/Interaction.h"
#include "common/PrintDocument.h"

class ScriptedInteraction : public Interaction {
public:
    struct Asked {
        QString kind;   // "question", "error", "info", "warning", "open", "save", "folder",
                        // "colour", "font", "preview", "print", "shell", "modal"
        QString title;  // the caption, or the form name of a modal window
        QString text;   // the message, the start path, or the shell's target
    };
    // What each save dialog was given besides its caption and start path.
    struct SaveAsked {
        QString filter;
        SaveOptions options;
    };
    using Script = std::function<void(QDialog&)>;

    ScriptedInteraction();
    ~ScriptedInteraction() override;

    std::vector<Asked> asked;
    std::vector<SaveAsked> saveDialogs;

    std::deque<bool> yesNo;
    std::deque<QString> files;    // open and save; "" cancels; a save gets the default suffix
    std::deque<QString> folders;  // "" cancels
    std::deque<std::optional<QColor>> colours;
    std::deque<std::optional<QFont>> fonts;
    bool printerInstalled = true;
    bool shellSucceeds = true;
    // Receives the documents of previews and prints (write them with
    // writePdf() to read them back).
    std::function<void(PrintDocument&)> onPages;

    // Adds a script for the next run of the modal window named `formName`.
    void onModal(const QString& formName, Script script);

    // The texts of every message box asked so far (questions, errors, infos), in order.
    QStringList messages() const;
    // Only the error boxes' texts.
    QStringList errors() const;
    // Everything asked of one kind.
    std::vector<Asked> ofKind(const QString& kind) const;

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

private:
    Interaction* before_;
    std::map<QString, std::deque<Script>> modal_;
};
