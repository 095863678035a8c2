#include "Fonts.h"

#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>

namespace {

struct Face {
    const char* design;
    const char* substitute;
    const char* files[4];
};

// The regular face of Tahoma only: Wine's bold face draws no heavier, so
// bold is drawn from the regular one, as on screen.
const Face kFaces[] = {
    {"Tahoma", "Tahoma", {"/usr/share/wine/fonts/tahoma.ttf"}},
    {"Arial", "Liberation Sans",
     {"/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf",
      "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf",
      "/usr/share/fonts/truetype/liberation/LiberationSans-Italic.ttf",
      "/usr/share/fonts/truetype/liberation/LiberationSans-BoldItalic.ttf"}},
    {"Courier New", "Liberation Mono",
     {"/usr/share/fonts/truetype/liberation/LiberationMono-Regular.ttf",
      "/usr/share/fonts/truetype/liberation/LiberationMono-Bold.ttf",
      "/usr/share/fonts/truetype/liberation/LiberationMono-Italic.ttf",
      "/usr/share/fonts/truetype/liberation/LiberationMono-BoldItalic.ttf"}},
    {"Times New Roman", "Liberation Serif",
     {"/usr/share/fonts/truetype/liberation/LiberationSerif-Regular.ttf",
      "/usr/share/fonts/truetype/liberation/LiberationSerif-Bold.ttf",
      "/usr/share/fonts/truetype/liberation/LiberationSerif-Italic.ttf",
      "/usr/share/fonts/truetype/liberation/LiberationSerif-BoldItalic.ttf"}},
};

}  // namespace

void RegisterReportFonts()
{
    static bool done = false;
    if (done) return;
    done = true;
    const QStringList installed = QFontDatabase::families();
    for (const Face& face : kFaces) {
        const bool known = installed.contains(face.design, Qt::CaseInsensitive) ||
                           installed.contains(face.substitute, Qt::CaseInsensitive);
        for (const char* file : face.files)
            if (!known && file && QFile::exists(file)) QFontDatabase::addApplicationFont(file);
        if (QString(face.design) != face.substitute)
            QFont::insertSubstitution(face.design, face.substitute);
    }
}

QString PrintedFamily(const QString& designName)
{
    RegisterReportFonts();
    return QFontInfo(QFont(designName)).family();
}
