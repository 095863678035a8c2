#include "ReadBack.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

#include "engine/Codepage.h"

namespace {

QJsonDocument runPython(const QString& script, const QStringList& args)
{
    QProcess p;
    p.start("python3", QStringList{"-c", script} + args);
    EXPECT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    return QJsonDocument::fromJson(p.readAllStandardOutput());
}

QList<QStringList> toRows(const QJsonArray& rows)
{
    QList<QStringList> out;
    for (const auto& r : rows) {
        QStringList cells;
        for (const auto& c : r.toArray()) cells << c.toString();
        out << cells;
    }
    return out;
}

}  // namespace

QByteArray ReadBytes(const QString& path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

QByteArray Cp1250(const QString& text)
{
    auto r = engine::utf8ToCp1250(text.toStdString());
    EXPECT_TRUE(r.isOk());
    return r.isOk() ? QByteArray::fromStdString(*r) : QByteArray();
}

QList<QList<QStringList>> CsvRows(const QList<CsvFile>& files)
{
    static const QString script = QStringLiteral(
        "import csv, json, sys\n"
        "out = []\n"
        "for path, delimiter, quote, encoding in json.loads(sys.argv[1]):\n"
        "    with open(path, newline='', encoding=encoding) as f:\n"
        "        out.append(list(csv.reader(f, delimiter=delimiter, quotechar=quote, doublequote=True)))\n"
        "print(json.dumps(out))\n");
    QJsonArray specs;
    for (const CsvFile& f : files)
        specs.append(QJsonArray{f.path, QString(f.delimiter), QString(f.quote.isNull() ? QChar('"') : f.quote),
                                f.encoding});
    QList<QList<QStringList>> out;
    for (const auto& rows : runPython(script, {QJsonDocument(specs).toJson(QJsonDocument::Compact)}).array())
        out << toRows(rows.toArray());
    return out;
}

HtmlPage ParseHtml(const QString& path)
{
    static const QString script = QStringLiteral(
        "import json, sys\n"
        "from html.parser import HTMLParser\n"
        "class P(HTMLParser):\n"
        "    def __init__(self):\n"
        "        super().__init__(convert_charrefs=True)\n"
        "        self.rows, self.title, self.cell, self.where = [], '', None, None\n"
        "    def handle_starttag(self, tag, attrs):\n"
        "        if tag == 'tr': self.rows.append([])\n"
        "        elif tag == 'td': self.cell = ''\n"
        "        elif tag == 'title': self.where = 'title'\n"
        "    def handle_endtag(self, tag):\n"
        "        if tag == 'td': self.rows[-1].append(self.cell); self.cell = None\n"
        "        elif tag == 'title': self.where = None\n"
        "    def handle_data(self, data):\n"
        "        if self.cell is not None: self.cell += data\n"
        "        elif self.where == 'title': self.title += data\n"
        "p = P()\n"
        "p.feed(open(sys.argv[1], encoding='cp1250', newline='').read())\n"
        "print(json.dumps({'title': p.title, 'rows': p.rows}))\n");
    const QJsonObject o = runPython(script, {path}).object();
    return {o["title"].toString(), toRows(o["rows"].toArray())};
}
