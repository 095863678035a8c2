// Tfrm_KulcsszoKeres ("Kulcsszavak keresése"): the rows of the companies,
// customers, tasks and products whose keywords contain a keyword, letter
// case aside, on four result pages. "Ugrás a találatra" (Enter) closes the
// window and shows the chosen row on its tab of the main window; F3 or
// "Keres" searches again with the keyword in the search box.
//
// The keyword is upper-cased as the SQL's UPPER() does it, on its
// Windows-1250 letters, so the page shows what the query finds; "%" and "_"
// in it are the query's wildcards.
#pragma once

#include <QDialog>

#include <array>
#include <optional>

class DBGrid;
class QAction;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabWidget;
class QToolBar;
class QueryDataSet;
class Tfrm_Main;

// The value of the queries' pattern: "%" + upper-cased keyword + "%".
// Nothing when the keyword has a character outside Windows-1250 (no stored
// keyword can hold it); `bad` then names that character.
std::optional<QString> KeywordPattern(const QString& keyword, QString* bad = nullptr);

class Tfrm_KulcsszoKeres : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm_KulcsszoKeres(QWidget* parent = nullptr);
    ~Tfrm_KulcsszoKeres() override;

    // Runs the four queries with `keyword` and makes it the current one.
    // A keyword outside Windows-1250 is refused with a message; the pages
    // and the current keyword stay as they were. False then.
    bool search(const QString& keyword);
    // The keyword of the last search, as typed: the subtitle of its prints.
    const QString& currentKeyword() const { return keyword_; }
    // The key of the current row of the active page; blank when it is empty.
    QVariant currentKey() const;

    // Pages, by the main window's tab index: 0 companies, 1 customers,
    // 2 tasks, 3 products.
    QueryDataSet* Qry1;  // customers
    QueryDataSet* Qry2;  // tasks
    QueryDataSet* Qry3;  // products
    QueryDataSet* Qry4;  // companies
    QTabWidget* PageControl1;
    DBGrid* DBGrid1;
    DBGrid* DBGrid2;
    DBGrid* DBGrid3;
    DBGrid* DBGrid4;
    QLineEdit* Edit1;
    QPushButton* btnKeres;
    QToolBar* ToolBar1;
    QMenu* PopupMenu1;  // of every grid
    QMenu* PopupMenu2;  // the "Nyomtat" button's drop-down
    QAction* aKeres;
    QAction* aElfogad;
    QAction* aMegsem;
    QAction* aNyomtat;
    QAction* aNyomtatKep;
    QAction* aExcelbe;
    QAction* aHtml;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QueryDataSet* pageQuery(int page) const;
    DBGrid* pageGrid(int page) const;
    // The active page's list as grid print, titled by the page, with the
    // current keyword as subtitle.
    void printPage(bool print);
    void closeQueries();

    QString keyword_;
};

// The main window's "Kulcsszó": asks for the keyword, shows the results and,
// when the user jumps, selects the row's tab in `main` and locates the row
// (nothing moves where the tab's list does not show it).
void RunKeywordSearch(Tfrm_Main* main, const QString& keyword);
