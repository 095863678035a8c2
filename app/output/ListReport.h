// What the list reports share: the page header (heading, the caller's
// subtitles, the owner's details at the right, the column captions), the
// common page footer, captions printed before a value, and the end of every
// print routine (preview, or the printer at once).
#pragma once

#include <QString>

#include <vector>

#include "report/Report.h"

class Connection;
class QWidget;

namespace output {

// The user's own business as the letterhead shows it: the first row of
// table tulajdonos; empty texts when it has no row.
struct OwnerDetails {
    QString name;
    QString cityLine;  // postal code + ", " + city, each blank taken as empty
    QString address;
    QString phone;
};
OwnerDetails ReadOwnerDetails(Connection* db);

struct Caption {
    double left;   // mm
    double width;  // mm
    QString text;
};

struct Subtitles {
    bool shown = false;  // the report has subtitle lines at all
    QString first;       // the list's order, "ügyfél szerint"
    bool filtered = false;  // prints "Szűrt adatok" under it
};

// The program line of the footer: "Nyilvex V4.1.0.180".
QString ProgramLine();

// Sets the page header of a list report. Without captions the band ends
// under the owner's details.
void SetListHeader(report::Report& r, const OwnerDetails& owner, const Subtitles& subtitles,
                   const std::vector<Caption>& captions);
// Sets the common page footer: `programLine` top left, date and time top
// right, the title under it, "oldal: " and the page number, the maker's web
// address and the report code, in Courier New of `size` points.
void SetListFooter(report::Report& r, const QString& programLine, double size = 8);

// An 8 pt italic caption and a value after it on one line of a band; the
// value's box is returned for its font or alignment.
report::Box& CaptionedField(report::Band& band, double left, double top, double captionWidth, double valueWidth,
                            const QString& caption, const QString& field, int style = report::Plain);

// The silver rule under every row, at the foot of the detail band (set its
// height first).
void RowRule(report::Report& r);

// Shows the report in the print preview, or sends it to the default printer
// when `print` is set; without a printer the user is told so.
void PreviewOrPrint(report::Report& r, bool print, QWidget* owner);

}  // namespace output
