#include "platform/rtl/IniDocument.h"

#include <unordered_set>

#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Utf8.h"

namespace {

// Lookups in one section answered by scanning it before its keys are indexed.
constexpr unsigned kScanLookups = 16;

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

std::string OneLine(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c == '\r' || c == '\n') c = ' ';
    return r;
}

bool SameName(std::string_view a, std::string_view b) {
    return AnsiSameText(TrimBlanks(a), TrimBlanks(b));
}

// Two names are the same name exactly when their folds are equal.
std::string Fold(std::string_view name) {
    name = TrimBlanks(name);
    std::string r;
    r.reserve(name.size());
    for (size_t i = 0; i < name.size();) utf8::Append(r, utf8::ToLower(utf8::Next(name, i)));
    return r;
}

std::uint32_t Offset(std::string_view part, std::string_view whole) {
    return static_cast<std::uint32_t>(part.data() - whole.data());
}

}  // namespace

TIniDocument::Line TIniDocument::Classify(std::string raw) {
    Line line;
    line.raw = std::move(raw);
    const std::string_view whole = line.raw;
    std::string_view t = TrimBlanks(whole);
    if (t.empty() || t.front() == ';') return line;
    if (t.front() == '[') {
        std::string_view inner = t.substr(1);
        size_t close = inner.rfind(']');
        if (close != std::string_view::npos) inner = inner.substr(0, close);
        inner = TrimBlanks(inner);
        line.kind = Kind::Section;
        line.nameAt = Offset(inner, whole);
        line.nameLen = static_cast<std::uint32_t>(inner.size());
        return line;
    }
    size_t eq = t.find('=');
    if (eq == std::string_view::npos) return line;
    std::string_view key = TrimBlanks(t.substr(0, eq));
    if (key.empty()) return line;
    std::string_view value = TrimBlanks(t.substr(eq + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    line.kind = Kind::Key;
    line.nameAt = Offset(key, whole);
    line.nameLen = static_cast<std::uint32_t>(key.size());
    line.valueAt = Offset(value, whole);
    line.valueLen = static_cast<std::uint32_t>(value.size());
    return line;
}

void TIniDocument::Parse(std::string_view text) {
    FLines.clear();
    Changed();
    FEol = Eol::None;
    FBom = text.substr(0, 3) == "\xEF\xBB\xBF";
    if (FBom) text.remove_prefix(3);
    size_t i = 0;
    while (i < text.size()) {
        size_t start = i;
        while (i < text.size() && text[i] != '\r' && text[i] != '\n') ++i;
        Line line = Classify(std::string(text.substr(start, i - start)));
        if (i < text.size() && text[i] == '\r') {
            ++i;
            line.eol = Eol::Cr;
            if (i < text.size() && text[i] == '\n') {
                ++i;
                line.eol = Eol::CrLf;
            }
        } else if (i < text.size()) {
            ++i;
            line.eol = Eol::Lf;
        }
        if (FEol == Eol::None) FEol = line.eol;
        FLines.push_back(std::move(line));
    }
    if (FEol == Eol::None) FEol = Eol::CrLf;
}

std::string TIniDocument::Text() const {
    static const char* const kEnds[] = {"", "\r\n", "\n", "\r"};
    size_t size = 3;
    for (const Line& l : FLines) size += l.raw.size() + 2;
    std::string r;
    r.reserve(size);
    if (FBom) r = "\xEF\xBB\xBF";
    for (const Line& l : FLines) {
        r += l.raw;
        r += kEnds[static_cast<int>(l.eol == Eol::None ? FEol : l.eol)];
    }
    return r;
}

void TIniDocument::Changed() const {
    FIndexed = false;
    FSections.clear();
}

TIniDocument::SectionIndex* TIniDocument::Section(std::string_view section) const {
    if (!FIndexed) {
        for (size_t i = 0; i < FLines.size(); ++i)
            if (FLines[i].kind == Kind::Section) FSections[Fold(FLines[i].Name())].headers.push_back(i);
        FIndexed = true;
    }
    auto it = FSections.find(Fold(section));
    return it == FSections.end() ? nullptr : &it->second;
}

size_t TIniDocument::SectionEnd(size_t header) const {
    size_t j = header + 1;
    while (j < FLines.size() && FLines[j].kind != Kind::Section) ++j;
    return j;
}

std::vector<std::pair<size_t, size_t>> TIniDocument::Ranges(std::string_view section) const {
    std::vector<std::pair<size_t, size_t>> r;
    if (const SectionIndex* index = Section(section))
        for (size_t header : index->headers) r.emplace_back(header, SectionEnd(header));
    return r;
}

size_t TIniDocument::FindKey(std::string_view section, std::string_view key) const {
    SectionIndex* index = Section(section);
    if (!index) return std::string::npos;
    if (!index->keysBuilt && ++index->lookups > kScanLookups) {
        for (auto [b, e] : Ranges(section))
            for (size_t i = b + 1; i < e; ++i)
                if (FLines[i].kind == Kind::Key) index->keys.emplace(Fold(FLines[i].Name()), i);  // the first counts
        index->keysBuilt = true;
    }
    if (index->keysBuilt) {
        auto it = index->keys.find(Fold(key));
        return it == index->keys.end() ? std::string::npos : it->second;
    }
    for (auto [b, e] : Ranges(section))
        for (size_t i = b + 1; i < e; ++i)
            if (FLines[i].kind == Kind::Key && SameName(FLines[i].Name(), key)) return i;
    return std::string::npos;
}

std::optional<std::string> TIniDocument::Value(std::string_view section, std::string_view key) const {
    const size_t i = FindKey(section, key);
    if (i == std::string::npos) return std::nullopt;
    return std::string(FLines[i].Value());
}

std::vector<std::string> TIniDocument::Keys(std::string_view section) const {
    std::vector<std::string> keys;
    std::unordered_set<std::string> seen;
    for (auto [b, e] : Ranges(section))
        for (size_t i = b + 1; i < e; ++i)
            if (FLines[i].kind == Kind::Key && seen.insert(Fold(FLines[i].Name())).second)
                keys.emplace_back(FLines[i].Name());
    return keys;
}

std::vector<std::string> TIniDocument::KeyValues(std::string_view section) const {
    std::vector<std::string> r;
    std::unordered_set<std::string> seen;
    for (auto [b, e] : Ranges(section))
        for (size_t i = b + 1; i < e; ++i)
            if (FLines[i].kind == Kind::Key && seen.insert(Fold(FLines[i].Name())).second)
                r.push_back(std::string(FLines[i].Name()) + "=" + std::string(FLines[i].Value()));
    return r;
}

std::vector<std::string> TIniDocument::Sections() const {
    std::vector<std::string> r;
    std::unordered_set<std::string> seen;
    for (const Line& l : FLines)
        if (l.kind == Kind::Section && seen.insert(Fold(l.Name())).second) r.emplace_back(l.Name());
    return r;
}

void TIniDocument::SetValue(std::string_view section, std::string_view key, std::string_view value) {
    std::string k = OneLine(TrimBlanks(key));
    std::string v = OneLine(value);
    const size_t found = FindKey(section, k);
    if (found != std::string::npos) {
        // Same name on the same line: the index stays right.
        Line& l = FLines[found];
        const Eol eol = l.eol;
        l = Classify(std::string(l.Name()) + "=" + v);
        l.eol = eol;
        return;
    }
    auto ranges = Ranges(section);
    Changed();
    Line line = Classify(k + "=" + v);
    if (!ranges.empty()) {
        // After the last non-blank line of the first such section.
        auto [b, e] = ranges.front();
        size_t at = e;
        while (at > b + 1 && TrimBlanks(FLines[at - 1].raw).empty()) --at;
        FLines.insert(FLines.begin() + static_cast<long>(at), std::move(line));
        return;
    }
    if (!FLines.empty() && !TrimBlanks(FLines.back().raw).empty()) FLines.push_back(Classify(""));
    FLines.push_back(Classify("[" + OneLine(TrimBlanks(section)) + "]"));
    FLines.push_back(std::move(line));
}

bool TIniDocument::DeleteKey(std::string_view section, std::string_view key) {
    bool changed = false;
    // Lines shift as they go, so look the key up again after every removal.
    for (size_t i = FindKey(section, key); i != std::string::npos; i = FindKey(section, key)) {
        FLines.erase(FLines.begin() + static_cast<long>(i));
        Changed();
        changed = true;
    }
    return changed;
}

bool TIniDocument::EraseSection(std::string_view section) {
    bool changed = false;
    for (;;) {
        auto ranges = Ranges(section);
        if (ranges.empty()) return changed;
        auto [b, e] = ranges.front();
        FLines.erase(FLines.begin() + static_cast<long>(b), FLines.begin() + static_cast<long>(e));
        Changed();
        changed = true;
    }
}
