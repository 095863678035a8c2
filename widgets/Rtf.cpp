#include "Rtf.h"

#include <QColor>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <vector>

namespace {

// ---------------------------------------------------------------- common

constexpr int kTwipsPerPixel = 15;  // 1440 twips an inch, 96 pixels an inch
constexpr int kDefaultHalfPoints = 24;

// The code page of an RTF font character set (\fcharsetN); 0 when unknown.
int codePageOfCharset(int charset)
{
    switch (charset) {
    case 0: return 1252;
    case 2: return 1252;  // symbol fonts: the bytes stand for themselves
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 255: return 437;
    default: return 0;
    }
}

QByteArray codecName(int codePage)
{
    switch (codePage) {
    case 437: return "IBM437";
    case 850: return "IBM850";
    case 932: return "Shift_JIS";
    case 936: return "GBK";
    case 949: return "windows-949";
    case 950: return "Big5";
    case 1361: return "johab";
    case 10000: return "macintosh";
    default: return "windows-" + QByteArray::number(codePage);
    }
}

// Windows-1250 byte of a character, or -1.
int cp1250Byte(char16_t ch)
{
    static const std::vector<int16_t> table = [] {
        std::vector<int16_t> t(0x10000, -1);
        QStringDecoder dec("windows-1250");
        for (int b = 0x80; b < 0x100; ++b) {
            const QString s = dec.decode(QByteArray(1, char(b)));
            if (s.size() == 1 && s.at(0) != QChar::ReplacementCharacter && t[s.at(0).unicode()] < 0)
                t[s.at(0).unicode()] = int16_t(b);
        }
        return t;
    }();
    return ch < 0x80 ? ch : table[ch];
}

void appendHexByte(QByteArray& out, int b)
{
    static const char hex[] = "0123456789abcdef";
    out += "\\'";
    out += hex[(b >> 4) & 15];
    out += hex[b & 15];
}

void appendUnicode(QByteArray& out, char16_t unit)
{
    out += "\\u";
    out += QByteArray::number(int(int16_t(unit)));
}

// ---------------------------------------------------------------- reader

int hexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

struct CharState {
    int font = -1;
    int halfPoints = kDefaultHalfPoints;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int foreground = 0;  // colour table index; 0 is the automatic colour
    int background = 0;
    int vertical = 0;    // 1 superscript, -1 subscript
    bool operator==(const CharState&) const = default;
};

enum class ListKind { None, Bullet, Decimal, LowerAlpha, UpperAlpha, LowerRoman, UpperRoman };

struct ParaState {
    Qt::Alignment align = Qt::AlignLeft;
    int left = 0, right = 0, first = 0, before = 0, after = 0;  // twips
    ListKind pnKind = ListKind::None;  // from \pn
    int pnLevel = 0;
    int ls = 0;     // from \lsN: a list override's number
    int level = 0;  // \ilvlN
};

enum class Dest { Text, FontTable, ColorTable, ListTable, ListOverrides, Pn, Skip };

struct GroupState {
    CharState ch;
    ParaState para;
    Dest dest = Dest::Text;
    int uc = 1;
};

struct FontDef {
    QString name;
    int codePage = 0;
};

struct ListDef {
    long long id = 0;
    std::vector<int> formats;  // \levelnfcN per level
};

ListKind kindOfNfc(int nfc)
{
    switch (nfc) {
    case 0: return ListKind::Decimal;
    case 1: return ListKind::UpperRoman;
    case 2: return ListKind::LowerRoman;
    case 3: return ListKind::UpperAlpha;
    case 4: return ListKind::LowerAlpha;
    default: return ListKind::Bullet;
    }
}

QTextListFormat::Style styleOf(ListKind kind)
{
    switch (kind) {
    case ListKind::Decimal: return QTextListFormat::ListDecimal;
    case ListKind::LowerAlpha: return QTextListFormat::ListLowerAlpha;
    case ListKind::UpperAlpha: return QTextListFormat::ListUpperAlpha;
    case ListKind::LowerRoman: return QTextListFormat::ListLowerRoman;
    case ListKind::UpperRoman: return QTextListFormat::ListUpperRoman;
    default: return QTextListFormat::ListDisc;
    }
}

// Destinations whose content is not text of the document.
bool isSkippedDestination(const QByteArray& word)
{
    static const char* const words[] = {
        "author", "bkmkend", "bkmkstart", "buptim", "colorschememapping", "comment", "company",
        "creatim", "datafield", "datastore", "do", "doccomm", "falt", "fchars", "filetbl",
        "fldinst", "footer", "footerf", "footerl", "footerr", "footnote", "formfield", "ftncn",
        "ftnsep", "ftnsepc", "generator", "header", "headerf", "headerl", "headerr", "info",
        "keywords", "latentstyles", "lchars", "levelnumbers", "leveltext", "listname",
        "listpicture", "listtext", "mmathPr", "nonshppict", "object", "operator", "panose",
        "pgdsctbl", "pict", "pntext", "pntxta", "pntxtb", "printim", "private", "protusertbl",
        "revtbl", "revtim", "rsidtbl", "shp", "shpinst", "shppict", "stylesheet", "subject",
        "tc", "template", "themedata", "title", "txe", "userprops", "xe", "xmlnstbl",
    };
    return std::any_of(std::begin(words), std::end(words),
                       [&](const char* w) { return word == w; });
}

class RtfReader {
public:
    RtfReader(const QByteArray& data, QTextDocument& doc) : in_(data), doc_(doc), cursor_(&doc) {}

    void run();

private:
    static constexpr int kMaxDepth = 400;

    GroupState& st() { return stack_.back(); }
    void openGroup();
    void closeGroup();
    void controlWord(const QByteArray& word, bool hasParam, int param);
    void controlSymbol(char c);
    void textByte(char c);
    void character(const QString& s);
    bool consumeSkip();
    void flushBytes();
    void endParagraph();
    void emitParagraph(bool force);
    QTextCharFormat charFormat(const CharState& c) const;
    int codePageNow() const;
    QStringDecoder& decoder(int codePage);
    ListKind listKindOf(const ParaState& p) const;

    const QByteArray& in_;
    QTextDocument& doc_;
    QTextCursor cursor_;
    std::vector<GroupState> stack_;
    int overflowDepth_ = 0;  // groups deeper than kMaxDepth, only counted
    bool starPending_ = false;
    int skip_ = 0;           // fallback characters still to skip after \uN
    int ansiCodePage_ = 1252;
    int defaultFont_ = 0;
    std::map<int, FontDef> fonts_;
    int fontBeingRead_ = -1;
    std::vector<QColor> colours_;
    int red_ = 0, green_ = 0, blue_ = 0;
    bool colourSet_ = false;
    std::vector<ListDef> lists_;
    std::map<int, long long> overrides_;  // \ls number -> \listid
    long long overrideListId_ = 0;
    size_t pnOwner_ = 0;                  // the group a \pn destination sets up

    QByteArray pendingBytes_;
    int pendingCodePage_ = 0;
    struct Run {
        QString text;
        CharState ch;
    };
    std::vector<Run> runs_;
    bool firstBlock_ = true;
    QTextList* list_ = nullptr;
    ListKind listKind_ = ListKind::None;
    int listLevel_ = 0;
};

void RtfReader::run()
{
    doc_.clear();
    cursor_ = QTextCursor(&doc_);
    stack_.push_back(GroupState{});
    const qsizetype n = in_.size();
    qsizetype i = 0;
    while (i < n) {
        const char c = in_[i];
        if (c == '{') {
            flushBytes();
            openGroup();
            ++i;
        } else if (c == '}') {
            flushBytes();
            closeGroup();
            ++i;
        } else if (c == '\\') {
            ++i;
            if (i >= n) break;
            const char d = in_[i];
            if ((d >= 'a' && d <= 'z') || (d >= 'A' && d <= 'Z')) {
                const qsizetype start = i;
                while (i < n && i - start < 32 &&
                       ((in_[i] >= 'a' && in_[i] <= 'z') || (in_[i] >= 'A' && in_[i] <= 'Z')))
                    ++i;
                const QByteArray word = in_.mid(start, i - start);
                bool negative = false;
                bool hasParam = false;
                long long value = 0;
                if (i < n && in_[i] == '-') {
                    negative = true;
                    ++i;
                }
                while (i < n && in_[i] >= '0' && in_[i] <= '9') {
                    if (value < 100000000) value = value * 10 + (in_[i] - '0');
                    hasParam = true;
                    ++i;
                }
                if (i < n && in_[i] == ' ') ++i;
                int param = int(negative ? -value : value);
                if (word == "bin" && hasParam) {
                    flushBytes();
                    i += std::clamp<qsizetype>(param, 0, n - i);  // binary data, never text
                    continue;
                }
                if (consumeSkip()) continue;
                controlWord(word, hasParam, param);
            } else if (d == '\'') {
                ++i;
                const int high = i < n ? hexDigit(in_[i]) : -1;
                const int low = i + 1 < n ? hexDigit(in_[i + 1]) : -1;
                if (high < 0 || low < 0) continue;
                i += 2;
                if (!consumeSkip()) textByte(char(high * 16 + low));
            } else {
                ++i;
                if (!consumeSkip()) controlSymbol(d);
            }
        } else if (c == '\r' || c == '\n') {
            ++i;
        } else {
            ++i;
            if (!consumeSkip()) textByte(c);
        }
    }
    flushBytes();
    emitParagraph(false);
}

// Characters after \uN that stand in for it in readers without Unicode.
bool RtfReader::consumeSkip()
{
    if (skip_ <= 0) return false;
    --skip_;
    return true;
}

void RtfReader::openGroup()
{
    skip_ = 0;
    if (overflowDepth_ > 0 || stack_.size() >= kMaxDepth) {
        ++overflowDepth_;
        return;
    }
    stack_.push_back(stack_.back());
    starPending_ = false;
}

void RtfReader::closeGroup()
{
    skip_ = 0;
    starPending_ = false;
    if (overflowDepth_ > 0) {
        --overflowDepth_;
        return;
    }
    if (stack_.size() <= 1) return;
    const Dest ended = st().dest;
    stack_.pop_back();
    if (ended == Dest::FontTable && st().dest != Dest::FontTable) fontBeingRead_ = -1;
}

int RtfReader::codePageNow() const
{
    const auto f = fonts_.find(stack_.back().ch.font);
    if (f != fonts_.end() && f->second.codePage != 0) return f->second.codePage;
    return ansiCodePage_;
}

QStringDecoder& RtfReader::decoder(int codePage)
{
    // Opening a converter costs more than reading a letter: they are kept
    // for the program's life (all reading happens on the one GUI thread).
    static std::map<int, QStringDecoder> decoders;
    auto it = decoders.find(codePage);
    if (it == decoders.end()) {
        QStringDecoder dec(codecName(codePage).constData());
        if (!dec.isValid()) dec = QStringDecoder("windows-1252");
        it = decoders.emplace(codePage, std::move(dec)).first;
    }
    it->second.resetState();
    return it->second;
}

void RtfReader::textByte(char c)
{
    const Dest d = st().dest;
    if (d == Dest::Text || d == Dest::FontTable) {
        const int cp = d == Dest::FontTable && fontBeingRead_ >= 0 && fonts_[fontBeingRead_].codePage
            ? fonts_[fontBeingRead_].codePage
            : codePageNow();
        if (!pendingBytes_.isEmpty() && cp != pendingCodePage_) flushBytes();
        pendingCodePage_ = cp;
        pendingBytes_ += c;
        if (d == Dest::FontTable && c == ';') flushBytes();
        return;
    }
    if (d == Dest::ColorTable && c == ';') {
        colours_.push_back(colourSet_ ? QColor(red_, green_, blue_) : QColor());
        red_ = green_ = blue_ = 0;
        colourSet_ = false;
    }
}

void RtfReader::flushBytes()
{
    if (pendingBytes_.isEmpty()) return;
    const QString s = decoder(pendingCodePage_).decode(pendingBytes_);
    pendingBytes_.clear();
    character(s);
}

void RtfReader::character(const QString& s)
{
    if (!pendingBytes_.isEmpty()) flushBytes();
    const Dest d = st().dest;
    if (d == Dest::FontTable) {
        if (fontBeingRead_ < 0) return;
        QString& name = fonts_[fontBeingRead_].name;
        for (QChar ch : s) {
            if (ch == u';') fontBeingRead_ = -1;
            else if (fontBeingRead_ >= 0 && name.size() < 128) name += ch;
        }
        return;
    }
    if (d != Dest::Text) return;
    if (!runs_.empty() && runs_.back().ch == st().ch) runs_.back().text += s;
    else runs_.push_back(Run{s, st().ch});
}

void RtfReader::controlSymbol(char c)
{
    switch (c) {
    case '\\':
    case '{':
    case '}':
        textByte(c);
        break;
    case '*':
        starPending_ = true;
        break;
    case '~':
        character(QString(QChar(0x00A0)));
        break;
    case '_':
        character(QString(QChar(0x2011)));
        break;
    case '\r':
    case '\n':
        flushBytes();
        endParagraph();
        break;
    default:
        break;  // \- (optional hyphen), \: and the like show nothing
    }
}

void RtfReader::endParagraph()
{
    if (st().dest == Dest::Text) emitParagraph(true);
}

ListKind RtfReader::listKindOf(const ParaState& p) const
{
    if (p.ls > 0) {
        const auto o = overrides_.find(p.ls);
        if (o != overrides_.end()) {
            for (const ListDef& l : lists_) {
                if (l.id != o->second) continue;
                if (p.level >= 0 && p.level < int(l.formats.size()))
                    return kindOfNfc(l.formats[size_t(p.level)]);
            }
        }
        return ListKind::Bullet;
    }
    return p.pnKind;
}

QTextCharFormat RtfReader::charFormat(const CharState& c) const
{
    QTextCharFormat f;
    const auto font = fonts_.find(c.font);
    if (font != fonts_.end() && !font->second.name.trimmed().isEmpty())
        f.setFontFamilies(QStringList{font->second.name.trimmed()});
    f.setFontPointSize(std::clamp(c.halfPoints, 2, 3276) / 2.0);
    f.setFontWeight(c.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(c.italic);
    f.setFontUnderline(c.underline);
    f.setFontStrikeOut(c.strike);
    if (c.foreground > 0 && c.foreground < int(colours_.size()) && colours_[size_t(c.foreground)].isValid())
        f.setForeground(colours_[size_t(c.foreground)]);
    if (c.background > 0 && c.background < int(colours_.size()) && colours_[size_t(c.background)].isValid())
        f.setBackground(colours_[size_t(c.background)]);
    if (c.vertical > 0) f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    if (c.vertical < 0) f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    return f;
}

// Puts the paragraph read so far into the document. Without `force` (the
// end of the input) an empty paragraph after the last \par is not one.
void RtfReader::emitParagraph(bool force)
{
    if (!force && runs_.empty()) return;
    const ParaState& p = st().para;
    QTextBlockFormat bf;
    bf.setAlignment(p.align);
    bf.setLeftMargin(p.left / double(kTwipsPerPixel));
    bf.setRightMargin(p.right / double(kTwipsPerPixel));
    bf.setTextIndent(p.first / double(kTwipsPerPixel));
    bf.setTopMargin(p.before / double(kTwipsPerPixel));
    bf.setBottomMargin(p.after / double(kTwipsPerPixel));
    const QTextCharFormat blockChar = charFormat(runs_.empty() ? st().ch : runs_.front().ch);
    if (firstBlock_) {
        cursor_.setBlockFormat(bf);
        cursor_.setBlockCharFormat(blockChar);
        firstBlock_ = false;
    } else {
        cursor_.insertBlock(bf, blockChar);
    }
    for (const Run& r : runs_) cursor_.insertText(r.text, charFormat(r.ch));
    runs_.clear();

    const ListKind kind = listKindOf(p);
    const int level = std::clamp(p.ls > 0 ? p.level : p.pnLevel, 0, 8);
    if (kind == ListKind::None) {
        list_ = nullptr;
    } else if (list_ && listKind_ == kind && listLevel_ == level) {
        list_->add(cursor_.block());
    } else {
        QTextListFormat lf;
        lf.setStyle(styleOf(kind));
        lf.setIndent(level + 1);
        list_ = cursor_.createList(lf);
        listKind_ = kind;
        listLevel_ = level;
    }
}

void RtfReader::controlWord(const QByteArray& w, bool hasParam, int param)
{
    GroupState& g = st();
    const bool star = starPending_;
    starPending_ = false;
    const bool on = !hasParam || param != 0;

    // Destinations first: they decide where the group's text goes.
    if (g.dest == Dest::Skip) return;
    if (w == "fonttbl") { flushBytes(); g.dest = Dest::FontTable; return; }
    if (w == "colortbl") { g.dest = Dest::ColorTable; return; }
    if (w == "listtable") { g.dest = Dest::ListTable; return; }
    if (w == "listoverridetable") { g.dest = Dest::ListOverrides; return; }
    if (w == "pn") {
        pnOwner_ = stack_.size() >= 2 ? stack_.size() - 2 : 0;
        g.dest = Dest::Pn;
        stack_[pnOwner_].para.pnKind = ListKind::Decimal;
        return;
    }
    if (star || isSkippedDestination(w)) {
        flushBytes();
        g.dest = Dest::Skip;
        return;
    }

    switch (g.dest) {
    case Dest::FontTable:
        if (w == "f") {
            fontBeingRead_ = param;
            fonts_[param];
        } else if (w == "fcharset" && fontBeingRead_ >= 0) {
            fonts_[fontBeingRead_].codePage = codePageOfCharset(param);
        } else if (w == "cpg" && fontBeingRead_ >= 0 && param > 0) {
            fonts_[fontBeingRead_].codePage = param;
        } else if (w == "u" && hasParam) {
            character(QString(QChar(char16_t(param))));
            skip_ = g.uc;
        } else if (w == "uc") {
            g.uc = std::max(0, param);
        }
        return;
    case Dest::ColorTable:
        if (w == "red") { red_ = std::clamp(param, 0, 255); colourSet_ = true; }
        else if (w == "green") { green_ = std::clamp(param, 0, 255); colourSet_ = true; }
        else if (w == "blue") { blue_ = std::clamp(param, 0, 255); colourSet_ = true; }
        return;
    case Dest::ListTable:
        if (w == "list") {
            if (lists_.size() < 1000) lists_.push_back(ListDef{});
        } else if (w == "listlevel") {
            if (!lists_.empty() && lists_.back().formats.size() < 9) lists_.back().formats.push_back(23);
        } else if ((w == "levelnfc" || w == "levelnfcn") && !lists_.empty() &&
                   !lists_.back().formats.empty()) {
            lists_.back().formats.back() = param;
        } else if (w == "listid" && !lists_.empty()) {
            lists_.back().id = param;
        }
        return;
    case Dest::ListOverrides:
        if (w == "listid") overrideListId_ = param;
        else if (w == "ls" && overrides_.size() < 1000) overrides_[param] = overrideListId_;
        return;
    case Dest::Pn: {
        ParaState& owner = stack_[pnOwner_].para;
        if (w == "pnlvlblt") owner.pnKind = ListKind::Bullet;
        else if (w == "pnlvl") owner.pnLevel = std::clamp(param - 1, 0, 8);
        else if (w == "pndec" || w == "pnlvlbody") { if (owner.pnKind != ListKind::Bullet) owner.pnKind = ListKind::Decimal; }
        else if (w == "pnucrm") owner.pnKind = ListKind::UpperRoman;
        else if (w == "pnlcrm") owner.pnKind = ListKind::LowerRoman;
        else if (w == "pnucltr") owner.pnKind = ListKind::UpperAlpha;
        else if (w == "pnlcltr") owner.pnKind = ListKind::LowerAlpha;
        return;
    }
    case Dest::Text:
    case Dest::Skip:
        break;
    }

    // Document, paragraph and character properties of the text.
    flushBytes();
    CharState& c = g.ch;
    ParaState& p = g.para;
    if (w == "ansicpg") { if (param > 0) ansiCodePage_ = param; }
    else if (w == "mac") ansiCodePage_ = 10000;
    else if (w == "pc") ansiCodePage_ = 437;
    else if (w == "pca") ansiCodePage_ = 850;
    else if (w == "deff") { defaultFont_ = param; c.font = param; }
    else if (w == "par" || w == "sect" || w == "page" || w == "row") endParagraph();
    else if (w == "line") character(QString(QChar::LineSeparator));
    else if (w == "tab" || w == "cell") character(QStringLiteral("\t"));
    else if (w == "u" && hasParam) { character(QString(QChar(char16_t(param)))); skip_ = g.uc; }
    else if (w == "uc") g.uc = std::clamp(param, 0, 100);
    else if (w == "emdash") character(QString(QChar(0x2014)));
    else if (w == "endash") character(QString(QChar(0x2013)));
    else if (w == "bullet") character(QString(QChar(0x2022)));
    else if (w == "lquote") character(QString(QChar(0x2018)));
    else if (w == "rquote") character(QString(QChar(0x2019)));
    else if (w == "ldblquote") character(QString(QChar(0x201C)));
    else if (w == "rdblquote") character(QString(QChar(0x201D)));
    else if (w == "emspace") character(QString(QChar(0x2003)));
    else if (w == "enspace") character(QString(QChar(0x2002)));
    else if (w == "plain") { c = CharState{}; c.font = defaultFont_; }
    else if (w == "f") c.font = param;
    else if (w == "fs") c.halfPoints = hasParam ? param : kDefaultHalfPoints;
    else if (w == "b") c.bold = on;
    else if (w == "i") c.italic = on;
    else if (w == "ul" || w == "uld" || w == "uldb" || w == "uldash" || w == "ulw" || w == "ulth" ||
             w == "ulwave" || w == "uldashd" || w == "uldashdd" || w == "ulhair")
        c.underline = on;
    else if (w == "ulnone") c.underline = false;
    else if (w == "strike" || w == "striked") c.strike = on;
    else if (w == "cf") c.foreground = param;
    else if (w == "cb" || w == "highlight" || w == "chcbpat") c.background = param;
    else if (w == "super") c.vertical = 1;
    else if (w == "sub") c.vertical = -1;
    else if (w == "nosupersub") c.vertical = 0;
    else if (w == "pard") p = ParaState{};
    else if (w == "ql") p.align = Qt::AlignLeft;
    else if (w == "qc") p.align = Qt::AlignHCenter;
    else if (w == "qr") p.align = Qt::AlignRight;
    else if (w == "qj") p.align = Qt::AlignJustify;
    else if (w == "li") p.left = std::clamp(param, -100000, 100000);
    else if (w == "ri") p.right = std::clamp(param, -100000, 100000);
    else if (w == "fi") p.first = std::clamp(param, -100000, 100000);
    else if (w == "sb") p.before = std::clamp(param, 0, 100000);
    else if (w == "sa") p.after = std::clamp(param, 0, 100000);
    else if (w == "ls") p.ls = param;
    else if (w == "ilvl") p.level = param;
}

// ---------------------------------------------------------------- writer

struct WrittenChar {
    int font = 0;
    int halfPoints = kDefaultHalfPoints;
    bool bold = false, italic = false, underline = false, strike = false;
    int foreground = 0, background = 0, vertical = 0;
    bool operator==(const WrittenChar&) const = default;
};

class RtfWriter {
public:
    explicit RtfWriter(const QTextDocument& doc) : doc_(doc) {}
    QByteArray run();

private:
    int fontIndex(const QString& family);
    int colourIndex(const QColor& c);
    WrittenChar describe(const QTextCharFormat& f);
    void writeChar(QByteArray& out, const WrittenChar& c);
    void writeParagraph(QByteArray& out, const QTextBlock& block);

    const QTextDocument& doc_;
    QStringList fonts_;
    std::vector<QColor> colours_;
    std::optional<WrittenChar> last_;
};

int RtfWriter::fontIndex(const QString& family)
{
    const QString name = family.isEmpty() ? doc_.defaultFont().family() : family;
    const qsizetype at = fonts_.indexOf(name);
    if (at >= 0) return int(at);
    fonts_ << name;
    return int(fonts_.size() - 1);
}

int RtfWriter::colourIndex(const QColor& c)
{
    const QRgb rgb = c.rgb();
    for (size_t i = 0; i < colours_.size(); ++i)
        if (colours_[i].rgb() == rgb) return int(i + 1);
    colours_.push_back(c);
    return int(colours_.size());
}

WrittenChar RtfWriter::describe(const QTextCharFormat& f)
{
    WrittenChar c;
    const QStringList families = f.fontFamilies().toStringList();
    c.font = fontIndex(families.isEmpty() ? QString() : families.first());
    const double points = f.hasProperty(QTextFormat::FontPointSize) ? f.fontPointSize()
                                                                    : doc_.defaultFont().pointSizeF();
    c.halfPoints = points > 0 ? std::clamp(int(points * 2 + 0.5), 2, 3276) : kDefaultHalfPoints;
    c.bold = f.fontWeight() >= QFont::DemiBold;
    c.italic = f.fontItalic();
    c.underline = f.fontUnderline();
    c.strike = f.fontStrikeOut();
    if (f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush)
        c.foreground = colourIndex(f.foreground().color());
    if (f.hasProperty(QTextFormat::BackgroundBrush) && f.background().style() != Qt::NoBrush)
        c.background = colourIndex(f.background().color());
    if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript) c.vertical = 1;
    if (f.verticalAlignment() == QTextCharFormat::AlignSubScript) c.vertical = -1;
    return c;
}

void RtfWriter::writeChar(QByteArray& out, const WrittenChar& c)
{
    if (last_ && *last_ == c) return;
    last_ = c;
    out += "\\plain\\f" + QByteArray::number(c.font) + "\\fs" + QByteArray::number(c.halfPoints);
    if (c.bold) out += "\\b";
    if (c.italic) out += "\\i";
    if (c.underline) out += "\\ul";
    if (c.strike) out += "\\strike";
    if (c.foreground) out += "\\cf" + QByteArray::number(c.foreground);
    if (c.background) out += "\\highlight" + QByteArray::number(c.background);
    if (c.vertical > 0) out += "\\super";
    if (c.vertical < 0) out += "\\sub";
    out += ' ';
}

// Text of the document: code-page letters as \'xx (the fonts are all
// \fcharset238), other characters as \uN with "?" (\uc1 is in force).
void appendDocumentText(QByteArray& out, const QString& text)
{
    for (QChar qc : text) {
        const char16_t ch = qc.unicode();
        if (ch == '\\' || ch == '{' || ch == '}') { out += '\\'; out += char(ch); }
        else if (ch == '\t') out += "\\tab ";
        else if (ch == QChar::LineSeparator || ch == '\n') out += "\\line ";
        else if (ch == 0x00A0) out += "\\~";
        else if (ch < 0x20) continue;
        else if (ch < 0x80) out += char(ch);
        else if (const int b = cp1250Byte(ch); b >= 0) appendHexByte(out, b);
        else { appendUnicode(out, ch); out += '?'; }
    }
}

void RtfWriter::writeParagraph(QByteArray& out, const QTextBlock& block)
{
    const QTextBlockFormat bf = block.blockFormat();
    out += "\\pard";
    const Qt::Alignment a = bf.alignment() & Qt::AlignHorizontal_Mask;
    if (a & Qt::AlignHCenter) out += "\\qc";
    else if (a & Qt::AlignRight) out += "\\qr";
    else if (a & Qt::AlignJustify) out += "\\qj";
    auto twips = [](double px) { return QByteArray::number(qRound(px * kTwipsPerPixel)); };
    if (bf.leftMargin() != 0) out += "\\li" + twips(bf.leftMargin());
    if (bf.rightMargin() != 0) out += "\\ri" + twips(bf.rightMargin());
    if (bf.textIndent() != 0) out += "\\fi" + twips(bf.textIndent());
    if (bf.topMargin() != 0) out += "\\sb" + twips(bf.topMargin());
    if (bf.bottomMargin() != 0) out += "\\sa" + twips(bf.bottomMargin());
    if (QTextList* list = block.textList()) {
        const QTextListFormat lf = list->format();
        const int level = std::clamp(lf.indent() - 1, 0, 8);
        const bool bullet = lf.style() == QTextListFormat::ListDisc ||
                            lf.style() == QTextListFormat::ListCircle ||
                            lf.style() == QTextListFormat::ListSquare;
        // What readers without list support show in front of the item.
        out += bullet ? QByteArray("{\\pntext\\'95\\tab}")
                      : "{\\pntext " + QByteArray::number(list->itemNumber(block) + 1) + ".\\tab}";
        out += "{\\*\\pn";
        switch (lf.style()) {
        case QTextListFormat::ListDecimal: out += "\\pnlvlbody\\pndec"; break;
        case QTextListFormat::ListLowerAlpha: out += "\\pnlvlbody\\pnlcltr"; break;
        case QTextListFormat::ListUpperAlpha: out += "\\pnlvlbody\\pnucltr"; break;
        case QTextListFormat::ListLowerRoman: out += "\\pnlvlbody\\pnlcrm"; break;
        case QTextListFormat::ListUpperRoman: out += "\\pnlvlbody\\pnucrm"; break;
        default: out += "\\pnlvlblt"; break;
        }
        if (level > 0) out += "\\pnlvl" + QByteArray::number(level + 1);
        out += bullet ? "\\pnindent360{\\pntxtb\\'95}}" : "\\pnindent360{\\pntxta .}}";
    }
    last_.reset();  // each paragraph states its own character format
    bool wroteText = false;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment frag = it.fragment();
        if (!frag.isValid()) continue;
        writeChar(out, describe(frag.charFormat()));
        appendDocumentText(out, frag.text());
        wroteText = true;
    }
    if (!wroteText) writeChar(out, describe(block.charFormat()));
}

QByteArray RtfWriter::run()
{
    QByteArray body;
    for (QTextBlock b = doc_.begin(); b.isValid(); b = b.next()) {
        if (b != doc_.begin()) body += "\\par\r\n";
        writeParagraph(body, b);
    }
    if (fonts_.isEmpty()) fontIndex(QString());
    QByteArray out = "{\\rtf1\\ansi\\ansicpg1250\\deff0\\deflang1038{\\fonttbl";
    for (qsizetype i = 0; i < fonts_.size(); ++i) {
        out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset238 ";
        appendDocumentText(out, fonts_[i]);
        out += ";}";
    }
    out += "}\r\n";
    if (!colours_.empty()) {
        out += "{\\colortbl ;";
        for (const QColor& c : colours_)
            out += "\\red" + QByteArray::number(c.red()) + "\\green" + QByteArray::number(c.green()) +
                   "\\blue" + QByteArray::number(c.blue()) + ';';
        out += "}\r\n";
    }
    out += "\\viewkind4\\uc1";
    out += body;
    out += "\\par\r\n}\r\n";
    return out;
}

}  // namespace

bool IsRtf(const QByteArray& data)
{
    return data.trimmed().startsWith("{\\rtf");
}

void ReadRtf(const QByteArray& rtf, QTextDocument& doc)
{
    RtfReader(rtf, doc).run();
}

QByteArray WriteRtf(const QTextDocument& doc)
{
    return RtfWriter(doc).run();
}

QByteArray RtfPlainText(const QString& text)
{
    QByteArray out;
    bool unicode = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t ch = text.at(i).unicode();
        if (ch == '\r') {
            if (i + 1 < text.size() && text.at(i + 1) == u'\n') ++i;
            out += "\\line ";
        } else if (ch == '\n' || ch == QChar::LineSeparator || ch == QChar::ParagraphSeparator) {
            out += "\\line ";
        } else if (ch == '\\' || ch == '{' || ch == '}') {
            out += '\\';
            out += char(ch);
        } else if (ch == '\t') {
            out += "\\tab ";
        } else if (ch < 0x20) {
            continue;
        } else if (ch < 0x80) {
            out += char(ch);
        } else {
            unicode = true;
            appendUnicode(out, ch);
            const int b = cp1250Byte(ch);
            if (b >= 0) appendHexByte(out, b);
            else out += '?';
        }
    }
    return unicode ? "{\\uc1 " + out + '}' : out;
}
