#pragma once
// TIniFile: an initialisation file read and written key by key, as the private-profile
// functions do it. The file is never held open: every read loads it afresh, every write
// loads it, changes it and saves it at once through a temporary file renamed over the old
// one, so a failed save (missing folder, no room) leaves the old file as it was and raises
// EIniFileException "Unable to write to <path>". A missing or unreadable file reads as
// empty; reading never creates it. Text is UTF-8 with CR LF or LF line ends; see
// IniDocument.h for how lines are read.
#include <string>
#include <string_view>

#include "platform/rtl/Classes.h"
#include "platform/rtl/SysUtils.h"

class TStrings;
class TIniDocument;

class EIniFileException : public Exception {
public:
    using Exception::Exception;
};

class TIniFile : public TObject {
public:
    explicit TIniFile(std::string fileName) : FFileName(std::move(fileName)) {}

    const std::string& GetFileName() const { return FFileName; }

    std::string ReadString(std::string_view section, std::string_view ident, std::string_view def) const;
    void WriteString(std::string_view section, std::string_view ident, std::string_view value);
    // A value that is not an integer (decimal, "$" or "0x" hexadecimal) gives the default.
    int ReadInteger(std::string_view section, std::string_view ident, int def) const;
    void WriteInteger(std::string_view section, std::string_view ident, int value);
    // Integer values: 0 is false, any other integer true; written as "1" or "0".
    bool ReadBool(std::string_view section, std::string_view ident, bool def) const;
    void WriteBool(std::string_view section, std::string_view ident, bool value);

    // The list is cleared first.
    void ReadSection(std::string_view section, TStrings& keys) const;
    void ReadSections(TStrings& sections) const;
    void ReadSectionValues(std::string_view section, TStrings& lines) const;
    // A section exists when it holds at least one key.
    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view ident) const;
    void EraseSection(std::string_view section);
    // Does not raise: a key that cannot be deleted stays.
    void DeleteKey(std::string_view section, std::string_view ident);
    void UpdateFile() {}

private:
    TIniDocument Load() const;
    void Save(const TIniDocument& doc) const;

    std::string FFileName;
};
