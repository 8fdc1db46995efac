#include "platform/rtl/IniDocument.h"

#include "platform/rtl/SysUtils.h"

namespace {

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

}  // namespace

TIniDocument::Line TIniDocument::Classify(std::string raw) {
    Line line;
    line.raw = std::move(raw);
    std::string_view t = TrimBlanks(line.raw);
    if (t.empty() || t.front() == ';') return line;
    if (t.front() == '[') {
        std::string_view inner = t.substr(1);
        size_t close = inner.rfind(']');
        if (close != std::string_view::npos) inner = inner.substr(0, close);
        line.kind = Kind::Section;
        line.name = std::string(TrimBlanks(inner));
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
    line.name = std::string(key);
    line.value = std::string(value);
    return line;
}

void TIniDocument::Parse(std::string_view text) {
    FLines.clear();
    FBom = text.substr(0, 3) == "\xEF\xBB\xBF";
    if (FBom) text.remove_prefix(3);
    size_t i = 0;
    while (i < text.size()) {
        size_t start = i;
        while (i < text.size() && text[i] != '\r' && text[i] != '\n') ++i;
        FLines.push_back(Classify(std::string(text.substr(start, i - start))));
        if (i < text.size() && text[i] == '\r') ++i;
        if (i < text.size() && text[i] == '\n') ++i;
    }
}

std::string TIniDocument::Text() const {
    std::string r = FBom ? "\xEF\xBB\xBF" : "";
    for (const Line& l : FLines) {
        r += l.raw;
        r += "\r\n";
    }
    return r;
}

size_t TIniDocument::SectionEnd(size_t header) const {
    size_t j = header + 1;
    while (j < FLines.size() && FLines[j].kind != Kind::Section) ++j;
    return j;
}

std::vector<std::pair<size_t, size_t>> TIniDocument::Ranges(std::string_view section) const {
    std::vector<std::pair<size_t, size_t>> r;
    for (size_t i = 0; i < FLines.size(); ++i)
        if (FLines[i].kind == Kind::Section && SameName(FLines[i].name, section)) r.emplace_back(i, SectionEnd(i));
    return r;
}

std::optional<std::string> TIniDocument::Value(std::string_view section, std::string_view key) const {
    for (auto [b, e] : Ranges(section))
        for (size_t i = b + 1; i < e; ++i)
            if (FLines[i].kind == Kind::Key && SameName(FLines[i].name, key)) return FLines[i].value;
    return std::nullopt;
}

std::vector<std::string> TIniDocument::Keys(std::string_view section) const {
    std::vector<std::string> keys;
    for (auto [b, e] : Ranges(section))
        for (size_t i = b + 1; i < e; ++i) {
            if (FLines[i].kind != Kind::Key) continue;
            bool seen = false;
            for (const std::string& k : keys) seen = seen || SameName(k, FLines[i].name);
            if (!seen) keys.push_back(FLines[i].name);
        }
    return keys;
}

std::vector<std::string> TIniDocument::KeyValues(std::string_view section) const {
    std::vector<std::string> r;
    for (const std::string& k : Keys(section)) r.push_back(k + "=" + *Value(section, k));
    return r;
}

std::vector<std::string> TIniDocument::Sections() const {
    std::vector<std::string> r;
    for (const Line& l : FLines) {
        if (l.kind != Kind::Section) continue;
        bool seen = false;
        for (const std::string& s : r) seen = seen || SameName(s, l.name);
        if (!seen) r.push_back(l.name);
    }
    return r;
}

void TIniDocument::SetValue(std::string_view section, std::string_view key, std::string_view value) {
    std::string k = OneLine(TrimBlanks(key));
    std::string v = OneLine(value);
    auto ranges = Ranges(section);
    for (auto [b, e] : ranges)
        for (size_t i = b + 1; i < e; ++i)
            if (FLines[i].kind == Kind::Key && SameName(FLines[i].name, k)) {
                FLines[i] = Classify(FLines[i].name + "=" + v);
                return;
            }
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
    // Ranges shift as lines go, so look them up again after every removal.
    for (;;) {
        bool removed = false;
        for (auto [b, e] : Ranges(section)) {
            for (size_t i = b + 1; i < e; ++i)
                if (FLines[i].kind == Kind::Key && SameName(FLines[i].name, key)) {
                    FLines.erase(FLines.begin() + static_cast<long>(i));
                    removed = true;
                    break;
                }
            if (removed) break;
        }
        if (!removed) return changed;
        changed = true;
    }
}

bool TIniDocument::EraseSection(std::string_view section) {
    bool changed = false;
    for (;;) {
        auto ranges = Ranges(section);
        if (ranges.empty()) return changed;
        auto [b, e] = ranges.front();
        FLines.erase(FLines.begin() + static_cast<long>(b), FLines.begin() + static_cast<long>(e));
        changed = true;
    }
}
