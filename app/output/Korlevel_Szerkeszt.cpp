#include "Korlevel_Szerkeszt.h"

#include <QAction>
#include <QColor>
#include <QComboBox>
#include <QFile>
#include <QFontComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextList>
#include <QToolBar>
#include <QVBoxLayout>

#include "common/DataSet.h"
#include "common/Interaction.h"
#include "common/Messages.h"
#include "widgets/DBControls.h"
#include "widgets/MenuStyle.h"
#include "widgets/Rtf.h"
#include "widgets/WindowConventions.h"

namespace {

const char* const kFileFilter =
    "Rich Text állományok (*.rtf);;Szöveges állományok (*.txt);;Minden file (*)";

QAction* makeAction(QWidget* owner, const char* name, const QString& text, const QKeySequence& key)
{
    auto* a = new QAction(text, owner);
    a->setObjectName(name);
    a->setToolTip(text);
    a->setShortcut(key);
    a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    owner->addAction(a);
    return a;
}

// A plain text file: UTF-8 when it is valid UTF-8, else Windows-1250, the
// program's own code page.
QString plainFileText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString s = utf8.decode(bytes);
    if (!utf8.hasError()) return s;
    QStringDecoder cp("windows-1250");
    return cp.decode(bytes);
}

}  // namespace

QByteArray TemplateBytes(const QString& szoveg)
{
    QStringEncoder cp("windows-1250");
    return cp.encode(szoveg);
}

QString TemplateText(const QByteArray& rtf)
{
    QStringDecoder cp("windows-1250");
    return cp.decode(rtf);
}

Tfrm_Korlevel_Szerkeszt::Tfrm_Korlevel_Szerkeszt(TableDataSet* tbl, const QStringList& fieldNames,
                                                 QWidget* parent)
    : QDialog(parent), tbl_(tbl)
{
    setObjectName("frm_Korlevel_Szerkeszt");
    setWindowTitle("Körlevél szöveg szerkesztés");
    resize(900, 560);

    RichEdit1 = new QTextEdit(this);
    RichEdit1->setObjectName("RichEdit1");
    RichEdit1->setAcceptRichText(true);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->document()->setDefaultFont(QFont("Times New Roman", 10));
    KeepOwnColour(RichEdit1);

    EditCut1 = makeAction(this, "EditCut1", "Kivág", QKeySequence::Cut);
    EditCopy1 = makeAction(this, "EditCopy1", "Másol", QKeySequence::Copy);
    EditPaste1 = makeAction(this, "EditPaste1", "Beilleszt", QKeySequence::Paste);
    EditSelectAll1 = makeAction(this, "EditSelectAll1", "Mindet kijelöl", QKeySequence::SelectAll);
    EditUndo1 = makeAction(this, "EditUndo1", "Visszavon", QKeySequence::Undo);
    RichEditBold1 = makeAction(this, "RichEditBold1", "Félkövér", QKeySequence(Qt::CTRL | Qt::Key_B));
    RichEditItalic1 = makeAction(this, "RichEditItalic1", "Dőlt", QKeySequence(Qt::CTRL | Qt::Key_I));
    RichEditUnderline1 = makeAction(this, "RichEditUnderline1", "Aláhúzott", QKeySequence(Qt::CTRL | Qt::Key_U));
    RichEditStrikeOut1 = makeAction(this, "RichEditStrikeOut1", "Áthúzott", QKeySequence());
    RichEditBullets1 = makeAction(this, "RichEditBullets1", "Bekezdésjel", QKeySequence());
    RichEditAlignLeft1 = makeAction(this, "RichEditAlignLeft1", "Balra igazít", QKeySequence());
    RichEditAlignCenter1 = makeAction(this, "RichEditAlignCenter1", "Középre igazít", QKeySequence());
    RichEditAlignRight1 = makeAction(this, "RichEditAlignRight1", "Jobbra igazít", QKeySequence());
    aUj = makeAction(this, "aUj", "Üres lap", QKeySequence(Qt::CTRL | Qt::Key_N));
    aMegnyit = makeAction(this, "aMegnyit", "Megnyitás", QKeySequence(Qt::CTRL | Qt::Key_O));
    aMent = makeAction(this, "aMent", "Mentés file-ba", QKeySequence(Qt::CTRL | Qt::Key_S));
    aElfogad = makeAction(this, "aElfogad", "Elfogad", QKeySequence());
    aMegsem = makeAction(this, "aMegsem", "Mégsem", QKeySequence());  // Esc closes the dialog
    // Ctrl+B and Ctrl+I belong to bold and italic; one key fires one command.
    aBetuTipus = makeAction(this, "aBetuTipus", "Betűtípus", QKeySequence());
    aBetuSzin = makeAction(this, "aBetuSzin", "Betű színe", QKeySequence());
    for (QAction* a : {RichEditBold1, RichEditItalic1, RichEditUnderline1, RichEditStrikeOut1, RichEditBullets1,
                       RichEditAlignLeft1, RichEditAlignCenter1, RichEditAlignRight1})
        a->setCheckable(true);

    connect(EditCut1, &QAction::triggered, RichEdit1, &QTextEdit::cut);
    connect(EditCopy1, &QAction::triggered, RichEdit1, &QTextEdit::copy);
    connect(EditPaste1, &QAction::triggered, RichEdit1, &QTextEdit::paste);
    connect(EditSelectAll1, &QAction::triggered, RichEdit1, &QTextEdit::selectAll);
    connect(EditUndo1, &QAction::triggered, RichEdit1, &QTextEdit::undo);
    connect(RichEditBold1, &QAction::triggered, this, [this](bool on) {
        applyFormat([on](QTextCharFormat& f) { f.setFontWeight(on ? QFont::Bold : QFont::Normal); });
    });
    connect(RichEditItalic1, &QAction::triggered, this,
            [this](bool on) { applyFormat([on](QTextCharFormat& f) { f.setFontItalic(on); }); });
    connect(RichEditUnderline1, &QAction::triggered, this,
            [this](bool on) { applyFormat([on](QTextCharFormat& f) { f.setFontUnderline(on); }); });
    connect(RichEditStrikeOut1, &QAction::triggered, this,
            [this](bool on) { applyFormat([on](QTextCharFormat& f) { f.setFontStrikeOut(on); }); });
    connect(RichEditBullets1, &QAction::triggered, this, &Tfrm_Korlevel_Szerkeszt::toggleBullets);
    connect(RichEditAlignLeft1, &QAction::triggered, this, [this] { RichEdit1->setAlignment(Qt::AlignLeft); showSelectionFormat(); });
    connect(RichEditAlignCenter1, &QAction::triggered, this, [this] { RichEdit1->setAlignment(Qt::AlignHCenter); showSelectionFormat(); });
    connect(RichEditAlignRight1, &QAction::triggered, this, [this] { RichEdit1->setAlignment(Qt::AlignRight); showSelectionFormat(); });
    connect(aUj, &QAction::triggered, RichEdit1, &QTextEdit::clear);
    connect(aMegnyit, &QAction::triggered, this, &Tfrm_Korlevel_Szerkeszt::aMegnyitExecute);
    connect(aMent, &QAction::triggered, this, &Tfrm_Korlevel_Szerkeszt::aMentExecute);
    connect(aElfogad, &QAction::triggered, this, &Tfrm_Korlevel_Szerkeszt::aElfogadExecute);
    connect(aMegsem, &QAction::triggered, this, &QDialog::reject);
    connect(aBetuTipus, &QAction::triggered, this, &Tfrm_Korlevel_Szerkeszt::aBetuTipusExecute);
    connect(aBetuSzin, &QAction::triggered, this, &Tfrm_Korlevel_Szerkeszt::aBetuSzinExecute);

    FontName = new QFontComboBox(this);
    FontName->setObjectName("FontName");
    FontName->setFixedWidth(170);
    FontSize = new QComboBox(this);
    FontSize->setObjectName("FontSize");
    FontSize->setEditable(true);
    FontSize->setFixedWidth(56);
    for (int s : QFontDatabase::standardSizes()) FontSize->addItem(QString::number(s));
    // Leaving (or confirming) a box applies it to the selection.
    connect(FontName, &QComboBox::activated, this, [this] {
        const QString family = FontName->currentFont().family();
        applyFormat([family](QTextCharFormat& f) { f.setFontFamilies({family}); });
    });
    connect(FontSize->lineEdit(), &QLineEdit::editingFinished, this, [this] {
        bool ok = false;
        const double size = FontSize->currentText().replace(',', '.').toDouble(&ok);
        if (ok && size >= 1 && size <= 1638) applyFormat([size](QTextCharFormat& f) { f.setFontPointSize(size); });
        else showSelectionFormat();
    });

    // Two rows, so every command shows without an overflow menu: the file,
    // clipboard and font commands, then the formats and the closing ones.
    ToolBar1 = new QToolBar(this);
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
    for (QAction* a : {aUj, aMegnyit, aMent}) ToolBar1->addAction(a);
    ToolBar1->addSeparator();
    for (QAction* a : {EditCut1, EditCopy1, EditPaste1, EditUndo1}) ToolBar1->addAction(a);
    ToolBar1->addSeparator();
    ToolBar1->addWidget(FontName);
    ToolBar1->addWidget(FontSize);
    ToolBar1->addSeparator();
    ToolBar1->addAction(aBetuTipus);
    ToolBar1->addAction(aBetuSzin);
    ToolBar2 = new QToolBar(this);
    ToolBar2->setToolButtonStyle(Qt::ToolButtonTextOnly);
    for (QAction* a : {RichEditBold1, RichEditItalic1, RichEditUnderline1, RichEditStrikeOut1}) ToolBar2->addAction(a);
    ToolBar2->addSeparator();
    ToolBar2->addAction(RichEditBullets1);
    ToolBar2->addSeparator();
    for (QAction* a : {RichEditAlignLeft1, RichEditAlignCenter1, RichEditAlignRight1}) ToolBar2->addAction(a);
    ToolBar2->addSeparator();
    ToolBar2->addAction(aElfogad);
    ToolBar2->addAction(aMegsem);

    auto* top = new QWidget(this);
    auto* topLayout = new QHBoxLayout(top);
    topLayout->setContentsMargins(8, 4, 8, 4);
    topLayout->addWidget(new QLabel("rövid leírás", top));
    DBEdit1 = new DBEdit(top);
    DBEdit1->setObjectName("DBEdit1");
    DBEdit1->setDataSet(tbl);
    DBEdit1->setDataField("rovid");
    topLayout->addWidget(DBEdit1, 1);

    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName("ListBox1");
    ListBox1->addItems(fieldNames);
    ListBox1->setFixedWidth(150);
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, &Tfrm_Korlevel_Szerkeszt::ListBox1DblClick);

    auto* body = new QHBoxLayout;
    body->setSpacing(0);
    body->addWidget(RichEdit1, 1);
    body->addWidget(ListBox1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ToolBar1);
    layout->addWidget(ToolBar2);
    layout->addWidget(top);
    layout->addLayout(body, 1);

    const QString text = tbl->fieldByName("szoveg")->asString();
    if (!text.isEmpty()) ReadRtf(TemplateBytes(text), *RichEdit1->document());
    RichEdit1->document()->setModified(false);
    connect(RichEdit1, &QTextEdit::currentCharFormatChanged, this, &Tfrm_Korlevel_Szerkeszt::showSelectionFormat);
    connect(RichEdit1, &QTextEdit::cursorPositionChanged, this, &Tfrm_Korlevel_Szerkeszt::showSelectionFormat);
    showSelectionFormat();
}

void Tfrm_Korlevel_Szerkeszt::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    SetMenuStyle(this);
    RichEdit1->setFocus();
}

void Tfrm_Korlevel_Szerkeszt::applyFormat(const std::function<void(QTextCharFormat&)>& change)
{
    QTextCharFormat f;
    change(f);
    RichEdit1->mergeCurrentCharFormat(f);
    showSelectionFormat();
}

void Tfrm_Korlevel_Szerkeszt::showSelectionFormat()
{
    const QTextCharFormat f = RichEdit1->currentCharFormat();
    const QFont font = f.font();
    const QStringList families = f.fontFamilies().toStringList();
    const QString family = families.isEmpty() ? RichEdit1->document()->defaultFont().family() : families.first();
    const QSignalBlocker b1(FontName), b2(FontSize);
    FontName->setCurrentFont(QFont(family));
    const double size = f.fontPointSize() > 0 ? f.fontPointSize() : RichEdit1->document()->defaultFont().pointSizeF();
    FontSize->setEditText(QString::number(size));
    RichEditBold1->setChecked(font.bold());
    RichEditItalic1->setChecked(font.italic());
    RichEditUnderline1->setChecked(font.underline());
    RichEditStrikeOut1->setChecked(font.strikeOut());
    RichEditBullets1->setChecked(RichEdit1->textCursor().currentList() != nullptr);
    const Qt::Alignment a = RichEdit1->alignment() & Qt::AlignHorizontal_Mask;
    RichEditAlignCenter1->setChecked(a & Qt::AlignHCenter);
    RichEditAlignRight1->setChecked(a & Qt::AlignRight);
    RichEditAlignLeft1->setChecked(!(a & (Qt::AlignHCenter | Qt::AlignRight)));
}

void Tfrm_Korlevel_Szerkeszt::toggleBullets()
{
    QTextCursor c = RichEdit1->textCursor();
    if (c.currentList()) {
        // Every selected paragraph leaves the list.
        const int from = c.document()->findBlock(c.selectionStart()).blockNumber();
        const int to = c.document()->findBlock(c.selectionEnd()).blockNumber();
        for (int n = from; n <= to; ++n) {
            const QTextBlock b = c.document()->findBlockByNumber(n);
            if (b.textList()) b.textList()->remove(b);
            QTextCursor bc(b);
            QTextBlockFormat bf = b.blockFormat();
            bf.setIndent(0);
            bc.setBlockFormat(bf);
        }
    } else {
        c.createList(QTextListFormat::ListDisc);
    }
    showSelectionFormat();
}

void Tfrm_Korlevel_Szerkeszt::ListBox1DblClick()
{
    QListWidgetItem* item = ListBox1->currentItem();
    if (!item) return;
    RichEdit1->textCursor().insertText("[" + item->text() + "]");
    RichEdit1->setFocus();
}

void Tfrm_Korlevel_Szerkeszt::aBetuTipusExecute()
{
    const std::optional<QFont> font = interaction().chooseFont(this, RichEdit1->currentCharFormat().font());
    if (!font) return;
    applyFormat([&](QTextCharFormat& f) {
        f.setFontFamilies({font->family()});
        f.setFontPointSize(font->pointSizeF());
        f.setFontWeight(font->weight());
        f.setFontItalic(font->italic());
        f.setFontUnderline(font->underline());
        f.setFontStrikeOut(font->strikeOut());
    });
}

void Tfrm_Korlevel_Szerkeszt::aBetuSzinExecute()
{
    const QColor now = RichEdit1->currentCharFormat().foreground().color();
    const std::optional<QColor> colour = interaction().chooseColor(this, now);
    if (!colour) return;
    applyFormat([&](QTextCharFormat& f) { f.setForeground(*colour); });
}

void Tfrm_Korlevel_Szerkeszt::aMegnyitExecute()
{
    const QString path = interaction().openFileName(this, "Megnyitás", QString(), kFileFilter);
    if (path.isEmpty()) return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ShowError("A fájl nem nyitható meg: " + path + "\n" + file.errorString(), this);
        return;
    }
    const QByteArray bytes = file.readAll();
    if (IsRtf(bytes)) ReadRtf(bytes, *RichEdit1->document());
    else RichEdit1->setPlainText(plainFileText(bytes));
}

void Tfrm_Korlevel_Szerkeszt::aMentExecute()
{
    SaveOptions options;
    options.defaultSuffix = "rtf";
    const QString path = interaction().saveFileName(this, "Mentés file-ba", QString(), kFileFilter, options);
    if (path.isEmpty()) return;
    QFile file(path);
    const QByteArray rtf = WriteRtf(*RichEdit1->document());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(rtf) != rtf.size() || !file.flush()) {
        ShowError("A fájl nem írható: " + path + "\n" + file.errorString(), this);
        return;
    }
}

void Tfrm_Korlevel_Szerkeszt::aElfogadExecute()
{
    try {
        tbl_->fieldByName("szoveg")->setValue(TemplateText(WriteRtf(*RichEdit1->document())));
        tbl_->post();
        tbl_->flushBuffers();
    } catch (const DbError& e) {
        ShowRefusedInput(e.message(), this);
        return;
    }
    accept();
}
