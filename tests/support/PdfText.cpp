#include "PdfText.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "common/PrintDocument.h"

namespace {

QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << " failed: " << p.readAllStandardError().toStdString();
        return QString();
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

}  // namespace

QString PdfFileText(const QString& pdfPath, bool layout)
{
    QStringList args;
    if (layout) args << "-layout";
    args << "-enc" << "UTF-8" << pdfPath << "-";
    return run("pdftotext", args);
}

QStringList PdfPages(PrintDocument& doc, bool layout)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("report.pdf");
    QString error;
    if (!writePdf(doc, path, &error)) {
        ADD_FAILURE() << error.toStdString();
        return {};
    }
    QStringList pages = PdfFileText(path, layout).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();
    return pages;
}

QStringList TextLines(const QString& page)
{
    QStringList out;
    for (const QString& line : page.split(QLatin1Char('\n'))) {
        QString l = line;
        while (!l.isEmpty() && l.back().isSpace()) l.chop(1);
        if (!l.isEmpty()) out << l;
    }
    return out;
}

QString PdfPageSize(const QString& pdfPath)
{
    const QString info = run("pdfinfo", {pdfPath});
    const QRegularExpression size(R"(Page size:\s+([\d.]+) x ([\d.]+) pts)");
    const auto m = size.match(info);
    if (!m.hasMatch()) return QString();
    return QString("%1 x %2").arg(qRound(m.captured(1).toDouble())).arg(qRound(m.captured(2).toDouble()));
}

QList<PdfWord> PdfWords(const QString& pdfPath)
{
    const QString html = run("pdftotext", {"-bbox", "-enc", "UTF-8", pdfPath, "-"});
    QList<PdfWord> words;
    int page = -1;
    const QRegularExpression tag(
        R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0).startsWith("<page")) {
            ++page;
            continue;
        }
        QString text = m.captured(5);
        text.replace("&amp;", "&").replace("&lt;", "<").replace("&gt;", ">").replace("&quot;", "\"");
        words.append({page, text, m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                      m.captured(4).toDouble()});
    }
    return words;
}
