#include "KorlevelMerge.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryFile>

#include "common/DataSet.h"
#include "common/Settings.h"
#include "widgets/Rtf.h"

namespace {

// Placeholder names are field names: short, one line, no brackets.
constexpr qsizetype kLongestName = 64;

bool writable(const QString& folder)
{
    if (!QDir().mkpath(folder)) return false;
    QTemporaryFile probe(folder + "/probe-XXXXXX");
    return probe.open();
}

}  // namespace

QByteArray FillPlaceholders(const QByteArray& rtf,
                            const std::function<std::optional<QString>(const QString& name)>& valueOf)
{
    QByteArray out;
    out.reserve(rtf.size());
    qsizetype i = 0;
    while (i < rtf.size()) {
        if (rtf[i] == '[') {
            const qsizetype close = rtf.indexOf(']', i + 1);
            if (close > i + 1 && close - i - 1 <= kLongestName) {
                const std::optional<QString> value = valueOf(QString::fromLatin1(rtf.mid(i + 1, close - i - 1)));
                if (value) {
                    out += RtfPlainText(*value);
                    i = close + 1;
                    continue;
                }
            }
        }
        out += rtf[i];
        ++i;
    }
    return out;
}

QByteArray MergeRow(const QByteArray& rtf, const DataSet& ds, int row)
{
    QHash<QString, int> byName;
    for (const auto& f : ds.fields()) byName.insert(f->fieldName().toLower(), f->index());
    return FillPlaceholders(rtf, [&](const QString& name) -> std::optional<QString> {
        const auto it = byName.find(name.toLower());
        if (it == byName.end()) return std::nullopt;
        const engine::FieldType type = ds.fields()[size_t(*it)]->dataType();
        if (type == engine::FieldType::Memo || type == engine::FieldType::FmtMemo)
            return ds.valueAt(row, *it).toString();
        return ds.displayTextAt(row, *it);
    });
}

QString FormLetterWorkFolder()
{
    for (const QString& base : {ProgramFolder(), SettingsFolder()}) {
        const QString folder = base + "/Temp";
        if (writable(folder)) return folder;
    }
    return QString();
}
