#pragma once
// The text of an initialisation file and the edits that the private-profile functions make
// to it. Lines are kept as written, each with its own line end; an edit touches only the
// lines it changes, and new lines take the file's first line end (CR LF in a new file).
// Reading rules: blanks around section names, keys and values are dropped; a value enclosed
// in a matching pair of '"' or '\'' loses them; sections and keys compare case-insensitively
// (Latin and Cyrillic); of duplicate keys the first one counts; lines starting with ";" and
// lines without "=" hold no key; keys before the first section belong to none.
// A document indexes its section headers, and the keys of each section it is asked about
// many times, so reading a whole section key by key stays linear however large the file.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
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
    enum class Kind : std::uint8_t { Other, Section, Key };
    enum class Eol : std::uint8_t { None, CrLf, Lf, Cr };
    struct Line {
        std::string raw;
        Kind kind = Kind::Other;
        Eol eol = Eol::None;
        // Section or key name and key value (trimmed, unquoted), as spans of raw.
        std::uint32_t nameAt = 0, nameLen = 0, valueAt = 0, valueLen = 0;
        std::string_view Name() const { return std::string_view(raw).substr(nameAt, nameLen); }
        std::string_view Value() const { return std::string_view(raw).substr(valueAt, valueLen); }
    };
    static Line Classify(std::string raw);
    // Index ranges [header, end) of every section with this name, in file order.
    std::vector<std::pair<size_t, size_t>> Ranges(std::string_view section) const;
    size_t SectionEnd(size_t header) const;
    // Line of the first key of that name in the section, or npos.
    size_t FindKey(std::string_view section, std::string_view key) const;
    // Lines inserted or removed: every index is stale.
    void Changed() const;

    std::vector<Line> FLines;
    bool FBom = false;
    Eol FEol = Eol::CrLf;

    struct SectionIndex {
        std::vector<size_t> headers;  // in file order
        // Lookups so far: the first few scan the section, then its key index pays for itself.
        unsigned lookups = 0;
        bool keysBuilt = false;
        std::unordered_map<std::string, size_t> keys;  // folded key, its first line
    };
    SectionIndex* Section(std::string_view section) const;
    mutable bool FIndexed = false;
    mutable std::unordered_map<std::string, SectionIndex> FSections;  // by folded name
};
