#pragma once
// The text of an initialisation file and the edits that the private-profile functions make
// to it. Lines are kept as written; an edit touches only the lines it changes, and the text
// is written back with CR LF line ends.
// Reading rules: blanks around section names, keys and values are dropped; a value enclosed
// in a matching pair of '"' or '\'' loses them; sections and keys compare case-insensitively
// (Latin and Cyrillic); of duplicate keys the first one counts; lines starting with ";" and
// lines without "=" hold no key; keys before the first section belong to none.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TIniDocument {
public:
    TIniDocument() = default;
    explicit TIniDocument(std::string_view text) { Parse(text); }

    void Parse(std::string_view text);
    std::string Text() const;
    bool Empty() const { return FLines.empty(); }

    std::optional<std::string> Value(std::string_view section, std::string_view key) const;
    // Keys of a section (first spelling, once each), in file order.
    std::vector<std::string> Keys(std::string_view section) const;
    // "key=value" lines of a section, as ReadSectionValues gives them.
    std::vector<std::string> KeyValues(std::string_view section) const;
    std::vector<std::string> Sections() const;

    // Line breaks inside a key or value would split the line: they become blanks.
    void SetValue(std::string_view section, std::string_view key, std::string_view value);
    // Return whether anything changed.
    bool DeleteKey(std::string_view section, std::string_view key);
    bool EraseSection(std::string_view section);

private:
    enum class Kind { Other, Section, Key };
    struct Line {
        std::string raw;
        Kind kind = Kind::Other;
        std::string name;   // section or key name, trimmed
        std::string value;  // key value, trimmed and unquoted
    };
    static Line Classify(std::string raw);
    // Index ranges [header, end) of every section with this name, in file order.
    std::vector<std::pair<size_t, size_t>> Ranges(std::string_view section) const;
    size_t SectionEnd(size_t header) const;

    std::vector<Line> FLines;
    bool FBom = false;
};
