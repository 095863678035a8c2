#include "Readme.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QVBoxLayout>

Tfrm_Readme::Tfrm_Readme(QWidget* parent) : QDialog(parent)
{
    setObjectName("frm_Readme");
    setWindowTitle("Fontos információk");
    resize(552, 399);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setReadOnly(true);
    Memo1->setFont(QFont("Courier New", 9));
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setPlainText(ReadmeText());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Memo1);
}

QString ReadmeText()
{
    Q_INIT_RESOURCE(dialogs);
    QFile f(":/readme.txt");
    f.open(QIODevice::ReadOnly);
    return QString::fromUtf8(f.readAll());
}
