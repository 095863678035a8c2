// Tfrm_Korlevel_Szerkeszt ("Körlevél szöveg szerkesztés"): the editor of one
// form-letter template, the current row of the template table, which the
// caller has put into insert or edit state. The text is rich text, stored
// as RTF in `szoveg`; the list on the right holds the field names of the
// list the template is for, and a double-click puts "[name]" into the text.
// "Elfogad" stores the row (a refusal keeps the editor open with what was
// typed); closing any other way leaves the stored template as it was.
#pragma once

#include <QDialog>
#include <QStringList>

class DBEdit;
class QAction;
class QComboBox;
class QFontComboBox;
class QListWidget;
class QTextEdit;
class QToolBar;
class TableDataSet;

class Tfrm_Korlevel_Szerkeszt : public QDialog {
    Q_OBJECT
public:
    Tfrm_Korlevel_Szerkeszt(TableDataSet* tbl, const QStringList& fieldNames, QWidget* parent = nullptr);

    QToolBar* ToolBar1;
    QToolBar* ToolBar2;
    DBEdit* DBEdit1;  // rovid
    QListWidget* ListBox1;
    QTextEdit* RichEdit1;
    QFontComboBox* FontName;
    QComboBox* FontSize;

    QAction* EditCut1;
    QAction* EditCopy1;
    QAction* EditPaste1;
    QAction* EditSelectAll1;
    QAction* EditUndo1;
    QAction* RichEditBold1;
    QAction* RichEditItalic1;
    QAction* RichEditUnderline1;
    QAction* RichEditStrikeOut1;
    QAction* RichEditBullets1;
    QAction* RichEditAlignLeft1;
    QAction* RichEditAlignCenter1;
    QAction* RichEditAlignRight1;
    QAction* aUj;
    QAction* aMegnyit;
    QAction* aMent;
    QAction* aElfogad;
    QAction* aMegsem;
    QAction* aBetuTipus;
    QAction* aBetuSzin;

protected:
    void showEvent(QShowEvent* event) override;

private slots:
    void aElfogadExecute();
    void aMegnyitExecute();
    void aMentExecute();
    void aBetuTipusExecute();
    void aBetuSzinExecute();
    void ListBox1DblClick();
    void toggleBullets();
    void showSelectionFormat();

private:
    void applyFormat(const std::function<void(class QTextCharFormat&)>& change);

    TableDataSet* tbl_;
};

// The template text of `szoveg` as RTF bytes, and back.
QByteArray TemplateBytes(const QString& szoveg);
QString TemplateText(const QByteArray& rtf);
