#include "FilterDialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include "app/Main/Beall.h"
#include "widgets/Form.h"

namespace {

constexpr int kWidth = 318;
constexpr int kRowHeight = 28;

}  // namespace

FilterDialog::FilterDialog(const QString& formName, const QString& title, FilterMemory& memory,
                           const QList<PickRow>& rows, const QList<OtherTick>& others, QWidget* parent)
    : QDialog(parent), memory_(memory), rows_(rows)
{
    setObjectName(formName);
    setWindowTitle(title);
    ticks_.resize(int(memory.ticks.size()));
    auto makeTick = [this](QWidget* parent, const char* caption, int index) {
        auto* c = new QCheckBox(caption, parent);
        c->setObjectName(QString("CheckBox%1").arg(index + 1));
        c->setChecked(memory_.ticks[size_t(index)]);
        ticks_[index] = c;
        return c;
    };

    GroupBox1 = new QGroupBox("Csoportosítás", this);
    GroupBox1->setObjectName("GroupBox1");
    const int rowsHeight = 22 + kRowHeight * int(rows.size());
    GroupBox1->setGeometry(8, 6, kWidth - 16, rowsHeight);
    for (int r = 0; r < rows.size(); ++r) {
        const PickRow& row = rows[r];
        const int y = 22 + kRowHeight * r;
        QCheckBox* c = makeTick(GroupBox1, row.caption, row.tick);
        c->setLayoutDirection(Qt::RightToLeft);  // the caption on the box's left
        c->setGeometry(8, y, 92, 21);
        auto* name = new QLineEdit(memory.names[size_t(row.id)], GroupBox1);
        name->setObjectName(QString("Edit%1").arg(r + 1));
        name->setReadOnly(true);
        name->setFocusPolicy(Qt::NoFocus);
        name->setGeometry(108, y, 156, 21);
        names_.append(name);
        auto* b = new QPushButton("...", GroupBox1);
        b->setObjectName(QString("BitBtn%1").arg(r + 1));
        b->setAutoDefault(false);
        b->setGeometry(270, y - 1, 24, 23);
        connect(b, &QPushButton::clicked, this, [this, r] { pick(r); });
    }

    GroupBox2 = new QGroupBox("Egyéb", this);
    GroupBox2->setObjectName("GroupBox2");
    const int othersHeight = 22 + 22 * int(others.size());
    GroupBox2->setGeometry(8, 12 + rowsHeight, kWidth - 16, othersHeight);
    for (int i = 0; i < others.size(); ++i) makeTick(GroupBox2, others[i].caption, others[i].tick)->setGeometry(12, 20 + 22 * i, 200, 19);

    const int buttonsTop = 22 + rowsHeight + othersHeight;
    Button1 = PlaceButton(this, "Button1", "Szűrés", kWidth - 166, buttonsTop);
    Button2 = PlaceButton(this, "Button2", "Mégsem", kWidth - 83, buttonsTop);
    connect(Button1, &QPushButton::clicked, this, [this] {
        store();
        accept();
    });
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    SetFixedDialogFrame(this, QSize(kWidth, buttonsTop + 33));
}

void FilterDialog::pick(int row)
{
    const PickRow& r = rows_[row];
    QString name;
    const int key = r.pick(memory_.ids[size_t(r.id)], name, this);
    if (key == -1) return;
    memory_.ids[size_t(r.id)] = key;
    memory_.names[size_t(r.id)] = name;
    names_[row]->setText(name);
    if (focusAfterPick) {
        if (QWidget* next = focusAfterPick(row)) next->setFocus();
    }
}

void FilterDialog::store()
{
    for (int i = 0; i < ticks_.size(); ++i)
        if (ticks_[i]) memory_.ticks[size_t(i)] = ticks_[i]->isChecked();
}
