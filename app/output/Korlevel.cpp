#include "Korlevel.h"

#include <QAction>
#include <QEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "KorlevelMerge.h"
#include "Korlevel_Szerkeszt.h"
#include "rptNyomtat.h"
#include "app/Main/Beall.h"
#include "common/DataSet.h"
#include "common/Interaction.h"
#include "common/Messages.h"
#include "common/Settings.h"
#include "widgets/DBGrid.h"
#include "widgets/MenuStyle.h"

namespace {

QAction* makeAction(QWidget* owner, const char* name, const QString& text, const QString& hint,
                    const QKeySequence& key)
{
    auto* a = new QAction(text, owner);
    a->setObjectName(name);
    a->setToolTip(hint.isEmpty() ? text : hint);
    a->setShortcut(key);
    a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    owner->addAction(a);
    return a;
}

}  // namespace

Tfrm_Korlevel::Tfrm_Korlevel(int tab, DataSet* source, QWidget* parent)
    : QDialog(parent), tab_(tab), source_(source)
{
    setObjectName("frm_Korlevel");
    setWindowTitle("Körlevelek");
    resize(460, 340);

    aUj = makeAction(this, "aUj", "Új sor", "Új sor", Qt::Key_Insert);
    aSzerkeszt = makeAction(this, "aSzerkeszt", "Szerkeszt", "Szerkeszt", Qt::Key_F2);
    aTorol = makeAction(this, "aTorol", "Töröl", "Sor törlése", QKeySequence(Qt::CTRL | Qt::Key_Delete));
    aKeres = makeAction(this, "aKeres", "Kereső", QString(), QKeySequence(Qt::CTRL | Qt::Key_F));
    aNyomtat = makeAction(this, "aNyomtat", "Összefésül", "Összefésülés nyomtatóra (mindig új oldalra)",
                          QKeySequence(Qt::CTRL | Qt::Key_P));
    aEgybeAzEgesz = makeAction(this, "aEgybeAzEgesz", "Egybe az egész", "Egybe az egész",
                               QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    aBezar = makeAction(this, "aBezar", "Bezár", "Bezár", QKeySequence());  // Esc closes the dialog
    connect(aUj, &QAction::triggered, this, &Tfrm_Korlevel::aUjExecute);
    connect(aSzerkeszt, &QAction::triggered, this, &Tfrm_Korlevel::aSzerkesztExecute);
    connect(aTorol, &QAction::triggered, this, &Tfrm_Korlevel::aTorolExecute);
    connect(aKeres, &QAction::triggered, this, [this] { Edit1->setFocus(); });
    connect(aNyomtat, &QAction::triggered, this, [this] { merge(true); });
    connect(aEgybeAzEgesz, &QAction::triggered, this, [this] { merge(false); });
    connect(aBezar, &QAction::triggered, this, &QDialog::reject);

    PopupMenu2 = new QMenu(this);
    PopupMenu2->addAction(aNyomtat);
    PopupMenu2->addAction(aEgybeAzEgesz);

    ToolBar1 = new QToolBar(this);
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
    ToolBar1->addAction(aUj);
    ToolBar1->addAction(aSzerkeszt);
    ToolBar1->addAction(aTorol);
    ToolBar1->addSeparator();
    ToolBar1->addAction(aNyomtat);
    if (auto* b = qobject_cast<QToolButton*>(ToolBar1->widgetForAction(aNyomtat))) {
        b->setMenu(PopupMenu2);
        b->setPopupMode(QToolButton::MenuButtonPopup);
    }
    ToolBar1->addAction(aBezar);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->addAction(aUj);
    PopupMenu1->addAction(aSzerkeszt);
    PopupMenu1->addAction(aTorol);
    PopupMenu1->addSeparator();
    PopupMenu1->addAction(aKeres);
    PopupMenu1->addSeparator();
    PopupMenu1->addAction(aNyomtat);
    PopupMenu1->addAction(aBezar);

    auto* panel = new QWidget(this);
    auto* panelLayout = new QHBoxLayout(panel);
    panelLayout->setContentsMargins(6, 4, 6, 4);
    Edit1 = new QLineEdit(panel);
    Edit1->setObjectName("Edit1");
    Edit1->installEventFilter(this);
    connect(Edit1, &QLineEdit::textEdited, this, &Tfrm_Korlevel::Edit1Change);
    auto* caption = new QLabel("Körlevelek", panel);
    QFont bold = caption->font();
    bold.setBold(true);
    caption->setFont(bold);
    caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    panelLayout->addWidget(Edit1, 1);
    panelLayout->addWidget(caption, 1);

    Tbl = new TableDataSet(Connection::byName(DatabaseAlias), this);
    Tbl->setTableName("korlevel.DB");
    Tbl->setIndexName("idx_rovid");
    Tbl->setFilter(QString("tipus=%1").arg(tab));
    Tbl->setFiltered(true);

    DBGrid1 = new DBGrid(this);
    DBGrid1->setObjectName("DBGrid1");
    DBGrid1->addColumn("rovid", "rövid leírás", 420);
    DBGrid1->setDataSet(Tbl);
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBGrid1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { PopupMenu1->popup(DBGrid1->viewport()->mapToGlobal(p)); });
    connect(DBGrid1, &QAbstractItemView::doubleClicked, this, &Tfrm_Korlevel::aSzerkesztExecute);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ToolBar1);
    layout->addWidget(panel);
    layout->addWidget(DBGrid1, 1);
}

void Tfrm_Korlevel::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    SetMenuStyle(this);
    if (!Tbl->isActive()) Tbl->open();
    Edit1->setFocus();
}

bool Tfrm_Korlevel::eventFilter(QObject* watched, QEvent* event)
{
    // Entering the search box selects its text, so typing starts a new search.
    if (watched == Edit1 && event->type() == QEvent::FocusIn) QTimer::singleShot(0, Edit1, &QLineEdit::selectAll);
    return QDialog::eventFilter(watched, event);
}

void Tfrm_Korlevel::Edit1Change(const QString& text)
{
    if (!text.isEmpty()) Tbl->locate("rovid", text, DataSet::CaseInsensitive | DataSet::PartialKey);
}

void Tfrm_Korlevel::runEditor()
{
    QStringList names;
    if (source_ && source_->isActive())
        for (const auto& f : source_->fields()) names << f->fieldName();
    Tfrm_Korlevel_Szerkeszt editor(Tbl, names, this);
    if (interaction().runModal(editor) != QDialog::Accepted && Tbl->isEditing()) Tbl->cancel();
}

void Tfrm_Korlevel::aUjExecute()
{
    if (!Beall.referenceRight) {
        ShowNoRight(this);
        return;
    }
    Tbl->append();
    Tbl->fieldByName("tipus")->setValue(tab_);
    runEditor();
}

void Tfrm_Korlevel::aSzerkesztExecute()
{
    if (!Beall.referenceRight) {
        ShowNoRight(this);
        return;
    }
    Tbl->edit();
    runEditor();
}

void Tfrm_Korlevel::aTorolExecute()
{
    if (!Beall.referenceRight) {
        ShowNoRight(this);
        return;
    }
    if (Tbl->isEmpty() || !AskDeleteRow(this)) return;
    Tbl->remove();
    Tbl->flushBuffers();
}

void Tfrm_Korlevel::merge(bool newPage)
{
    if (Tbl->isEmpty() || !source_ || !source_->isActive()) return;
    const QByteArray rtf = TemplateBytes(Tbl->fieldByName("szoveg")->asString());
    // The chosen template as a file, for whoever looks for it there.
    const QString folder = FormLetterWorkFolder();
    const QString path = (folder.isEmpty() ? ProgramFolder() + "/Temp" : folder) + "/korlevel.rtf";
    QFile file(path);
    if (folder.isEmpty() || !file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(rtf) != rtf.size() ||
        !file.flush()) {
        ShowError("A körlevél munkafájlja nem írható: " + path + "\n" + file.errorString(), this);
        return;
    }
    file.close();
    PrintFormLetters(this, false, rtf, *source_, newPage);
}

void OpenFormLetters(QWidget* owner, int tab, DataSet* source)
{
    Tfrm_Korlevel w(tab, source, owner);
    w.Tbl->open();
    interaction().runModal(w);
    w.Tbl->close();
}
