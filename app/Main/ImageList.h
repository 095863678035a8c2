// The main window's picture list: 46 pictures of 16 x 16 pixels, drawn in
// code, for the commands and for the grid markers. One set of shapes and
// colours so that the tool bars read as one family.
#pragma once

#include <QPixmap>

enum class Pic {
    Empty,         // fully transparent: a marker cell that shows only its background
    Reminder,      // yellow warning triangle with "!"
    Alarm,         // red alarm clock: an overdue deadline
    New,
    Edit,
    Delete,
    Print,
    Preview,
    Excel,
    Html,
    Close,
    Users,
    Sql,
    Archive,
    Settings,
    Help,
    Info,
    Web,
    Mail,
    News,
    Newsletter,
    Search,
    SearchDetails,
    Keyword,
    Filter,
    NameDays,
    Companies,
    Types,
    Labels,
    LabelPrint,
    Document,
    Agents,
    Note,
    NoteNew,
    ListSimple,
    ListDetails,
    PrintNotes,
    Customers,
    Tasks,
    Products,
    TaskBrowser,
    FormLetter,
    JumpToCompany,
    Notification,
    Envelope,
    Registered,
};

inline constexpr int PictureCount = int(Pic::Registered) + 1;

// The picture, made once.
const QPixmap& Picture(Pic pic);
