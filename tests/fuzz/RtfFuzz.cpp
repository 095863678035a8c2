// libFuzzer target over the RTF reader: whatever the bytes, reading gives a
// document and never crashes or hangs; the document written again and read
// back must not either.
#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>

#include "widgets/Rtf.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray rtf(reinterpret_cast<const char*>(data), qsizetype(size));
    QTextDocument doc;
    ReadRtf(rtf, doc);
    QTextDocument again;
    ReadRtf(WriteRtf(doc), again);
    return 0;
}
