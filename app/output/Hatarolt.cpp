#include "Hatarolt.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>

#include "common/Convert.h"
#include "common/DataSet.h"
#include "common/Interaction.h"
#include "common/Messages.h"
#include "widgets/Form.h"

namespace {

constexpr QChar kSeparators[] = {QLatin1Char(';'), QLatin1Char('\t'), QLatin1Char(','), QLatin1Char('|')};
constexpr QChar kQualifiers[] = {QLatin1Char('"'), QLatin1Char('\''), QChar()};

// Pending input (the stop button) is looked at this often: once per row
// would cost more than the export itself on a long list.
constexpr qint64 kInputIntervalMs = 20;

template <size_t N>
QGroupBox* radioGroup(QWidget* parent, const char* name, const QString& caption, QRect place,
                      QRadioButton* (&buttons)[N], const QStringList& captions, bool across = false)
{
    auto* box = new QGroupBox(caption, parent);
    box->setObjectName(name);
    box->setGeometry(place);
    for (size_t i = 0; i < N; ++i) {
        buttons[i] = new QRadioButton(captions[qsizetype(i)], box);
        buttons[i]->setObjectName(QString("%1_%2").arg(name).arg(i));
        if (across)
            buttons[i]->setGeometry(10 + int(i) * (place.width() / int(N)), 20, place.width() / int(N) - 14, 19);
        else
            buttons[i]->setGeometry(10, 20 + int(i) * 22, place.width() - 16, 19);
    }
    buttons[0]->setChecked(true);
    return box;
}

template <size_t N>
size_t checkedIndex(QRadioButton* const (&buttons)[N])
{
    for (size_t i = 0; i < N; ++i)
        if (buttons[i]->isChecked()) return i;
    return 0;
}

}  // namespace

QString DelimitedCell(const QString& value, const DelimitedFormat& format)
{
    QChar quote = format.qualifier;
    if (quote.isNull()) {
        const bool wouldSplit = value.contains(format.separator) || value.contains(QLatin1Char('"'))
            || value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r'));
        if (!wouldSplit) return value + format.separator;
        quote = QLatin1Char('"');
    }
    QString inner = value;
    inner.replace(quote, QString(2, quote));
    return quote + inner + quote + format.separator;
}

QString DelimitedValue(const DataSet& ds, const Field& field, int row, bool multiLine)
{
    const engine::FieldType type = field.dataType();
    if (type == engine::FieldType::Memo && multiLine) return JoinLines(ds.valueAt(row, field.index()).toString());
    if (engine::isBlobType(type)) return QStringLiteral("BLOB");
    return formatDisplay(ds.valueAt(row, field.index()), type, QString());
}

Tfrm_Hatarolt::Tfrm_Hatarolt(DataSet* dataSet, QWidget* parent) : QDialog(parent), ds_(dataSet)
{
    setObjectName("frm_Hatarolt");
    setWindowTitle("Határolt szöveg export");
    SetFixedDialogFrame(this, QSize(520, 356));

    PlaceLabel(this, "Kiírandó mezők", 8, 8);
    CheckListBox1 = new QListWidget(this);
    CheckListBox1->setObjectName("CheckListBox1");
    CheckListBox1->setGeometry(8, 26, 190, 236);
    if (ds_ && ds_->isActive()) {
        for (const auto& f : ds_->fields()) {
            auto* item = new QListWidgetItem(f->fieldName(), CheckListBox1);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Checked);
        }
    }
    Button4 = new QPushButton("összes", this);
    Button4->setObjectName("Button4");
    Button4->setGeometry(8, 268, 90, 25);
    Button5 = new QPushButton("egyik sem", this);
    Button5->setObjectName("Button5");
    Button5->setGeometry(108, 268, 90, 25);
    auto tickAll = [this](Qt::CheckState state) {
        for (int i = 0; i < CheckListBox1->count(); ++i) CheckListBox1->item(i)->setCheckState(state);
    };
    connect(Button4, &QPushButton::clicked, this, [tickAll] { tickAll(Qt::Checked); });
    connect(Button5, &QPushButton::clicked, this, [tickAll] { tickAll(Qt::Unchecked); });

    PlaceLabel(this, "Fájlnév", 210, 8);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName("Edit1");
    Edit1->setGeometry(210, 26, 270, 21);
    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setObjectName("SpeedButton1");
    SpeedButton1->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    SpeedButton1->setToolTip("Mentés helye");
    SpeedButton1->setGeometry(486, 25, 25, 23);
    connect(SpeedButton1, &QToolButton::clicked, this, &Tfrm_Hatarolt::SpeedButton1Click);

    RadioGroup2 = radioGroup(this, "RadioGroup2", "Határoló karakter", QRect(210, 56, 145, 112), rbSeparator,
                             {"Pontosvessző (;)", "Tabulátor", "Vessző (,)", "Cső (|)"});
    RadioGroup1 = radioGroup(this, "RadioGroup1", "Szövegjelölő", QRect(365, 56, 146, 112), rbQualifier,
                             {"Idézőjel (\")", "Aposztróf (')", "Semmi"});
    rbQualifier[2]->setChecked(true);
    RadioGroup3 = radioGroup(this, "RadioGroup3", "Kódolás", QRect(210, 174, 301, 48), rbEncoding,
                             {"Windows-1250", "UTF-8"}, true);

    Button1 = PlaceButton(this, "Button1", "Export indítás", 210, 236, true);
    Button1->setGeometry(210, 236, 100, 25);
    Button3 = PlaceButton(this, "Button3", "Megállít", 320, 236);
    Button3->setEnabled(false);
    Button2 = PlaceButton(this, "Button2", "Bezár", 436, 236);
    connect(Button1, &QPushButton::clicked, this, &Tfrm_Hatarolt::Button1Click);
    connect(Button3, &QPushButton::clicked, this, [this] { running_ = false; });
    connect(Button2, &QPushButton::clicked, this, &Tfrm_Hatarolt::reject);

    CheckBox1 = new QCheckBox("Többsoros mezőket is kiírja (egy sorba cső karakter választással)", this);
    CheckBox1->setObjectName("CheckBox1");
    CheckBox1->setGeometry(8, 304, 504, 19);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setGeometry(0, 336, 520, 20);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setValue(0);

    Edit1->setFocus();
}

DelimitedFormat Tfrm_Hatarolt::format() const
{
    DelimitedFormat f;
    f.separator = kSeparators[checkedIndex(rbSeparator)];
    f.qualifier = kQualifiers[checkedIndex(rbQualifier)];
    f.multiLine = CheckBox1->isChecked();
    return f;
}

ExportFile::Encoding Tfrm_Hatarolt::encoding() const
{
    return checkedIndex(rbEncoding) == 1 ? ExportFile::Encoding::Utf8 : ExportFile::Encoding::Windows1250;
}

void Tfrm_Hatarolt::reject()
{
    // Closing would free the window under the running export.
    if (!running_) QDialog::reject();
}

void Tfrm_Hatarolt::closeEvent(QCloseEvent* event)
{
    if (running_) event->ignore();
    else QDialog::closeEvent(event);
}

void Tfrm_Hatarolt::setRunning(bool on)
{
    running_ = on;
    Button3->setEnabled(on);
    for (QWidget* w : {static_cast<QWidget*>(Button1), static_cast<QWidget*>(Button2),
                       static_cast<QWidget*>(SpeedButton1)})
        w->setEnabled(!on);
}

void Tfrm_Hatarolt::SpeedButton1Click()
{
    SaveOptions options;
    options.defaultSuffix = "csv";
    const QString name = interaction().saveFileName(
        this, "Mentés másként", ExportPath(Edit1->text()),
        "CSV állományok (*.csv);;Text állományok (*.txt);;Minden állomány (*)", options);
    if (!name.isEmpty()) Edit1->setText(name);
}

void Tfrm_Hatarolt::Button1Click()
{
    if (running_) return;
    if (Edit1->text().isEmpty()) {
        ShowError("Nincs filenév megadva.", this);
        Edit1->setFocus();
        return;
    }
    const QString path = ExportPath(Edit1->text());
    setRunning(true);
    bool stopped = false;
    try {
        const int rows = run(path, &stopped);
        setRunning(false);
        ProgressBar1->setValue(0);
        if (stopped)
            ShowInfo(QString("%1 kész, de az export megállítva: %2 sor került bele.").arg(path).arg(rows), this);
        else
            ShowInfo(path + " kész.", this);
    } catch (const DbError& e) {
        setRunning(false);
        ShowError("Hiba: " + e.message(), this);
    }
}

int Tfrm_Hatarolt::run(const QString& path, bool* stopped)
{
    const DelimitedFormat fmt = format();
    std::vector<const Field*> fields;
    if (ds_ && ds_->isActive()) {
        for (const auto& f : ds_->fields()) {
            const QList<QListWidgetItem*> items = CheckListBox1->findItems(f->fieldName(), Qt::MatchExactly);
            if (!items.isEmpty() && items.first()->checkState() == Qt::Checked) fields.push_back(f.get());
        }
    }
    ExportFile out(path, encoding());
    const int rows = ds_ && ds_->isActive() ? ds_->recordCount() : 0;
    ProgressBar1->setMaximum(std::max(rows, 1));
    ProgressBar1->setValue(0);

    QString line;
    for (const Field* f : fields) line += DelimitedCell(f->displayLabel(), fmt);
    out.writeLine(line);

    QElapsedTimer sinceInput;
    int row = 0;
    for (; row < rows; ++row) {
        if (!sinceInput.isValid() || sinceInput.elapsed() >= kInputIntervalMs) {
            QCoreApplication::processEvents();
            sinceInput.start();
        }
        if (!running_) break;
        ProgressBar1->setValue(row + 1);
        line.resize(0);
        for (const Field* f : fields) line += DelimitedCell(DelimitedValue(*ds_, *f, row, fmt.multiLine), fmt);
        out.writeLine(line);
    }
    *stopped = row < rows;
    if (ds_) CheckRowsStillValid(*ds_);
    out.commit();
    return row;
}

void ShowDelimitedExport(DataSet* dataSet, const QString& defaultFileName, QWidget* owner)
{
    Tfrm_Hatarolt w(dataSet, owner);
    w.Edit1->setText(defaultFileName);
    interaction().runModal(w);
}
