#include "ExportFile.h"

#include <QDir>
#include <QFileInfo>

#include "common/DataSet.h"
#include "engine/Codepage.h"

namespace {

constexpr qsizetype kFlushSize = 1 << 16;

}  // namespace

ExportFile::ExportFile(const QString& fileName, Encoding encoding) : file_(fileName), encoding_(encoding)
{
    if (!file_.open(QIODevice::WriteOnly)) fail("Nem sikerült létrehozni a fájlt: " + fileName);
    if (encoding_ == Encoding::Utf8) buffer_.append("\xEF\xBB\xBF");
}

void ExportFile::writeLine(const QString& line)
{
    if (encoding_ == Encoding::Utf8) {
        buffer_.append(line.toUtf8());
    } else {
        auto bytes = engine::utf8ToCp1250(line.toStdString());
        if (!bytes.isOk()) throw DbError(QString::fromStdString(bytes.status().message()), bytes.status().code());
        buffer_.append(bytes->data(), qsizetype(bytes->size()));
    }
    buffer_.append("\r\n");
    if (buffer_.size() >= kFlushSize) flushBuffer();
}

void ExportFile::commit()
{
    flushBuffer();
    if (!file_.commit()) fail("Nem sikerült a fájl mentése: " + file_.fileName());
}

void ExportFile::flushBuffer()
{
    if (file_.write(buffer_) != buffer_.size()) fail("Nem sikerült írni a fájlba: " + file_.fileName());
    buffer_.clear();
}

void ExportFile::fail(const QString& what)
{
    const QString reason = file_.errorString();
    file_.cancelWriting();
    throw DbError(reason.isEmpty() ? what : what + " (" + reason + ")");
}

QString ExportPath(const QString& fileName)
{
    if (fileName.contains('/')) return fileName;
    const QString folder = WritableFolderOr(QDir::currentPath());
    return folder == QDir::currentPath() ? fileName : QDir(folder).filePath(fileName);
}

QString WritableFolderOr(const QString& folder)
{
    const QFileInfo info(folder);
    if (info.isDir() && info.isWritable()) return folder;
    return QDir::homePath();
}

void CheckRowsStillValid(const DataSet& ds)
{
    if (ds.isOutdated())
        throw DbError("A lista adatait az export közben egy másik program megváltoztatta; indítsa újra az exportot.");
}
