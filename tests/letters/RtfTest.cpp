// The RTF reader and writer: round trips of every formatting the letter
// editor offers, and templates as other word processors write them.
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <gtest/gtest.h>

#include "widgets/Rtf.h"

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

namespace {

const QString kLetters = QStringLiteral("őűŐŰ");

QTextDocument* read(const QByteArray& rtf)
{
    static QTextDocument doc;
    ReadRtf(rtf, doc);
    return &doc;
}

QTextCharFormat formatAt(const QTextDocument& doc, const QString& text)
{
    const QTextCursor c = doc.find(text);
    EXPECT_FALSE(c.isNull()) << text.toStdString();
    return c.charFormat();
}

TEST(RtfTest, EveryCharacterFormatSurvivesARoundTrip)
{
    QTextDocument doc;
    QTextCursor c(&doc);
    auto put = [&](const QString& text, const std::function<void(QTextCharFormat&)>& set) {
        QTextCharFormat f;
        f.setFontFamilies({"Arial"});
        f.setFontPointSize(10);
        set(f);
        c.insertText(text, f);
    };
    put("sima" + kLetters, [](QTextCharFormat&) {});
    put("félkövér" + kLetters, [](QTextCharFormat& f) { f.setFontWeight(QFont::Bold); });
    put("dőlt" + kLetters, [](QTextCharFormat& f) { f.setFontItalic(true); });
    put("aláhúzott" + kLetters, [](QTextCharFormat& f) { f.setFontUnderline(true); });
    put("áthúzott" + kLetters, [](QTextCharFormat& f) { f.setFontStrikeOut(true); });
    put("nagy" + kLetters, [](QTextCharFormat& f) { f.setFontPointSize(17.5); });
    put("piros" + kLetters, [](QTextCharFormat& f) { f.setForeground(QColor(200, 10, 20)); });
    put("kiemelt" + kLetters, [](QTextCharFormat& f) { f.setBackground(QColor(255, 255, 0)); });
    put("Courier" + kLetters, [](QTextCharFormat& f) { f.setFontFamilies({"Courier New"}); });
    put("felső", [](QTextCharFormat& f) { f.setVerticalAlignment(QTextCharFormat::AlignSuperScript); });

    const QByteArray rtf = WriteRtf(doc);
    EXPECT_TRUE(rtf.contains("\\ansicpg1250"));
    EXPECT_TRUE(rtf.contains("\\fcharset238"));
    EXPECT_TRUE(rtf.contains("\\'f5\\'fb\\'d5\\'db"));  // őűŐŰ in Windows-1250
    for (char ch : rtf) EXPECT_LT(static_cast<unsigned char>(ch), 0x80);

    const QTextDocument& back = *read(rtf);
    EXPECT_EQ(back.toPlainText(), doc.toPlainText());
    EXPECT_FALSE(formatAt(back, "sima").fontWeight() >= QFont::DemiBold);
    EXPECT_EQ(formatAt(back, "sima").fontFamilies().toStringList(), QStringList{"Arial"});
    EXPECT_DOUBLE_EQ(formatAt(back, "sima").fontPointSize(), 10);
    EXPECT_GE(formatAt(back, "félkövér").fontWeight(), QFont::Bold);
    EXPECT_TRUE(formatAt(back, "dőlt").fontItalic());
    EXPECT_FALSE(formatAt(back, "félkövér").fontItalic());
    EXPECT_TRUE(formatAt(back, "aláhúzott").fontUnderline());
    EXPECT_TRUE(formatAt(back, "áthúzott").fontStrikeOut());
    EXPECT_DOUBLE_EQ(formatAt(back, "nagy").fontPointSize(), 17.5);
    EXPECT_EQ(formatAt(back, "piros").foreground().color(), QColor(200, 10, 20));
    EXPECT_EQ(formatAt(back, "kiemelt").background().color(), QColor(255, 255, 0));
    EXPECT_EQ(formatAt(back, "Courier").fontFamilies().toStringList(), QStringList{"Courier New"});
    EXPECT_EQ(formatAt(back, "felső").verticalAlignment(), QTextCharFormat::AlignSuperScript);
    // Written again, the same bytes: nothing drifts from save to save.
    EXPECT_EQ(WriteRtf(back), rtf);
}

TEST(RtfTest, ParagraphsAlignmentListsTabsAndBreaksSurviveARoundTrip)
{
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText(kLetters + "\tbalra");
    QTextBlockFormat centre;
    centre.setAlignment(Qt::AlignHCenter);
    c.insertBlock(centre);
    c.insertText(QString("közép") + QChar::LineSeparator + "második sor");
    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight);
    right.setLeftMargin(20);
    c.insertBlock(right);
    c.insertText("jobbra");
    c.insertBlock(QTextBlockFormat());
    c.createList(QTextListFormat::ListDisc);
    c.insertText("első pont");
    c.insertBlock();
    c.insertText("második pont");
    c.insertBlock(QTextBlockFormat());
    c.createList(QTextListFormat::ListDecimal);
    c.insertText("számozott");
    c.insertBlock(QTextBlockFormat());
    c.insertBlock(QTextBlockFormat());
    c.insertText("{kapcsos} \\ jel ☺");

    const QTextDocument& back = *read(WriteRtf(doc));
    ASSERT_EQ(back.blockCount(), doc.blockCount());
    EXPECT_EQ(back.toPlainText(), doc.toPlainText());
    EXPECT_EQ(back.findBlockByNumber(0).text(), kLetters + "\tbalra");
    EXPECT_TRUE(back.findBlockByNumber(1).text().contains(QChar::LineSeparator));
    EXPECT_EQ(back.findBlockByNumber(1).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(back.findBlockByNumber(2).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_DOUBLE_EQ(back.findBlockByNumber(2).blockFormat().leftMargin(), 20);
    const QTextList* bullets = back.findBlockByNumber(3).textList();
    ASSERT_NE(bullets, nullptr);
    EXPECT_EQ(bullets->format().style(), QTextListFormat::ListDisc);
    EXPECT_EQ(back.findBlockByNumber(4).textList(), bullets);
    ASSERT_NE(back.findBlockByNumber(5).textList(), nullptr);
    EXPECT_EQ(back.findBlockByNumber(5).textList()->format().style(), QTextListFormat::ListDecimal);
    EXPECT_EQ(back.findBlockByNumber(6).textList(), nullptr);
    EXPECT_TRUE(back.findBlockByNumber(6).text().isEmpty());
    EXPECT_EQ(back.findBlockByNumber(7).text(), "{kapcsos} \\ jel ☺");
}

TEST(RtfTest, AnEmptyDocumentStaysEmpty)
{
    QTextDocument doc;
    const QTextDocument& back = *read(WriteRtf(doc));
    EXPECT_EQ(back.blockCount(), 1);
    EXPECT_TRUE(back.toPlainText().isEmpty());
    EXPECT_TRUE(read("")->toPlainText().isEmpty());
}

TEST(RtfTest, ReadsLettersByTheFontsCharacterSet)
{
    // A Hungarian font (238) and a western one (0) with the same bytes, and
    // a Cyrillic one: each byte is read in its own font's code page.
    const QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset238 Arial CE;}"
        "{\\f1\\froman\\fcharset0 Times New Roman;}{\\f2\\fcharset204 Arial Cyr;}}\n"
        "\\pard\\f0\\fs20 \\'f5\\'fb\\'d5\\'db\\par\n"
        "\\f1 \\'f5\\'fb\\par\n"
        "\\f2 \\'c0\\'e1\\par\n}";
    const QTextDocument& back = *read(rtf);
    EXPECT_EQ(back.findBlockByNumber(0).text(), kLetters);
    EXPECT_EQ(back.findBlockByNumber(1).text(), QStringLiteral("õû"));
    EXPECT_EQ(back.findBlockByNumber(2).text(), QStringLiteral("Аб"));
    EXPECT_EQ(formatAt(back, kLetters).fontFamilies().toStringList(), QStringList{"Arial CE"});
    EXPECT_DOUBLE_EQ(formatAt(back, kLetters).fontPointSize(), 10);
    // No \fcharset at all: the document's \ansicpg decides.
    EXPECT_EQ(read("{\\rtf1\\ansi\\ansicpg1250 \\'f5\\'fb}")->toPlainText(), QStringLiteral("őű"));
}

TEST(RtfTest, ReadsUnicodeWithItsFallbackSkipped)
{
    // \uc1 is the default; \uc2 makes two fallback characters; a \'xx and a
    // control word count as one; a group's end stops the skipping.
    const QByteArray rtf =
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}"
        "a\\u337?b\\u369\\'fbc{\\uc2\\u336??d\\u368\\'db\\'dbe}\\u-3?f{\\u8364}g}";
    EXPECT_EQ(read(rtf)->toPlainText(), QStringLiteral("aőbűcŐdŰe\uFFFDf€g"));
}

TEST(RtfTest, SkipsWhatIsNotTextOfTheLetter)
{
    const QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fnil\\fcharset238{\\*\\panose 020b0604}Arial;}}"
        "{\\colortbl;\\red255\\green0\\blue0;}"
        "{\\stylesheet{\\s0 Normal;}}{\\info{\\title Cím}{\\author Valaki}}"
        "{\\*\\generator Szövegszerkesztő}{\\*\\ismeretlen {\\belső szöveg}}"
        "{\\header fejléc}"
        "\\pard Eleje {\\pict\\wmetafile8 0102030405}"
        "{\\*\\shppict{\\pict\\pngblip 89504e47}}{\\nonshppict{\\pict ffff}}"
        "{\\pict\\bin3 {}}} ut\\'e1na "
        "{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt {\\cf1 hivatkoz\\'e1s}}}"
        "{\\*\\bkmkstart b}v\\'e9ge\\par}";
    const QTextDocument& back = *read(rtf);
    EXPECT_EQ(back.toPlainText(), "Eleje  utána hivatkozás" "vége");
    EXPECT_EQ(formatAt(back, "hivatkozás").foreground().color(), QColor(255, 0, 0));
}

TEST(RtfTest, ReadsTheListsOfOtherWordProcessors)
{
    // Old-style paragraph numbering as small editors write it, and list
    // tables with overrides (level formats 23: bullet, 0: decimal).
    const QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg1250{\\fonttbl{\\f0\\fcharset238 Arial;}{\\f1\\fcharset2 Symbol;}}"
        "{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc23{\\leveltext\\'01\\u-3913 ?;}"
        "{\\levelnumbers;}}{\\listname ;}\\listid100}"
        "{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}}\\listid200}}"
        "{\\*\\listoverridetable{\\listoverride\\listid200\\listoverridecount0\\ls1}"
        "{\\listoverride\\listid100\\listoverridecount0\\ls2}}"
        "\\pard{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'b7}}"
        "\\fi-720\\li720 pont egy\\par{\\pntext\\f1\\'b7\\tab}pont kett\\'f5\\par"
        "\\pard sima\\par"
        "\\pard\\ls1\\ilvl0{\\listtext 1.\\tab}sz\\'e1m egy\\par{\\listtext 2.\\tab}sz\\'e1m kett\\'f5\\par"
        "\\pard\\ls2{\\listtext \\'b7\\tab}goly\\'f3\\par}";
    const QTextDocument& back = *read(rtf);
    ASSERT_EQ(back.blockCount(), 6);
    EXPECT_EQ(back.findBlockByNumber(0).text(), "pont egy");
    ASSERT_NE(back.findBlockByNumber(0).textList(), nullptr);
    EXPECT_EQ(back.findBlockByNumber(0).textList()->format().style(), QTextListFormat::ListDisc);
    EXPECT_EQ(back.findBlockByNumber(1).textList(), back.findBlockByNumber(0).textList());
    EXPECT_EQ(back.findBlockByNumber(2).textList(), nullptr);
    ASSERT_NE(back.findBlockByNumber(3).textList(), nullptr);
    EXPECT_EQ(back.findBlockByNumber(3).textList()->format().style(), QTextListFormat::ListDecimal);
    EXPECT_EQ(back.findBlockByNumber(4).text(), "szám kettő");
    ASSERT_NE(back.findBlockByNumber(5).textList(), nullptr);
    EXPECT_EQ(back.findBlockByNumber(5).textList()->format().style(), QTextListFormat::ListDisc);
}

TEST(RtfTest, MalformedInputReadsWhatItCan)
{
    EXPECT_EQ(read("{\\rtf1 nyitva marad")->toPlainText(), "nyitva marad");
    EXPECT_EQ(read("{\\rtf1 a}}}} b")->toPlainText(), "a b");
    EXPECT_EQ(read("{\\rtf1 \\'zz\\'4")->toPlainText(), "zz4");
    EXPECT_EQ(read("{\\rtf1 x\\bin999999999")->toPlainText(), "x");
    EXPECT_EQ(read(QByteArray(100000, '{') + "m\\'e9ly" + QByteArray(100000, '}'))->toPlainText(), "mély");
    EXPECT_EQ(read("{\\rtf1 \\fs-99999999999999 \\u99999999999 k}")->blockCount(), 1);
    EXPECT_FALSE(IsRtf("sima szöveg"));
    EXPECT_TRUE(IsRtf("\r\n {\\rtf1}"));
}

TEST(RtfTest, PlainTextIsWrittenSoAnyReaderShowsItAsTyped)
{
    EXPECT_EQ(RtfPlainText("a\\b{c}d"), "a\\\\b\\{c\\}d");
    EXPECT_EQ(RtfPlainText("1\r\n2\n3\r4"), "1\\line 2\\line 3\\line 4");
    EXPECT_EQ(RtfPlainText("ő"), "{\\uc1 \\u337\\'f5}");
    // Put into a template whose font is western and whose \uc is 2, the
    // letters still read back as written.
    const QString value = "Kovács Ödön [Mobil] {x} \\ ☺\nÚj sor";
    const QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fcharset0 Arial;}}\\uc2\\f0 <" +
                           RtfPlainText(value) + ">\\par}";
    EXPECT_EQ(read(rtf)->toPlainText(), "<" + value + ">");
}

}  // namespace
