#include "Grid2Html.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QStyle>
#include <QToolButton>

#include <cmath>

#include "ExportFile.h"
#include "common/Convert.h"
#include "common/DataSet.h"
#include "common/Interaction.h"
#include "common/Messages.h"
#include "common/Settings.h"
#include "engine/Codepage.h"
#include "widgets/DBGrid.h"
#include "widgets/Form.h"

namespace {

// The characters above ASCII that Windows-1250 can hold.
const QSet<char16_t>& windows1250Characters()
{
    static const QSet<char16_t> set = [] {
        QSet<char16_t> s;
        for (int b = 0x80; b <= 0xFF; ++b) {
            const QString c = QString::fromStdString(engine::cp1250ToUtf8(std::string(1, char(b))));
            if (c.size() == 1 && c[0] != QChar::ReplacementCharacter) s.insert(c[0].unicode());
        }
        return s;
    }();
    return set;
}

QString alignmentPrefix(Qt::Alignment a)
{
    if (a & Qt::AlignRight) return QStringLiteral("<p align=\"right\">");
    if (a & Qt::AlignHCenter) return QStringLiteral("<p align=\"center\">");
    return {};
}

struct HtmlColumn {
    const Field* field;
    QString width;  // "25"
    QString align;
    QString title;
};

}  // namespace

QString HtmlText(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        switch (c.unicode()) {
        case '&': out += QStringLiteral("&amp;"); break;
        case '<': out += QStringLiteral("&lt;"); break;
        case '>': out += QStringLiteral("&gt;"); break;
        case '"': out += QStringLiteral("&quot;"); break;
        default:
            if (c.unicode() < 0x80 || windows1250Characters().contains(c.unicode())) {
                out += c;
            } else if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
                out += QString("&#%1;").arg(QChar::surrogateToUcs4(c, text[i + 1]));
                ++i;
            } else {
                out += QString("&#%1;").arg(c.unicode());
            }
        }
    }
    return out;
}

int ColumnPercent(int columnWidth, int gridWidth)
{
    if (gridWidth <= 0) return 0;
    // nearbyint rounds in the default mode, to nearest with halves to even.
    return int(std::nearbyint(100.0 * columnWidth / gridWidth));
}

QString HtmlFileName(const QString& title) { return FileNameForm(title + ".htm"); }

void WriteGridHtml(const DBGrid& grid, const QString& title, const QString& subtitle, const QDateTime& now,
                   ExportFile& out)
{
    const DataSet* ds = grid.dataSet();
    std::vector<HtmlColumn> columns;
    if (ds && ds->isActive()) {
        for (int c = 0; c < grid.gridColumnCount(); ++c) {
            const int f = grid.gridModel()->fieldIndex(c);
            if (f < 0) continue;
            const Field* field = ds->fields()[size_t(f)].get();
            columns.push_back({field, QString::number(ColumnPercent(grid.columnWidth(c), grid.width())),
                               alignmentPrefix(field->alignment()), HtmlText(grid.columnTitle(c))});
        }
    }
    const QString t = HtmlText(title);
    for (const QString& line : {
             QStringLiteral("<html>"),
             QString(),
             QStringLiteral("<head>"),
             QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1250\">"),
             "<title>" + t + "</title>",
             QStringLiteral("<meta name=\"GENERATOR\" content=\"Tarvio Bt. Grid2Html\">"),
             QStringLiteral("</head>"),
             QString(),
             QStringLiteral("<body>"),
             "<p><strong><font face=\"Verdana\" size=\"2\">" + t + "</font></strong></p>",
             "<p><strong><font face=\"Verdana\" size=\"1\">" + HtmlText(subtitle) + "</font></strong></p>",
             QStringLiteral("<div align=\"center\"><center>"),
             QString(),
             QStringLiteral("<table border=\"1\" cellpadding=\"3\" cellspacing=\"0\" width=\"90%\">"),
             QStringLiteral("  <tr>"),
         })
        out.writeLine(line);
    for (const HtmlColumn& c : columns)
        out.writeLine("    <td width=\"" + c.width
                      + "%\" bgcolor=\"#C0C0C0\"><font face=\"Verdana\" size=\"1\"><strong>" + c.align + c.title
                      + "</strong></font></td>");
    out.writeLine(QStringLiteral("  </tr>"));

    const int rows = ds && ds->isActive() ? ds->recordCount() : 0;
    for (int row = 0; row < rows; ++row) {
        out.writeLine(QStringLiteral("  <tr>"));
        for (const HtmlColumn& c : columns) {
            const QString text =
                formatDisplay(ds->valueAt(row, c.field->index()), c.field->dataType(), c.field->displayFormat());
            out.writeLine("    <td width=\"" + c.width + "%\"><font face=\"Verdana\" size=\"1\">" + c.align
                          + HtmlText(text) + "</font></td>");
        }
        out.writeLine(QStringLiteral("  </tr>"));
    }
    if (ds) CheckRowsStillValid(*ds);
    for (const QString& line : {
             QStringLiteral("</table>"),
             QStringLiteral("</center></div>"),
             QString(),
             QString("<p><font face=\"Verdana\" size=\"1\">Összesen %1 sor.</font></p>").arg(rows),
             QString(),
             "<p><font face=\"Verdana\" size=\"1\">" + now.toString("yyyy.MM.dd HH:mm:ss") + "</font></p>",
             QString(),
             QStringLiteral("<p><font face=\"Courier New\" size=\"1\">Nyilvex " NYILVEX_VERSION "</font></p>"),
             QString(),
             QStringLiteral("</body>"),
             QStringLiteral("</html>"),
         })
        out.writeLine(line);
}

Tfrm_Grid2Html::Tfrm_Grid2Html(DBGrid* grid, const QString& title, const QString& subtitle, QWidget* parent)
    : QDialog(parent), grid_(grid), title_(title), subtitle_(subtitle)
{
    setObjectName("frm_Grid2Html");
    setWindowTitle("HTML export");
    SetFixedDialogFrame(this, QSize(397, 113));

    PlaceLabel(this, "Mentés helye", 8, 8);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName("Edit1");
    Edit1->setGeometry(8, 26, 350, 21);
    BitBtn1 = new QToolButton(this);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    BitBtn1->setToolTip("Mentés helye");
    BitBtn1->setGeometry(364, 25, 25, 23);
    connect(BitBtn1, &QToolButton::clicked, this, &Tfrm_Grid2Html::BitBtn1Click);

    CheckBox1 = new QCheckBox("Mentés után megnyitás", this);
    CheckBox1->setObjectName("CheckBox1");
    CheckBox1->setGeometry(8, 56, 250, 19);
    CheckBox1->setChecked(true);

    Button1 = PlaceButton(this, "Button1", "OK", 232, 82, true);
    Button2 = PlaceButton(this, "Button2", "Mégsem", 314, 82);
    connect(Button1, &QPushButton::clicked, this, &Tfrm_Grid2Html::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    Edit1->setText(HtmlFileName(title));
    Edit1->setFocus();
}

void Tfrm_Grid2Html::BitBtn1Click()
{
    SaveOptions options;
    options.defaultSuffix = "htm";
    const QString name = interaction().saveFileName(this, "Mentés másként", ExportPath(Edit1->text()),
                                                    "HTML dokumentum (*.htm *.html)", options);
    if (!name.isEmpty()) Edit1->setText(name);
}

void Tfrm_Grid2Html::Button1Click()
{
    if (Edit1->text().isEmpty()) {
        ShowError("Nincs filenév megadva.", this);
        Edit1->setFocus();
        return;
    }
    const QString path = ExportPath(Edit1->text());
    try {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ExportFile out(path, ExportFile::Encoding::Windows1250);
        WriteGridHtml(*grid_, title_, subtitle_, QDateTime::currentDateTime(), out);
        out.commit();
        QApplication::restoreOverrideCursor();
    } catch (const DbError& e) {
        QApplication::restoreOverrideCursor();
        ShowError("Hiba: " + e.message(), this);
        return;
    }
    accept();
    if (CheckBox1->isChecked()) {
        const QString file = QFileInfo(path).absoluteFilePath();
        if (!interaction().openWithShell(file, ProgramFolder())) ShowError("Nem sikerült megnyitni: " + file, this);
    }
}

void ShowHtmlExport(DBGrid* grid, const QString& title, const QString& subtitle, QWidget* owner)
{
    Tfrm_Grid2Html w(grid, title, subtitle, owner ? owner : grid->window());
    interaction().runModal(w);
}
