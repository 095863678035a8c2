#include "IniFile.h"

#include <QFile>
#include <QSaveFile>

namespace {

const QString dateFormat = QStringLiteral("yyyy.MM.dd.");

bool same(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

}  // namespace

IniFile::IniFile(QString path) : path_(std::move(path)) {}

void IniFile::load()
{
    preamble_.clear();
    sections_.clear();
    QFile f(path_);
    if (!f.open(QIODevice::ReadOnly)) return;
    const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        QString raw = lines[i];
        if (raw.endsWith(QLatin1Char('\r'))) raw.chop(1);
        if (i == lines.size() - 1 && raw.isEmpty()) break;
        const QString t = raw.trimmed();
        if (t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']'))) {
            sections_.push_back({t.mid(1, t.size() - 2).trimmed(), {}});
            continue;
        }
        Line line;
        const qsizetype eq = raw.indexOf(QLatin1Char('='));
        if (eq > 0 && !t.startsWith(QLatin1Char(';'))) {
            line.key = raw.left(eq).trimmed();
            line.value = raw.mid(eq + 1).trimmed();
        } else {
            line.value = raw;
        }
        (sections_.empty() ? preamble_ : sections_.back().lines).push_back(line);
    }
}

bool IniFile::save() const
{
    QString out;
    for (const Line& l : preamble_) out += (l.key.isEmpty() ? l.value : l.key + '=' + l.value) + "\r\n";
    for (const Section& s : sections_) {
        out += '[' + s.name + "]\r\n";
        for (const Line& l : s.lines)
            out += (l.key.isEmpty() ? l.value : l.key + '=' + l.value) + "\r\n";
    }
    QSaveFile f(path_);
    if (!f.open(QIODevice::WriteOnly)) return false;
    f.write(out.toUtf8());
    return f.commit();
}

const IniFile::Section* IniFile::findSection(const QString& name) const
{
    for (const Section& s : sections_)
        if (same(s.name, name)) return &s;
    return nullptr;
}

std::optional<QString> IniFile::value(const QString& section, const QString& key) const
{
    const Section* s = findSection(section);
    if (!s) return std::nullopt;
    for (const Line& l : s->lines)
        if (!l.key.isEmpty() && same(l.key, key)) return l.value;
    return std::nullopt;
}

QString IniFile::readString(const QString& section, const QString& key, const QString& def) const
{
    return value(section, key).value_or(def);
}

int IniFile::readInteger(const QString& section, const QString& key, int def) const
{
    auto v = value(section, key);
    if (!v) return def;
    bool ok = false;
    int i = v->toInt(&ok);
    return ok ? i : def;
}

bool IniFile::readBool(const QString& section, const QString& key, bool def) const
{
    auto v = value(section, key);
    if (!v) return def;
    bool ok = false;
    int i = v->toInt(&ok);
    return ok ? i != 0 : def;
}

QDate IniFile::readDate(const QString& section, const QString& key, const QDate& def) const
{
    auto v = value(section, key);
    if (!v) return def;
    QDate d = parseDate(*v);
    return d.isValid() ? d : def;
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value)
{
    Section* s = const_cast<Section*>(findSection(section));
    if (!s) {
        sections_.push_back({section, {}});
        s = &sections_.back();
    }
    for (Line& l : s->lines)
        if (!l.key.isEmpty() && same(l.key, key)) {
            l.value = value;
            return;
        }
    // After the last key, before any trailing blank lines.
    auto at = s->lines.end();
    while (at != s->lines.begin() && (at - 1)->key.isEmpty() && (at - 1)->value.trimmed().isEmpty())
        --at;
    s->lines.insert(at, Line{key, value});
}

void IniFile::writeInteger(const QString& section, const QString& key, int value)
{
    writeString(section, key, QString::number(value));
}

void IniFile::writeBool(const QString& section, const QString& key, bool value)
{
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void IniFile::writeDate(const QString& section, const QString& key, const QDate& value)
{
    writeString(section, key, dateText(value));
}

QStringList IniFile::sections() const
{
    QStringList out;
    for (const Section& s : sections_) out << s.name;
    return out;
}

QStringList IniFile::keys(const QString& section) const
{
    QStringList out;
    if (const Section* s = findSection(section))
        for (const Line& l : s->lines)
            if (!l.key.isEmpty()) out << l.key;
    return out;
}

QString IniFile::dateText(const QDate& date)
{
    return date.toString(dateFormat);
}

QDate IniFile::parseDate(const QString& text)
{
    return QDate::fromString(text.trimmed(), dateFormat);
}
