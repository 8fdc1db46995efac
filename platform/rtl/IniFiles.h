#pragma once
// Initialisation files as the class library has them.
// TIniFile reads and writes key by key, as the private-profile functions do it: the file is
// never held open, every read loads it afresh, every change loads it, edits it and saves it
// at once. TMemIniFile reads the file once, answers and edits in memory and writes it once
// in UpdateFile, so an operation that touches many keys reads and writes the file once.
// Saving goes through a temporary file renamed over the old one, so a failed save (missing
// folder, no room) leaves the old file as it was and raises EIniFileException "Unable to
// write to <path>: <reason>". A new file's mode follows the umask, a replaced one keeps its
// own, unless the file is owner-only (settings that keep passwords): then it is 0600. A
// missing file reads as empty and reading never creates it. A file that
// exists but cannot be read is not empty: its keys read as their defaults, and it is never
// written over (a change raises "Unable to read <path>: <reason>"). Text is UTF-8; see
// IniDocument.h for how lines are read.
#include <functional>
#include <string>
#include <string_view>

#include "platform/rtl/Classes.h"
#include "platform/rtl/IniDocument.h"
#include "platform/rtl/SafeFile.h"
#include "platform/rtl/SysUtils.h"

class TStrings;

class EIniFileException : public Exception {
public:
    using Exception::Exception;
};

class TCustomIniFile : public TObject {
public:
    explicit TCustomIniFile(std::string fileName) : FFileName(std::move(fileName)) {}

    const std::string& GetFileName() const { return FFileName; }
    void SetAccess(TFileAccess access) { FAccess = access; }
    TFileAccess GetAccess() const { return FAccess; }

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
    virtual void UpdateFile() = 0;

protected:
    using TReading = std::function<void(const TIniDocument&)>;
    using TEditing = std::function<bool(TIniDocument&)>;  // true when it changed something
    virtual void Read(const TReading& reading) const = 0;
    // raise false: a failure leaves the file as it was without a word.
    virtual void Change(const TEditing& editing, bool raise) = 0;

    // Loads the file; false (with the reason) when it exists but cannot be read.
    bool Load(TIniDocument& doc, std::string& error) const;
    // Raises "Unable to write to <path>: <reason>" when the file cannot be saved.
    void Save(const TIniDocument& doc) const;
    std::string UnreadableText(const std::string& reason) const;

private:
    std::string FFileName;
    TFileAccess FAccess = TFileAccess::AsUmask;
};

class TIniFile : public TCustomIniFile {
public:
    using TCustomIniFile::TCustomIniFile;
    void UpdateFile() override {}

protected:
    void Read(const TReading& reading) const override;
    void Change(const TEditing& editing, bool raise) override;
};

class TMemIniFile : public TCustomIniFile {
public:
    // Reads the file once.
    explicit TMemIniFile(std::string fileName);
    // Writes the file once when anything changed since it was read or last written; raises
    // as a change of TIniFile would. Nothing is written when nothing changed.
    void UpdateFile() override;
    // "Unable to read <path>: <reason>" when the file exists but could not be read, else "".
    const std::string& ReadError() const { return FReadError; }

protected:
    void Read(const TReading& reading) const override { reading(FDoc); }
    void Change(const TEditing& editing, bool raise) override;

private:
    TIniDocument FDoc;
    std::string FReadError;
    bool FModified = false;
};
