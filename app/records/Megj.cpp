#include "Megj.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QRegularExpression>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include "Megj_Szerkeszt.h"
#include "app/Main/ImageList.h"
#include "RowEdit.h"
#include "common/DataSet.h"
#include "common/Interaction.h"
#include "common/Messages.h"
#include "common/Settings.h"
#include "widgets/DBControls.h"
#include "widgets/DBGrid.h"

namespace {

QString documentsFilter(int ownerKey, int ownerKind)
{
    return "(tipus=" + QString::number(ownerKind) + ") and (ugyfel=" + QString::number(ownerKey) + ")";
}

// The first local file among dropped items.
QString droppedFile(const QMimeData* mime)
{
    if (!mime || !mime->hasUrls()) return QString();
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile()) return url.toLocalFile();
    return QString();
}

}  // namespace

Tfrm_Megj::Tfrm_Megj(int ownerKey, int ownerKind, const QString& title, QWidget* parent)
    : OwnerListWindow("frm_Megj", "Csatolt dokumentumok", "megj.DB", documentsFilter(ownerKey, ownerKind), ownerKey,
                      ownerKind, parent)
{
    Panel1->setText("   " + title);
    aUj->setText("Új dok.");
    aUj->setToolTip("Új dokumentum");
    aMegnyit = MakeAction(this, "aMegnyit", "Megnyit", Qt::Key_F5, Picture(Pic::Document));
    connect(aUj, &QAction::triggered, this, [this] { newEntry(); });
    connect(aSzerkeszt, &QAction::triggered, this, &Tfrm_Megj::aSzerkesztExecute);
    connect(aTorol, &QAction::triggered, this, &Tfrm_Megj::aTorolExecute);
    connect(aMegnyit, &QAction::triggered, this, &Tfrm_Megj::aMegnyitExecute);

    ToolBar1->addActions({aUj, aSzerkeszt, aTorol});
    ToolBar1->addSeparator();
    ToolBar1->addAction(aMegnyit);
    ToolBar1->addSeparator();
    ToolBar1->addAction(aBezar);
    PopupMenu1->addActions({aUj, aSzerkeszt, aTorol});
    PopupMenu1->addSeparator();
    PopupMenu1->addAction(aMegnyit);
    PopupMenu1->addSeparator();
    PopupMenu1->addAction(aBezar);

    DBGrid1->addColumn("doknev_rovid", "leírás", 330);
    DBGrid1->addColumn("datum", "dátum", 90);
    body()->addWidget(DBGrid1);

    DBText1 = new DBText(this);
    DBText1->setObjectName("DBText1");
    DBText1->setDataSet(Tbl);
    DBText1->setDataField("doknev");
    DBText1->setCursor(Qt::PointingHandCursor);
    DBText1->setContentsMargins(6, 4, 6, 4);
    DBText1->setToolTip("Megnyit");
    DBText1->installEventFilter(this);
    body()->addWidget(DBText1);

    setAcceptDrops(true);
}

void Tfrm_Megj::newEntry(const QString& path)
{
    appendOwnedRow();
    if (!path.isEmpty() && !SetDocumentPath(Tbl, path, this)) {
        Tbl->cancel();
        return;
    }
    Tfrm_Megj_Szerkeszt editor(Tbl, this);
    RunRowEditor(editor, *Tbl);
}

void Tfrm_Megj::aSzerkesztExecute()
{
    if (!editCurrentRow()) return;
    Tfrm_Megj_Szerkeszt editor(Tbl, this);
    RunRowEditor(editor, *Tbl);
}

void Tfrm_Megj::aTorolExecute()
{
    if (!hasRow() || Tbl->fieldByName("doknev")->asString().isEmpty()) return;
    if (AskYesNo("Valóban töröljem a bejegyzést?", "Megerősítés", this)) removeCurrentRow();
}

void Tfrm_Megj::aMegnyitExecute()
{
    if (hasRow()) OpenDocument(this, Tbl->fieldByName("doknev")->asString());
}

bool Tfrm_Megj::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == DBText1 && event->type() == QEvent::MouseButtonRelease) {
        aMegnyitExecute();
        return true;
    }
    return OwnerListWindow::eventFilter(watched, event);
}

void Tfrm_Megj::dragEnterEvent(QDragEnterEvent* event)
{
    if (!droppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void Tfrm_Megj::dropEvent(QDropEvent* event)
{
    const QString path = droppedFile(event->mimeData());
    if (path.isEmpty()) return;
    event->acceptProposedAction();
    newEntry(path);
}

void ShowDocuments(QWidget* owner, int ownerKey, int ownerKind, const QString& title)
{
    Tfrm_Megj w(ownerKey, ownerKind, title, owner);
    interaction().runModal(w);
}

void OpenDocument(QWidget* owner, const QString& path)
{
    if (path.isEmpty()) return;
    static const QRegularExpression windowsPath(R"(^([A-Za-z]:[\\/]|\\\\))");
    if (windowsPath.match(path).hasMatch()) {
        ShowError("A dokumentum egy Windows gépen megadott helyre mutat, itt nem érhető el:\n" + path, owner);
        return;
    }
    const QFileInfo file(path);
    if (!file.exists()) {
        ShowError("A dokumentum nem található:\n" + path, owner);
        return;
    }
    // Handed over as a file address, which the desktop opens with the
    // program for its type: a program file is never started from here.
    const QString target = QUrl::fromLocalFile(file.absoluteFilePath()).toString();
    if (!interaction().openWithShell(target, ProgramFolder()))
        ShowError("Nem sikerült megnyitni: " + path, owner);
}
