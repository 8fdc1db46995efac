#include "platform/ui/WebBrowserPage.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <vector>

#include "platform/rtl/Utf8.h"

namespace ui {
namespace {

struct TTagRule {
    std::string_view Name;
    bool Void = false;   // has no end tag
    bool Block = false;  // closes an open paragraph
    bool Break = false;  // its text stands on lines of its own
    std::string_view Attrs = {};  // the attributes kept, separated by blanks
};

// Every tag the view is given; any other tag is dropped and its text kept.
constexpr TTagRule kTags[] = {
    {"a", false, false, false, "href"},  {"b"},
    {"big"},                             {"blockquote", false, true, true},
    {"br", true, false, true},           {"caption", false, false, true},
    {"center", false, true, true},       {"code"},
    {"dd", false, false, true},          {"div", false, true, true, "align"},
    {"dl", false, true, true},           {"dt", false, false, true},
    {"em"},                              {"font", false, false, false, "color size"},
    {"h1", false, true, true, "align"},  {"h2", false, true, true, "align"},
    {"h3", false, true, true, "align"},  {"h4", false, true, true, "align"},
    {"h5", false, true, true, "align"},  {"h6", false, true, true, "align"},
    {"hr", true, true, true},            {"i"},
    {"li", false, false, true},          {"ol", false, true, true},
    {"p", false, true, true, "align"},   {"pre", false, true, true},
    {"s"},                               {"small"},
    {"span"},                            {"strong"},
    {"sub"},                             {"sup"},
    {"table", false, true, true, "border cellpadding cellspacing"},
    {"tbody"},                           {"td", false, false, false, "align"},
    {"tfoot"},                           {"th", false, false, false, "align"},
    {"thead"},                           {"tr", false, false, true},
    {"tt"},                              {"u"},
    {"ul", false, true, true},
};

// Elements dropped with everything inside them.
constexpr std::string_view kDroppedWhole[] = {"script", "style",  "title",    "textarea", "noscript",
                                              "iframe", "object", "applet",   "template", "svg",
                                              "math",   "select", "noembed",  "noframes", "xmp"};

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
bool IsAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHex(char c) { return IsDigit(c) || (Lower(c) >= 'a' && Lower(c) <= 'f'); }

std::string LowerText(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = Lower(c);
    return out;
}

const TTagRule* FindRule(std::string_view name) {
    for (const TTagRule& r : kTags)
        if (r.Name == name) return &r;
    return nullptr;
}

bool HasWord(std::string_view words, std::string_view word) {
    std::size_t at = 0;
    while (at < words.size()) {
        std::size_t end = words.find(' ', at);
        if (end == std::string_view::npos) end = words.size();
        if (words.substr(at, end - at) == word) return true;
        at = end + 1;
    }
    return false;
}

template <class Pred>
bool All(std::string_view s, Pred pred) {
    for (char c : s)
        if (!pred(c)) return false;
    return true;
}

// A value the view may be given for the attribute, or nothing.
std::optional<std::string> SafeValue(std::string_view name, std::string_view value) {
    if (name == "href") {
        const std::string lower = LowerText(value.substr(0, 8));
        const bool web = lower.rfind("http://", 0) == 0 || lower.rfind("https://", 0) == 0;
        const auto urlChar = [](char c) {
            return c > ' ' && c < 0x7F && c != '"' && c != '<' && c != '>' && c != '\\' && c != '`';
        };
        if (web && value.size() <= 2048 && All(value, urlChar)) return std::string(value);
        return std::nullopt;
    }
    if (name == "color") {
        const bool hex = (value.size() == 4 || value.size() == 7) && value[0] == '#' && All(value.substr(1), IsHex);
        if (hex || (!value.empty() && value.size() <= 20 && All(value, IsAlpha))) return std::string(value);
        return std::nullopt;
    }
    if (name == "size") {
        const std::string_view digit = !value.empty() && (value[0] == '+' || value[0] == '-') ? value.substr(1) : value;
        if (digit.size() == 1 && digit[0] >= '1' && digit[0] <= '7') return std::string(value);
        return std::nullopt;
    }
    if (name == "align") {
        const std::string v = LowerText(value);
        if (v == "left" || v == "right" || v == "center" || v == "justify") return v;
        return std::nullopt;
    }
    // border, cellpadding, cellspacing: a few pixels
    if (!value.empty() && value.size() <= 2 && All(value, IsDigit)) return std::string(value);
    return std::nullopt;
}

// The character an entity at text[0] ('&') names and its length; nothing when it names none.
std::optional<std::pair<std::uint32_t, std::size_t>> Entity(std::string_view text) {
    const std::size_t semi = text.substr(0, 12).find(';');
    if (semi == std::string_view::npos || semi < 2) return std::nullopt;
    const std::string_view body = text.substr(1, semi - 1);
    if (body[0] == '#') {
        const bool hex = body.size() > 1 && Lower(body[1]) == 'x';
        const std::string_view digits = body.substr(hex ? 2 : 1);
        if (digits.empty() || digits.size() > 7 || !All(digits, hex ? IsHex : IsDigit)) return std::nullopt;
        std::uint32_t cp = 0;
        for (char c : digits) cp = cp * (hex ? 16 : 10) + static_cast<std::uint32_t>(IsDigit(c) ? c - '0' : Lower(c) - 'a' + 10);
        if (cp < 0x20 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF) || (cp >= 0x7F && cp < 0xA0)) cp = ' ';
        return std::make_pair(cp, semi + 1);
    }
    static constexpr std::pair<std::string_view, std::uint32_t> kNamed[] = {
        {"amp", '&'},      {"lt", '<'},       {"gt", '>'},       {"quot", '"'},     {"apos", '\''},
        {"nbsp", ' '},     {"mdash", 0x2014}, {"ndash", 0x2013}, {"laquo", 0xAB},   {"raquo", 0xBB},
        {"hellip", 0x2026}, {"copy", 0xA9},
    };
    for (const auto& [name, cp] : kNamed)
        if (body == name) return std::make_pair(cp, semi + 1);
    return std::nullopt;
}

class TRewriter {
public:
    explicit TRewriter(std::string_view in) : In(in) {}

    TWebPage Run() {
        std::size_t i = 0;
        while (i < In.size()) {
            const std::size_t lt = In.find('<', i);
            Text(In.substr(i, lt == std::string_view::npos ? std::string_view::npos : lt - i));
            if (lt == std::string_view::npos) break;
            i = Markup(lt);
        }
        CloseTo(0);
        TWebPage page;
        const std::size_t last = Plain.find_last_not_of(" \n");
        Plain.resize(last == std::string::npos ? 0 : last + 1);
        if (!Over && TextBytes <= kWebPageMaxText) {
            page.Form = TWebPageForm::Html;
            page.Body = std::move(Html);
        } else if (!Plain.empty() && Plain.size() <= kWebPageMaxText) {
            page.Form = TWebPageForm::Text;
            page.Body = std::move(Plain);
        }
        return page;
    }

private:
    // The markup at In[lt] == '<'; returns where the text goes on.
    std::size_t Markup(std::size_t lt) {
        const std::string_view rest = In.substr(lt);
        const auto skipPast = [&](std::string_view end, std::size_t from) {
            const std::size_t at = In.find(end, from);
            return at == std::string_view::npos ? In.size() : at + end.size();
        };
        if (rest.substr(0, 4) == "<!--") return skipPast("-->", lt + 4);
        if (rest.size() > 1 && (rest[1] == '!' || rest[1] == '?')) return skipPast(">", lt + 2);
        const bool end = rest.size() > 1 && rest[1] == '/';
        const std::size_t nameAt = lt + (end ? 2 : 1);
        if (nameAt >= In.size() || !IsAlpha(In[nameAt])) {
            if (end) return skipPast(">", nameAt);
            Text("<");
            return lt + 1;
        }
        std::size_t k = nameAt;
        while (k < In.size() && (IsAlpha(In[k]) || IsDigit(In[k]))) ++k;
        const std::string name = LowerText(In.substr(nameAt, k - nameAt));
        // The tag ends at the first '>' outside a quoted value.
        std::size_t close = k;
        for (char quote = 0; close < In.size(); ++close) {
            const char c = In[close];
            if (quote != 0) {
                if (c == quote) quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '>') {
                break;
            }
        }
        const std::size_t next = close < In.size() ? close + 1 : In.size();
        if (end) {
            EndTag(name);
            return next;
        }
        for (std::string_view whole : kDroppedWhole) {
            if (name != whole) continue;
            // Its content runs to its own end tag, whatever else it holds.
            for (std::size_t at = next; at < In.size(); ++at) {
                at = In.find("</", at);
                if (at == std::string_view::npos) break;
                if (LowerText(In.substr(at + 2, name.size())) == name) return skipPast(">", at);
            }
            return In.size();
        }
        StartTag(name, In.substr(k, close - k));
        return next;
    }

    void Text(std::string_view t) {
        for (char c : t) {
            if (c == '\0') continue;
            if (!IsSpace(c) || !LastSpace) ++TextBytes;
            LastSpace = IsSpace(c);
            if (!Over) {
                if (c == '<') Html += "&lt;";
                else Html += c;
            }
        }
        if (TextBytes > kWebPageMaxText) Over = true;
        for (std::size_t i = 0; i < t.size() && Plain.size() <= kWebPageMaxText; ++i) {
            const char c = t[i];
            const auto e = c == '&' ? Entity(t.substr(i)) : std::nullopt;
            if (e) i += e->second - 1;
            const std::uint32_t cp = e ? e->first : static_cast<unsigned char>(c);
            if (cp == ' ' || IsSpace(c)) PlainSpace();
            else if (e) utf8::Append(Plain, cp);
            else if (c != '\0') Plain += c;
        }
    }

    void PlainSpace() {
        if (!Plain.empty() && Plain.back() != ' ' && Plain.back() != '\n') Plain += ' ';
    }

    void PlainBreak() {
        if (Plain.size() > kWebPageMaxText) return;
        while (!Plain.empty() && Plain.back() == ' ') Plain.pop_back();
        if (!Plain.empty() && Plain.back() != '\n') Plain += '\n';
    }

    // The index of the innermost open element named in targets, unless one named in
    // boundary is open inside it.
    std::optional<std::size_t> OpenAbove(std::initializer_list<std::string_view> targets,
                                         std::initializer_list<std::string_view> boundary) const {
        for (std::size_t k = Stack.size(); k-- > 0;) {
            for (std::string_view t : targets)
                if (Stack[k]->Name == t) return k;
            for (std::string_view b : boundary)
                if (Stack[k]->Name == b) return std::nullopt;
        }
        return std::nullopt;
    }

    void StartTag(const std::string& name, std::string_view attrs) {
        const TTagRule* rule = FindRule(name);
        if (rule == nullptr) return;
        if (Over) {
            // Only the text is kept now: no element is tracked, whatever the page's depth.
            if (rule->Break) PlainBreak();
            else if (name == "td" || name == "th") PlainSpace();
            return;
        }
        // The ends HTML leaves out are put in, so that depth is counted as the view sees it.
        std::optional<std::size_t> open;
        if (rule->Block && !Stack.empty() && Stack.back()->Name == "p") open = Stack.size() - 1;
        else if (name == "li") open = OpenAbove({"li"}, {"ul", "ol", "table"});
        else if (name == "dt" || name == "dd") open = OpenAbove({"dt", "dd"}, {"dl", "table"});
        else if (name == "tr") open = OpenAbove({"tr"}, {"table"});
        else if (name == "td" || name == "th") open = OpenAbove({"td", "th"}, {"tr", "table"});
        else if (name == "thead" || name == "tbody" || name == "tfoot") open = OpenAbove({"thead", "tbody", "tfoot"}, {"table"});
        if (open) CloseTo(*open);

        if (rule->Break) PlainBreak();
        if (++Elements > kWebPageMaxElements) Over = true;
        if (name == "td" || name == "th") {
            if (++Cells > kWebPageMaxCells) Over = true;
            PlainSpace();
        }
        if (!rule->Void) {
            Stack.push_back(rule);
            std::size_t tables = 0;
            for (const TTagRule* r : Stack) tables += r->Name == "table";
            if (Stack.size() > kWebPageMaxDepth || tables > kWebPageMaxTableDepth) Over = true;
        }
        if (Over) return;
        Html += '<';
        Html += name;
        KeptAttributes(*rule, attrs);
        Html += '>';
    }

    void KeptAttributes(const TTagRule& rule, std::string_view attrs) {
        std::size_t i = 0;
        while (i < attrs.size()) {
            while (i < attrs.size() && (IsSpace(attrs[i]) || attrs[i] == '/')) ++i;
            const std::size_t nameAt = i;
            while (i < attrs.size() && !IsSpace(attrs[i]) && attrs[i] != '=' && attrs[i] != '/') ++i;
            const std::string name = LowerText(attrs.substr(nameAt, i - nameAt));
            while (i < attrs.size() && IsSpace(attrs[i])) ++i;
            std::string_view value;
            if (i < attrs.size() && attrs[i] == '=') {
                ++i;
                while (i < attrs.size() && IsSpace(attrs[i])) ++i;
                if (i < attrs.size() && (attrs[i] == '"' || attrs[i] == '\'')) {
                    const char quote = attrs[i++];
                    const std::size_t end = std::min(attrs.find(quote, i), attrs.size());
                    value = attrs.substr(i, end - i);
                    i = end + 1;
                } else {
                    const std::size_t from = i;
                    while (i < attrs.size() && !IsSpace(attrs[i])) ++i;
                    value = attrs.substr(from, i - from);
                }
            }
            if (name.empty() || !HasWord(rule.Attrs, name)) continue;
            if (const auto safe = SafeValue(name, value)) Html += " " + name + "=\"" + *safe + "\"";
        }
    }

    void EndTag(const std::string& name) {
        if (Over) {
            const TTagRule* rule = FindRule(name);
            if (rule != nullptr && rule->Break) PlainBreak();
            return;
        }
        for (std::size_t k = Stack.size(); k-- > 0;) {
            if (Stack[k]->Name == name) {
                CloseTo(k);
                return;
            }
        }
    }

    // Ends the open elements down to depth.
    void CloseTo(std::size_t depth) {
        while (Stack.size() > depth) {
            const TTagRule* rule = Stack.back();
            Stack.pop_back();
            if (rule->Break) PlainBreak();
            if (Over) continue;
            Html += "</";
            Html += rule->Name;
            Html += '>';
        }
    }

    std::string_view In;
    std::string Html;
    std::string Plain;
    std::vector<const TTagRule*> Stack;
    std::size_t Elements = 0;
    std::size_t Cells = 0;
    std::size_t TextBytes = 0;
    bool LastSpace = true;
    bool Over = false;
};

}  // namespace

TWebPage MakeWebPage(std::string_view html) { return TRewriter(html).Run(); }

}  // namespace ui
