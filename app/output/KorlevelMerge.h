// The form-letter merge: a template's placeholders "[field]" replaced by one
// row's values, on the RTF source, and the folder its working file goes to.
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

class DataSet;

// Replaces every "[name]" of `rtf` for which `valueOf(name)` gives a value,
// in one pass from left to right, so a value is never searched again (a
// "[Mobil]" typed into a note stays as typed). Values are written as RTF
// plain text (RtfPlainText): braces, backslashes, line breaks and letters
// beyond ASCII print as typed. Brackets around anything else stay as they are.
QByteArray FillPlaceholders(const QByteArray& rtf,
                            const std::function<std::optional<QString>(const QString& name)>& valueOf);

// `rtf` filled with the values of row `row` (0-based, among the rows the
// data set shows) of `ds`: the field names match without regard to letter
// case; a value is the field's display text (its display format applied),
// the whole text of a memo, the empty text for a blank field.
QByteArray MergeRow(const QByteArray& rtf, const DataSet& ds, int row);

// The folder for the merge's working file: the program folder's "Temp" when
// the program may write there, else the settings folder's "Temp" (made when
// missing). Empty when neither can be written.
QString FormLetterWorkFolder();
