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
#include "app/records/RecordWindow.h"
#include "app/records/RowEdit.h"
#include "common/DataSet.h"
#include "common/Interaction.h"
#include "common/Messages.h"
#include "common/Settings.h"
#include "widgets/DBGrid.h"

Tfrm_Korlevel::Tfrm_Korlevel(int tab, DataSet* source, QWidget* parent)
    : TemplateListWindow("frm_Korlevel", "Körlevelek", "korlevel.DB", "Töröl", QSize(460, 340), parent),
      tab_(tab),
      source_(source)
{
    aKeres = MakeAction(this, "aKeres", "Kereső", QKeySequence(Qt::CTRL | Qt::Key_F));
    aNyomtat = MakeAction(this, "aNyomtat", "Összefésül", QKeySequence(Qt::CTRL | Qt::Key_P), QIcon(),
                          "Összefésülés nyomtatóra (mindig új oldalra)");
    aEgybeAzEgesz =
        MakeAction(this, "aEgybeAzEgesz", "Egybe az egész", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    connect(aKeres, &QAction::triggered, this, [this] { Edit1->setFocus(); });
    connect(aNyomtat, &QAction::triggered, this, [this] { merge(true); });
    connect(aEgybeAzEgesz, &QAction::triggered, this, [this] { merge(false); });

    PopupMenu2 = new QMenu(this);
    PopupMenu2->addAction(aNyomtat);
    PopupMenu2->addAction(aEgybeAzEgesz);

    FillBars(ToolBar1, {aUj, aSzerkeszt, aTorol, nullptr, aNyomtat, aBezar}, PopupMenu1,
             {aUj, aSzerkeszt, aTorol, nullptr, aKeres, nullptr, aNyomtat, aBezar});
    if (auto* b = qobject_cast<QToolButton*>(ToolBar1->widgetForAction(aNyomtat))) {
        b->setMenu(PopupMenu2);
        b->setPopupMode(QToolButton::MenuButtonPopup);
    }

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
    column()->insertWidget(1, panel);
    // Tab goes from the search box to the grid.
    setTabOrder(Edit1, DBGrid1);

    Tbl->setIndexName("idx_rovid");
    Tbl->setFilter(QString("tipus=%1").arg(tab));
    Tbl->setFiltered(true);

    DBGrid1->addColumn("rovid", "rövid leírás", 420);
    connect(DBGrid1, &QAbstractItemView::doubleClicked, this, &Tfrm_Korlevel::aSzerkesztExecute);
}

void Tfrm_Korlevel::showEvent(QShowEvent* event)
{
    TemplateListWindow::showEvent(event);
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
    RunRowEditor(editor, *Tbl);
}

void Tfrm_Korlevel::fillNewRow() { Tbl->fieldByName("tipus")->setValue(tab_); }

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
