// Tfrm_SQL ("SQL lekérdezés"): the administrator's console for statements of
// the local SQL dialect. A text that begins with SELECT (after blanks and
// comments) runs as one query whose rows show on the "Eredmény" page and can
// be exported; any other text is split into statements as the engine splits
// a script (a ";" inside a string literal or a comment ends nothing) and the
// statements run one after another, stopping at the first that fails.
// The editor's selection, when there is one, runs instead of the whole text.
// SQL files are Windows-1250 text, by default in the program's "SQL" folder.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class DBGrid;
class QAction;
class QMenu;
class QMenuBar;
class QProgressBar;
class QTabWidget;
class QToolBar;
class QsciScintilla;
class QueryDataSet;

// What a run is: a SELECT query, or the statements to run in order. Text
// that Windows-1250 cannot hold throws DbError naming the character.
struct SqlRun {
    bool query = false;
    QStringList statements;  // the query's text alone when `query`
};
SqlRun SplitSqlRun(const QString& text);

class Tfrm_SQL : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm_SQL(QWidget* parent = nullptr);

    QueryDataSet* Qry;
    QMenuBar* MainMenu1;
    QToolBar* ToolBar1;
    QTabWidget* Pg1;
    QsciScintilla* Memo1;
    DBGrid* DBGrid1;
    QProgressBar* ProgressBar1;
    QMenu* PopupMenu1;  // the editor's
    QMenu* PopupMenu2;  // the grid's
    QAction* aUj;
    QAction* aMegnyit;
    QAction* aMent;
    QAction* aExport;
    QAction* aFuttat;
    QAction* aBezar;

    const QString& fileName() const { return fileName_; }

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private slots:
    void aMegnyitExecute();
    void aMentExecute();
    void aFuttatExecute();
    void copyGridRow();

private:
    void createActions();
    void createEditor();
    void runStatements(const QStringList& statements);
    void setRunning(bool on);

    QString fileName_;
    bool running_ = false;
};

// The main window's "Szabad lekérdezés".
void ShowSqlConsole(QWidget* owner);
