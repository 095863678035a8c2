// Tfrm_Megj ("Csatolt dokumentumok"): the files attached to one owner. Only
// the path is stored, with a short description and the date of attaching;
// "Megnyit" (or a click on the path line) hands the file to the desktop's
// open operation. A file dropped on the window from the desktop starts a
// new entry with its path filled in.
#pragma once

#include "RecordWindow.h"

class DBText;

class Tfrm_Megj : public OwnerListWindow {
    Q_OBJECT
public:
    Tfrm_Megj(int ownerKey, int ownerKind, const QString& title, QWidget* parent = nullptr);

    DBText* DBText1;  // the selected entry's full path
    QAction* aMegnyit;

    // "Új dok.", with the path already chosen when not empty.
    void newEntry(const QString& path = QString());

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private slots:
    void aSzerkesztExecute();
    void aTorolExecute();
    void aMegnyitExecute();
};

// The documents window of an owner (kind: 0 customer, 1 task, 2 product,
// 3 company), modal; `title` names the owner in the title bar.
void ShowDocuments(QWidget* owner, int ownerKey, int ownerKind, const QString& title);

// Opens an attached document with the program the desktop has for its type.
// It is only ever opened as a document, never started as a program, even
// when it carries the executable bit. A blank path does nothing; a path
// that cannot be reached here (missing, or written for a Windows machine:
// "C:\...", "\\server\...") is told in a message naming it.
void OpenDocument(QWidget* owner, const QString& path);
