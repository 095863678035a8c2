// ExportFile: the text file an export writes, a line at a time, every line
// (the last one too) ended by CR LF, in Windows-1250 or in UTF-8 with a
// byte-order mark (which spreadsheets need to tell UTF-8 apart).
//
// The text goes to a temporary file beside the target, which takes the
// target's name only when commit() succeeds: an export that fails or is
// abandoned leaves an earlier file of that name as it was. Every failure is
// a DbError (code IoError) whose message says what went wrong, in Hungarian,
// so an export catches one kind of error for reading and writing.
#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>

class ExportFile {
public:
    enum class Encoding { Windows1250, Utf8 };

    // Starts the file; throws DbError when it cannot be made.
    ExportFile(const QString& fileName, Encoding encoding);
    ExportFile(const ExportFile&) = delete;
    ExportFile& operator=(const ExportFile&) = delete;

    // A character outside Windows-1250 (in that encoding) throws DbError
    // naming it: it is never written as "?".
    void writeLine(const QString& line);
    // Puts the file in place of the target; throws DbError when that
    // fails (the target then stays as it was).
    void commit();

private:
    void flushBuffer();
    [[noreturn]] void fail(const QString& what);

    QSaveFile file_;
    Encoding encoding_;
    QByteArray buffer_;
};

class DataSet;

// Throws DbError when another program changed the rows of `ds` while they
// were being read: what was read may hold blanks for rows it could not read,
// and is not written.
void CheckRowsStillValid(const DataSet& ds);

// Where an export's file name leads: the name as it is, but a bare name goes
// to the user's home folder where the current folder cannot be written.
QString ExportPath(const QString& fileName);

// The folder a file dialog of an export starts in, given the folder the
// program would use: that folder where it exists and can be written, else
// the user's home folder.
QString WritableFolderOr(const QString& folder);
