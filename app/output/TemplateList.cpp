#include "TemplateList.h"

#include <QAction>
#include <QMenu>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/Main/Beall.h"
#include "app/records/RecordWindow.h"
#include "common/DataSet.h"
#include "common/Messages.h"
#include "widgets/DBGrid.h"
#include "widgets/MenuStyle.h"

TemplateListWindow::TemplateListWindow(const char* formName, const QString& caption, const QString& table,
                                       const QString& deleteCaption, const QSize& size, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(formName);
    setWindowTitle(caption);
    resize(size);

    Tbl = new TableDataSet(Connection::byName(DatabaseAlias), this);
    Tbl->setTableName(table);

    aUj = MakeAction(this, "aUj", "Új sor", Qt::Key_Insert);
    aSzerkeszt = MakeAction(this, "aSzerkeszt", "Szerkeszt", Qt::Key_F2);
    aTorol = MakeAction(this, "aTorol", deleteCaption, QKeySequence(Qt::CTRL | Qt::Key_Delete), QIcon(),
                        "Sor törlése");
    aBezar = MakeAction(this, "aBezar", "Bezár", QKeySequence());  // Esc closes the dialog
    connect(aUj, &QAction::triggered, this, &TemplateListWindow::aUjExecute);
    connect(aSzerkeszt, &QAction::triggered, this, &TemplateListWindow::aSzerkesztExecute);
    connect(aTorol, &QAction::triggered, this, &TemplateListWindow::aTorolExecute);
    connect(aBezar, &QAction::triggered, this, &QDialog::reject);

    ToolBar1 = new QToolBar(this);
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
    PopupMenu1 = new QMenu(this);

    DBGrid1 = ListGrid(this, Tbl, PopupMenu1);

    column_ = new QVBoxLayout(this);
    column_->setContentsMargins(0, 0, 0, 0);
    column_->setSpacing(0);
    column_->addWidget(ToolBar1);
    column_->addWidget(DBGrid1, 1);
}

void TemplateListWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    SetMenuStyle(this);
    if (!Tbl->isActive()) Tbl->open();
    DBGrid1->setFocus();
}

bool TemplateListWindow::mayChange()
{
    if (Beall.referenceRight) return true;
    ShowNoRight(this);
    return false;
}

void TemplateListWindow::aUjExecute()
{
    if (!mayChange()) return;
    Tbl->append();
    fillNewRow();
    runEditor();
}

void TemplateListWindow::aSzerkesztExecute()
{
    if (!mayChange()) return;
    Tbl->edit();
    runEditor();
}

void TemplateListWindow::aTorolExecute()
{
    if (!mayChange() || Tbl->isEmpty() || !AskDeleteRow(this)) return;
    Tbl->remove();
    Tbl->flushBuffers();
}
