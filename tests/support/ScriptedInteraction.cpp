#include "ScriptedInteraction.h"

#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

template <class T>
std::optional<T> take(std::deque<T>& queue, const char* what)
{
    if (queue.empty()) {
        ADD_FAILURE() << "no scripted answer for " << what;
        return std::nullopt;
    }
    T v = std::move(queue.front());
    queue.pop_front();
    return v;
}

}  // namespace

ScriptedInteraction::ScriptedInteraction() : before_(setInteraction(this)) {}

ScriptedInteraction::~ScriptedInteraction()
{
    setInteraction(before_);
    for (const auto& [name, scripts] : modal_)
        if (!scripts.empty())
            ADD_FAILURE() << "modal window never opened: " << name.toStdString();
}

void ScriptedInteraction::onModal(const QString& formName, Script script)
{
    modal_[formName].push_back(std::move(script));
}

QStringList ScriptedInteraction::messages() const
{
    QStringList out;
    for (const Asked& a : asked)
        if (a.kind == "question" || a.kind == "error" || a.kind == "info" || a.kind == "warning")
            out << a.text;
    return out;
}

QStringList ScriptedInteraction::errors() const
{
    QStringList out;
    for (const Asked& a : asked)
        if (a.kind == "error") out << a.text;
    return out;
}

std::vector<ScriptedInteraction::Asked> ScriptedInteraction::ofKind(const QString& kind) const
{
    std::vector<Asked> out;
    for (const Asked& a : asked)
        if (a.kind == kind) out.push_back(a);
    return out;
}

bool ScriptedInteraction::askYesNo(QWidget*, const QString& title, const QString& text)
{
    asked.push_back({"question", title, text});
    return take(yesNo, "a yes/no question").value_or(false);
}

void ScriptedInteraction::message(QWidget*, MessageKind kind, const QString& title,
                                  const QString& text)
{
    const char* k = kind == MessageKind::Error         ? "error"
                    : kind == MessageKind::Information ? "info"
                                                       : "warning";
    asked.push_back({k, title, text});
}

QString ScriptedInteraction::openFileName(QWidget*, const QString& caption,
                                          const QString& startPath, const QString&)
{
    asked.push_back({"open", caption, startPath});
    return take(files, "a file to open").value_or(QString());
}

QString ScriptedInteraction::saveFileName(QWidget*, const QString& caption,
                                          const QString& startPath, const QString& filter,
                                          const SaveOptions& options)
{
    asked.push_back({"save", caption, startPath});
    saveDialogs.push_back({filter, options});
    QString name = take(files, "a file to save").value_or(QString());
    // As the real dialog does with a name typed without an extension.
    if (!name.isEmpty() && !options.defaultSuffix.isEmpty() && QFileInfo(name).suffix().isEmpty())
        name += "." + options.defaultSuffix;
    return name;
}

QString ScriptedInteraction::existingFolder(QWidget*, const QString& caption,
                                            const QString& startFolder)
{
    asked.push_back({"folder", caption, startFolder});
    return take(folders, "a folder").value_or(QString());
}

std::optional<QColor> ScriptedInteraction::chooseColor(QWidget*, const QColor& initial)
{
    asked.push_back({"colour", QString(), initial.name()});
    return take(colours, "a colour").value_or(std::nullopt);
}

std::optional<QFont> ScriptedInteraction::chooseFont(QWidget*, const QFont& initial)
{
    asked.push_back({"font", QString(), initial.toString()});
    return take(fonts, "a font").value_or(std::nullopt);
}

void ScriptedInteraction::printPreview(QWidget*, PrintDocument& doc)
{
    asked.push_back({"preview", doc.title(), QString()});
    if (onPages) onPages(doc);
}

bool ScriptedInteraction::print(QWidget*, PrintDocument& doc)
{
    asked.push_back({"print", doc.title(), QString()});
    if (!printerInstalled) return false;
    if (onPages) onPages(doc);
    return true;
}

bool ScriptedInteraction::openWithShell(const QString& target, const QString& workingFolder)
{
    asked.push_back({"shell", workingFolder, target});
    return shellSucceeds;
}

int ScriptedInteraction::runModal(QDialog& dialog)
{
    const QString name = dialog.objectName();
    asked.push_back({"modal", name, dialog.windowTitle()});
    auto script = take(modal_[name], ("the modal window " + name.toStdString()).c_str());
    if (!script) return QDialog::Rejected;
    dialog.setResult(QDialog::Rejected);
    dialog.show();
    (*script)(dialog);
    if (dialog.isVisible()) {
        ADD_FAILURE() << "the script left " << name.toStdString() << " open";
        dialog.reject();
    }
    return dialog.result();
}
