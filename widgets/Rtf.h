// Rtf: Rich Text Format over QTextDocument, for the form-letter templates
// (formatted memos) and the files the letter editor opens and saves.
//
// WriteRtf writes Windows-1250 RTF (\ansicpg1250, every font \fcharset238):
// letters of the code page as \'xx, any other character as \uN with a "?"
// for readers that do not know \u. ReadRtf takes what common word
// processors write: font and colour tables, bold, italic, underline, strike,
// sizes, colours, super- and subscript, alignment, indents, bullets and
// numbered lists (\pn and \ls), tabs and line breaks, \'xx decoded by the
// character set of the font in use, \uN with \ucN, and it skips the
// destinations it does not know ({\*...}, pictures, headers, \bin data).
// Malformed input never fails: what can be read is read.
#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;

// True when `data` starts (after white space) with "{\rtf".
bool IsRtf(const QByteArray& data);

// Replaces the content of `doc` with the RTF in `rtf`.
void ReadRtf(const QByteArray& rtf, QTextDocument& doc);

// The content of `doc` as RTF; pure ASCII.
QByteArray WriteRtf(const QTextDocument& doc);

// `text` as RTF that any reader shows exactly as written, whatever font
// and character set are in force where it is put: "\", "{" and "}"
// escaped, a line break (CR LF, LF or CR) a \line, tabs \tab, every
// character beyond ASCII as \uN with its Windows-1250 byte (or "?") as the
// fallback, the whole in a group of its own when it needs \u.
QByteArray RtfPlainText(const QString& text);
