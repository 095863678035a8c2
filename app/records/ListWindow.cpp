#include "ListWindow.h"

#include <QAction>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/Main/Beall.h"
#include "app/Main/ImageList.h"
#include "RecordWindow.h"
#include "common/DataSet.h"
#include "engine/Codepage.h"
#include "engine/Collation.h"
#include "common/Interaction.h"
#include "widgets/DBGrid.h"
#include "widgets/MenuStyle.h"
#include "widgets/WindowConventions.h"

namespace {

std::string cp1250(const QString& text)
{
    auto bytes = engine::utf8ToCp1250(text.toStdString());
    return bytes.isOk() ? *bytes : std::string();
}

// Lower case without the accents that the alphabet does not tell apart at
// its first level (a = á, ..., ö = ő, ü = ű): two texts that fold alike
// have the same letters in the list's order.
QString firstLevel(const QString& text)
{
    static const QString from = QStringLiteral("áéíóúőű");
    static const QString to = QStringLiteral("aeiouöü");
    QString out = text.toLower();
    for (QChar& c : out)
        if (const qsizetype i = from.indexOf(c); i >= 0) c = to[i];
    return out;
}

// Entering the search box, by the keyboard or the mouse, selects its text,
// so the next letters start a new search.
class SelectAllOnFocus : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FocusIn)
            if (auto* box = qobject_cast<QLineEdit*>(watched))
                QTimer::singleShot(0, box, [box] { box->selectAll(); });
        return false;
    }
};

}  // namespace

ListWindow::ListWindow(const Setup& setup, QWidget* parent)
    : QDialog(parent),
      keyField_(setup.keyField),
      searchField_(setup.searchField),
      emptySearchStays_(setup.emptySearchStays),
      searchByHalving_(setup.searchByHalving),
      pick_(setup.pick)
{
    setObjectName(setup.formName);
    setWindowTitle(setup.caption);
    resize(setup.size);
    // Enter belongs to the list: it accepts in pick mode (keyPressEvent).
    KeepOwnEnter(this);

    Tbl = new TableDataSet(Connection::byName(DatabaseAlias), this);
    Tbl->setTableName(setup.table);
    Tbl->setIndexFieldNames(setup.order);

    aElfogad = makeAction("aElfogad", setup.acceptCaption, QKeySequence(Qt::Key_Return));
    aElfogad->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    aElfogad->setEnabled(pick_);
    aElfogad->setVisible(pick_);
    connect(aElfogad, &QAction::triggered, this, &QDialog::accept);
    aBezar = makeAction("aBezar", setup.closeCaption, QKeySequence(Qt::Key_Escape));
    aBezar->setIcon(Picture(Pic::Close));
    connect(aBezar, &QAction::triggered, this, &QDialog::reject);

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName("ToolBar1");
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    ToolBar1->setIconSize(QSize(16, 16));
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName("PopupMenu1");

    DBGrid1 = ListGrid(this, Tbl, PopupMenu1);
    DBGrid1->horizontalHeader()->setStretchLastSection(true);  // no empty strip at the right
    connect(DBGrid1, &QAbstractItemView::doubleClicked, this, [this] { gridDoubleClicked(); });
    connect(DBGrid1, &DBGrid::enterPressed, this, &ListWindow::enterPressed);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(ToolBar1);
    if (!searchField_.isEmpty()) {
        aKeres = makeAction("aKeres", setup.searchCaption, QKeySequence(Qt::CTRL | Qt::Key_F));
        aKeres->setIcon(Picture(Pic::Search));
        auto* bar = new QWidget(this);
        bar->setObjectName("pnlKereso");
        auto* row = new QHBoxLayout(bar);
        row->setContentsMargins(4, 3, 8, 3);
        Edit1 = new QLineEdit(bar);
        Edit1->setObjectName("Edit1");
        Edit1->setFixedWidth(121);
        Edit1->installEventFilter(new SelectAllOnFocus(Edit1));
        lblCim = new QLabel(setup.searchTitle, bar);
        lblCim->setObjectName("lblCim");
        QFont bold = lblCim->font();
        bold.setBold(true);
        lblCim->setFont(bold);
        row->addWidget(Edit1);
        row->addStretch();
        row->addWidget(lblCim);
        column->addWidget(bar);
        connect(Edit1, &QLineEdit::textChanged, this, &ListWindow::search);
        connect(aKeres, &QAction::triggered, this, [this] {
            Edit1->setFocus();
            Edit1->selectAll();
        });
    }
    column->addWidget(DBGrid1, 1);
}

QAction* ListWindow::makeAction(const char* name, const QString& caption, const QKeySequence& key)
{
    auto* a = new QAction(caption, this);
    a->setObjectName(name);
    a->setShortcut(key);
    a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(a);
    return a;
}

void ListWindow::finishBars(const QList<QAction*>& toolBar, const QList<QAction*>& popup)
{
    FillBars(ToolBar1, toolBar, PopupMenu1, popup);
}

bool ListWindow::run(int key)
{
    Tbl->open();
    if (!keyField_.isEmpty()) Tbl->locate(keyField_, key);
    return interaction().runModal(*this) == QDialog::Accepted;
}

int ListWindow::currentKey() const
{
    return Tbl->isActive() && !Tbl->isEmpty() ? Tbl->fieldByName(keyField_)->asInteger() : 0;
}

int ListWindow::choose(int key)
{
    return run(key) ? currentKey() : -1;
}

int ListWindow::choose(int key, const QString& field, QString& text)
{
    if (!run(key)) return -1;
    text = Tbl->isEmpty() ? QString() : Tbl->fieldByName(field)->asString();
    return currentKey();
}

void ListWindow::gridDoubleClicked()
{
    if (pick_) aElfogad->trigger();
}

void ListWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    SetMenuStyle(this);
    if (focusSearch_ && Edit1) Edit1->setFocus();
}

void ListWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        enterPressed();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ListWindow::enterPressed()
{
    if (pick_) aElfogad->trigger();
    else if (enterToGrid_ && Edit1 && focusWidget() == Edit1) DBGrid1->setFocus();
}

void ListWindow::search(const QString& text)
{
    if ((text.isEmpty() && emptySearchStays_) || !Tbl->isActive()) return;
    if (searchByHalving_ && !text.isEmpty() && !Tbl->isEditing()) {
        if (const auto row = firstMatchByHalving(text)) Tbl->setRecNo(*row + 1);
        return;
    }
    Tbl->locate(searchField_, text, DataSet::CaseInsensitive | DataSet::PartialKey);
}

std::optional<int> ListWindow::firstMatchByHalving(const QString& text) const
{
    // Every name that starts with the text sorts at or after the text itself
    // (the digraphs sort after their first letter), so the first of them is
    // at or after the first row not before the text; from there the rows
    // are read until one starts with it, or until the names no longer begin
    // with the text's letters (accents aside), where none can follow.
    const std::string wanted = cp1250(text);
    if (wanted.empty()) return std::nullopt;
    const int field = Tbl->fieldByName(searchField_)->index();
    auto name = [&](int row) { return Tbl->valueAt(row, field).toString(); };
    int low = 0, high = Tbl->recordCount();
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (engine::compareTextCaseless(cp1250(name(mid)), wanted) < 0) low = mid + 1;
        else high = mid;
    }
    const std::string letters = cp1250(firstLevel(text));
    for (int row = low; row < Tbl->recordCount(); ++row) {
        const QString n = name(row);
        if (n.startsWith(text, Qt::CaseInsensitive)) return row;
        if (engine::compareTextCaseless(cp1250(firstLevel(n.left(text.size()))), letters) > 0) break;
    }
    return std::nullopt;
}
