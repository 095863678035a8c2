// IniFile: a settings file in the plain INI form ("[Section]", "Key=Value"),
// read whole, changed in memory and written back in the same order.
//
// Sections and keys are found without regard to letter case; a new key goes
// to the end of its section, a new section to the end of the file; lines the
// reader does not understand are kept. Values are plain text (UTF-8), never
// quoted or escaped. A value that cannot be read as the type asked for gives
// the caller's default, as a missing one does.
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class IniFile {
public:
    explicit IniFile(QString path);

    // Reads the file; a missing or unreadable file is an empty one.
    void load();
    // Writes the file whole; false when it cannot be written.
    bool save() const;

    const QString& path() const { return path_; }

    std::optional<QString> value(const QString& section, const QString& key) const;
    QString readString(const QString& section, const QString& key, const QString& def) const;
    int readInteger(const QString& section, const QString& key, int def) const;
    // Any integer: non-zero is true.
    bool readBool(const QString& section, const QString& key, bool def) const;
    // In the form "yyyy.MM.dd.".
    QDate readDate(const QString& section, const QString& key, const QDate& def) const;

    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, int value);
    void writeBool(const QString& section, const QString& key, bool value);  // "1" / "0"
    void writeDate(const QString& section, const QString& key, const QDate& value);

    QStringList sections() const;
    QStringList keys(const QString& section) const;

    static QString dateText(const QDate& date);
    static QDate parseDate(const QString& text);  // null QDate when unreadable

private:
    struct Line {
        QString key;    // empty for comments, blank and unparsed lines
        QString value;  // the whole line when key is empty
    };
    struct Section {
        QString name;
        std::vector<Line> lines;
    };

    const Section* findSection(const QString& name) const;

    QString path_;
    std::vector<Line> preamble_;  // lines before the first section
    std::vector<Section> sections_;
};
