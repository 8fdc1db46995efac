// Fonts: the tool's own fonts are registered once, and every font's GDI figures come from the
// OS/2 and head tables of its file, so text takes the line heights it was designed with.
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QRawFont>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <tuple>

#include "platform/ui/FontTables.h"
#include "platform/ui/Graphics.h"

namespace {

struct FontFile {
    std::string family;
    bool bold = false;
    std::string path;
};

struct FontState {
    bool registered = false;
    std::vector<FontFile> files;
    std::map<std::tuple<std::string, bool, bool>, std::optional<TFontFileMetrics>> metrics;
};

FontState& State() {
    static FontState s;
    return s;
}

const char* const kFontFolder = "/usr/share/wine/fonts/";
const char* const kToolFonts[] = {"tahoma.ttf", "tahomabd.ttf"};

std::optional<TFontFileMetrics> ReadFileMetrics(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    if (!f) return std::nullopt;
    std::string data((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    return ParseFontFileMetrics(data);
}

QFont BaseQFont(const TFont& font) {
    QFont q(QString::fromStdString(font.GetName()));
    q.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoSubpixelAntialias));
    q.setHintingPreference(QFont::PreferFullHinting);
    q.setKerning(false);
    q.setBold(font.GetStyle().Contains(fsBold));
    q.setItalic(font.GetStyle().Contains(fsItalic));
    q.setUnderline(font.GetStyle().Contains(fsUnderline));
    q.setStrikeOut(font.GetStyle().Contains(fsStrikeOut));
    return q;
}

// The file figures of the face this font resolves to: our own files first, else the tables
// Qt loaded for the face it picked.
std::optional<TFontFileMetrics> FileMetricsFor(const TFont& font) {
    RegisterApplicationFonts();
    bool bold = font.GetStyle().Contains(fsBold);
    bool italic = font.GetStyle().Contains(fsItalic);
    auto key = std::make_tuple(font.GetName(), bold, italic);
    auto& cache = State().metrics;
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
    std::optional<TFontFileMetrics> m;
    QString want = QString::fromStdString(font.GetName());
    const FontFile* best = nullptr;
    for (const FontFile& f : State().files)
        if (QString::fromStdString(f.family).compare(want, Qt::CaseInsensitive) == 0 &&
            (!best || f.bold == bold))
            best = &f;
    if (best) m = ReadFileMetrics(best->path);
    if (!m && QGuiApplication::instance()) {
        QFont q = BaseQFont(font);
        q.setPixelSize(64);
        QRawFont raw = QRawFont::fromFont(q);
        if (raw.isValid()) {
            QByteArray head = raw.fontTable("head"), hhea = raw.fontTable("hhea"), os2 = raw.fontTable("OS/2");
            m = ParseFontTables(std::string_view(head.constData(), size_t(head.size())),
                                std::string_view(hhea.constData(), size_t(hhea.size())),
                                std::string_view(os2.constData(), size_t(os2.size())));
        }
    }
    cache[key] = m;
    return m;
}

TGdiFontSize SizeFor(const TFont& font) {
    if (auto m = FileMetricsFor(font)) return GdiScale(*m, font.GetHeight());
    // No tables: a plain guess (ascent 5/6 of a cell).
    TGdiFontSize s;
    int h = font.GetHeight() == 0 ? -11 : font.GetHeight();
    s.emPixels = h < 0 ? -h : h * 5 / 6;
    s.ascent = h < 0 ? -h : h * 5 / 6;
    s.descent = h < 0 ? (-h + 3) / 5 : h - s.ascent;
    s.internalLeading = s.ascent + s.descent - s.emPixels;
    s.aveCharWidth = s.emPixels / 2;
    s.maxCharWidth = s.emPixels;
    return s;
}

}  // namespace

void RegisterApplicationFonts() {
    FontState& s = State();
    if (s.registered || !QGuiApplication::instance()) return;
    s.registered = true;
    for (const char* name : kToolFonts) {
        std::string path = std::string(kFontFolder) + name;
        int id = QFontDatabase::addApplicationFont(QString::fromStdString(path));
        if (id < 0) continue;
        for (const QString& fam : QFontDatabase::applicationFontFamilies(id))
            s.files.push_back({fam.toStdString(), std::string(name).find("bd") != std::string::npos, path});
    }
}

QFont TFont::ToQFont() const {
    QFont q = BaseQFont(*this);
    q.setPixelSize(std::max(1, SizeFor(*this).emPixels));
    return q;
}

TTextMetric GetFontTextMetric(const TFont& font) {
    TGdiFontSize s = SizeFor(font);
    TTextMetric tm;
    tm.tmAscent = s.ascent;
    tm.tmDescent = s.descent;
    tm.tmHeight = s.ascent + s.descent;
    tm.tmInternalLeading = s.internalLeading;
    tm.tmExternalLeading = 0;
    tm.tmAveCharWidth = s.aveCharWidth;
    tm.tmMaxCharWidth = s.maxCharWidth;
    return tm;
}

std::string FontFamilyInUse(const TFont& font) {
    if (!QGuiApplication::instance()) return {};
    return QFontInfo(font.ToQFont()).family().toStdString();
}
