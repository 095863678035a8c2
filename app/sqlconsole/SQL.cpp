#include "SQL.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include <Qsci/qscilexersql.h>
#include <Qsci/qsciscintilla.h>

#include "app/Main/Beall.h"
#include "app/Main/ImageList.h"
#include "app/output/ExportFile.h"
#include "app/output/Hatarolt.h"
#include "common/DataSet.h"
#include "common/Interaction.h"
#include "common/Messages.h"
#include "common/Settings.h"
#include "engine/Codepage.h"
#include "engine/Sql.h"
#include "widgets/DBGrid.h"
#include "widgets/MenuStyle.h"

namespace {

QString fromCp1250(const std::string& bytes) { return QString::fromStdString(engine::cp1250ToUtf8(bytes)); }

// True when the text, past blanks and comments, begins with SELECT.
bool beginsWithSelect(std::string_view text)
{
    size_t i = 0;
    while (i < text.size()) {
        if (std::isspace(static_cast<unsigned char>(text[i]))) {
            ++i;
        } else if (text.substr(i, 2) == "--") {
            const size_t eol = text.find('\n', i);
            i = eol == std::string_view::npos ? text.size() : eol + 1;
        } else if (text.substr(i, 2) == "/*") {
            const size_t close = text.find("*/", i + 2);
            i = close == std::string_view::npos ? text.size() : close + 2;
        } else {
            break;
        }
    }
    const std::string_view word = text.substr(i, 6);
    return word.size() == 6
        && std::equal(word.begin(), word.end(), "SELECT", [](char a, char b) { return std::toupper(a) == b; });
}

QAction* makeAction(QWidget* owner, const char* name, const QString& text, const QKeySequence& key,
                    const QIcon& icon)
{
    auto* a = new QAction(icon, text, owner);
    a->setObjectName(name);
    a->setShortcut(key);
    a->setShortcutContext(Qt::WindowShortcut);
    owner->addAction(a);
    return a;
}

// An item of a pop-up menu that shows its key; the key itself is the
// editor's or the grid's own.
QAction* menuItem(QMenu* menu, const QString& text, const QKeySequence& key)
{
    QAction* a = menu->addAction(text);
    a->setShortcut(key);
    a->setShortcutContext(Qt::WidgetShortcut);
    return a;
}

// The editor's text at line breaks, as a file holds it.
QStringList editorLines(const QString& text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    QStringList lines = text.split(lineBreak);
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

QString sqlFolder() { return WritableFolderOr(ProgramFolder() + "/SQL"); }

}  // namespace

SqlRun SplitSqlRun(const QString& text)
{
    auto bytes = engine::utf8ToCp1250(text.toStdString());
    if (!bytes.isOk()) throw DbError(QString::fromStdString(bytes.status().message()), bytes.status().code());
    SqlRun run;
    if (beginsWithSelect(*bytes)) {
        run.query = true;
        run.statements << text;
        return run;
    }
    for (const std::string& s : engine::splitStatements(*bytes)) run.statements << fromCp1250(s);
    return run;
}

Tfrm_SQL::Tfrm_SQL(QWidget* parent) : QDialog(parent)
{
    setObjectName("frm_SQL");
    setWindowTitle("SQL lekérdezés");
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    resize(680, 480);

    Qry = new QueryDataSet(Connection::byName(DatabaseAlias), this);
    createActions();

    MainMenu1 = new QMenuBar(this);
    QMenu* file = MainMenu1->addMenu("Fájl");
    file->addActions({aUj, aMegnyit, aMent});
    file->addSeparator();
    file->addAction(aExport);
    file->addSeparator();
    file->addAction(aBezar);
    MainMenu1->addMenu("SQL")->addAction(aFuttat);

    ToolBar1 = new QToolBar(this);
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->addActions({aUj, aMegnyit, aMent});
    ToolBar1->addSeparator();
    ToolBar1->addAction(aExport);
    ToolBar1->addSeparator();
    ToolBar1->addAction(aFuttat);
    ToolBar1->addSeparator();
    ToolBar1->addAction(aBezar);

    Pg1 = new QTabWidget(this);
    Pg1->setObjectName("Pg1");
    createEditor();
    Pg1->addTab(Memo1, "SQL");

    DBGrid1 = new DBGrid(this);
    DBGrid1->setObjectName("DBGrid1");
    DBGrid1->setDataSet(Qry);
    DBGrid1->setTitleClicksEnabled(false);
    Pg1->addTab(DBGrid1, "Eredmény");
    PopupMenu2 = new QMenu(this);
    QAction* copy = menuItem(PopupMenu2, "Másol", QKeySequence::Copy);
    DBGrid1->addAction(copy);
    connect(copy, &QAction::triggered, this, &Tfrm_SQL::copyGridRow);
    PopupMenu2->addSeparator();
    PopupMenu2->addAction(aExport);
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBGrid1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { PopupMenu2->popup(DBGrid1->viewport()->mapToGlobal(p)); });

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setFixedHeight(16);
    ProgressBar1->hide();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(MainMenu1);
    layout->addWidget(ToolBar1);
    layout->addWidget(Pg1, 1);
    layout->addWidget(ProgressBar1);

    connect(Qry, &DataSet::opened, this, [this] { aExport->setEnabled(true); });
    connect(Qry, &DataSet::closed, this, [this] { aExport->setEnabled(false); });
}

void Tfrm_SQL::createActions()
{
    aUj = makeAction(this, "aUj", "Új SQL file", QKeySequence(Qt::CTRL | Qt::Key_N), Picture(Pic::New));
    aMegnyit = makeAction(this, "aMegnyit", "Megnyit", QKeySequence(Qt::CTRL | Qt::Key_O),
                          style()->standardIcon(QStyle::SP_DialogOpenButton));
    aMent = makeAction(this, "aMent", "Mentés", QKeySequence(Qt::CTRL | Qt::Key_S),
                       style()->standardIcon(QStyle::SP_DialogSaveButton));
    aExport = makeAction(this, "aExport", "Export", QKeySequence(Qt::CTRL | Qt::Key_E), Picture(Pic::Excel));
    aExport->setEnabled(false);
    aFuttat = makeAction(this, "aFuttat", "Futtat", QKeySequence(Qt::Key_F5), Picture(Pic::Sql));
    aBezar = makeAction(this, "aBezar", "Bezár", QKeySequence(), Picture(Pic::Close));
    connect(aUj, &QAction::triggered, this, [this] { Memo1->clear(); });
    connect(aMegnyit, &QAction::triggered, this, &Tfrm_SQL::aMegnyitExecute);
    connect(aMent, &QAction::triggered, this, &Tfrm_SQL::aMentExecute);
    connect(aExport, &QAction::triggered, this, [this] { ShowDelimitedExport(Qry, QString(), this); });
    connect(aFuttat, &QAction::triggered, this, &Tfrm_SQL::aFuttatExecute);
    connect(aBezar, &QAction::triggered, this, &Tfrm_SQL::reject);
}

void Tfrm_SQL::createEditor()
{
    Memo1 = new QsciScintilla(this);
    Memo1->setObjectName("Memo1");
    auto* lexer = new QsciLexerSQL(Memo1);
    const QFont font("Courier New", 10);
    lexer->setDefaultFont(font);
    lexer->setFont(font);
    const QColor green(0, 128, 0), blue(0, 0, 255), red(255, 0, 0);
    for (int style : {QsciLexerSQL::Comment, QsciLexerSQL::CommentLine, QsciLexerSQL::CommentDoc,
                      QsciLexerSQL::CommentLineHash, QsciLexerSQL::CommentDocKeyword})
        lexer->setColor(green, style);
    lexer->setColor(blue, QsciLexerSQL::Number);
    lexer->setColor(red, QsciLexerSQL::SingleQuotedString);
    lexer->setColor(red, QsciLexerSQL::DoubleQuotedString);
    Memo1->setLexer(lexer);
    Memo1->setUtf8(true);
    Memo1->setMarginType(0, QsciScintilla::NumberMargin);
    Memo1->setMarginLineNumbers(0, true);
    Memo1->setMarginsFont(QFont("Courier New", 8));
    Memo1->setMarginWidth(0, QStringLiteral("0000"));
    Memo1->setCaretLineVisible(true);
    Memo1->setCaretLineBackgroundColor(QColor(0xE1, 0xF0, 0xFF));
    Memo1->setSelectionBackgroundColor(QColor(0xC0, 0xC0, 0xC0));

    PopupMenu1 = new QMenu(this);
    PopupMenu1->addAction(aFuttat);
    PopupMenu1->addSeparator();
    PopupMenu1->addActions({aUj, aMegnyit, aMent});
    PopupMenu1->addSeparator();
    connect(menuItem(PopupMenu1, "Kivág", QKeySequence::Cut), &QAction::triggered, Memo1, &QsciScintilla::cut);
    connect(menuItem(PopupMenu1, "Másol", QKeySequence::Copy), &QAction::triggered, Memo1, &QsciScintilla::copy);
    connect(menuItem(PopupMenu1, "Beilleszt", QKeySequence::Paste), &QAction::triggered, Memo1,
            &QsciScintilla::paste);
    connect(menuItem(PopupMenu1, "Mindet kijelöl", QKeySequence::SelectAll), &QAction::triggered, Memo1,
            [this] { Memo1->selectAll(); });
    Memo1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Memo1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { PopupMenu1->popup(Memo1->mapToGlobal(p)); });
}

void Tfrm_SQL::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    SetMenuStyle(this);
    Memo1->setFocus();
}

void Tfrm_SQL::hideEvent(QHideEvent* event)
{
    Qry->close();
    QDialog::hideEvent(event);
}

void Tfrm_SQL::reject()
{
    // The running statements hold the window until they are done.
    if (!running_) QDialog::reject();
}

void Tfrm_SQL::closeEvent(QCloseEvent* event)
{
    if (running_) event->ignore();
    else QDialog::closeEvent(event);
}

void Tfrm_SQL::setRunning(bool on)
{
    running_ = on;
    for (QAction* a : {aFuttat, aBezar, aUj, aMegnyit}) a->setEnabled(!on);
    Memo1->setReadOnly(on);
}

void Tfrm_SQL::aMegnyitExecute()
{
    const QString name = interaction().openFileName(
        this, "SQL megnyitás", fileName_.isEmpty() ? sqlFolder() : fileName_, "SQL állományok (*.sql)");
    if (name.isEmpty()) return;
    QFile f(name);
    if (!f.open(QIODevice::ReadOnly)) {
        ShowError("Hiba: Nem sikerült megnyitni a fájlt: " + name + " (" + f.errorString() + ")", this);
        return;
    }
    Memo1->setText(fromCp1250(f.readAll().toStdString()));
    fileName_ = name;
}

void Tfrm_SQL::aMentExecute()
{
    SaveOptions options;
    options.defaultSuffix = "sql";
    const QString name = interaction().saveFileName(
        this, "SQL mentése", fileName_.isEmpty() ? sqlFolder() : fileName_, "SQL file-ok (*.sql)", options);
    if (name.isEmpty()) return;
    try {
        ExportFile out(name, ExportFile::Encoding::Windows1250);
        for (const QString& line : editorLines(Memo1->text())) out.writeLine(line);
        out.commit();
    } catch (const DbError& e) {
        ShowError("Hiba: " + e.message(), this);
        return;
    }
    fileName_ = name;
}

void Tfrm_SQL::aFuttatExecute()
{
    if (running_) return;
    Qry->close();
    Qry->sql().clear();
    SqlRun run;
    try {
        run = SplitSqlRun(Memo1->hasSelectedText() ? Memo1->selectedText() : Memo1->text());
    } catch (const DbError& e) {
        ShowError("SQL hiba:\n" + e.message(), this);
        return;
    }
    if (!run.query) {
        runStatements(run.statements);
        return;
    }
    Qry->setSql(run.statements);
    try {
        Qry->open();
    } catch (const DbError& e) {
        ShowError("SQL hiba:\n" + e.message(), this);
        return;
    }
    Pg1->setCurrentWidget(DBGrid1);
    for (int c = 0; c < DBGrid1->gridColumnCount(); ++c) DBGrid1->setColumnWidth(c, 64);
}

void Tfrm_SQL::runStatements(const QStringList& statements)
{
    ProgressBar1->setMaximum(std::max<int>(int(statements.size()), 1));
    ProgressBar1->setValue(0);
    ProgressBar1->show();
    setRunning(true);
    int done = 0;
    try {
        for (const QString& statement : statements) {
            // The window answers between statements.
            QCoreApplication::processEvents();
            Qry->setSql({statement});
            Qry->execSql();
            ProgressBar1->setValue(++done);
        }
    } catch (const DbError& e) {
        setRunning(false);
        ShowError(QString("SQL hiba:\n%1\n(%2. utasítás; az előzők lefutottak.)").arg(e.message()).arg(done + 1),
                  this);
        return;
    }
    setRunning(false);
    ShowInfo(QString("SQL futtatás kész.\n%1 utasítás futott le.").arg(done), this);
    ProgressBar1->hide();
}

void Tfrm_SQL::copyGridRow()
{
    if (!Qry->isActive() || Qry->isEmpty()) return;
    QStringList cells;
    for (int c = 0; c < Qry->fieldCount(); ++c) cells << Qry->displayTextAt(Qry->currentRow(), c);
    QGuiApplication::clipboard()->setText(cells.join('\t'));
}

void ShowSqlConsole(QWidget* owner)
{
    Tfrm_SQL w(owner);
    interaction().runModal(w);
}
