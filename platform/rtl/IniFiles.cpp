#include "platform/rtl/IniFiles.h"

#include "platform/rtl/SafeFile.h"
#include "platform/rtl/StringList.h"

bool TCustomIniFile::Load(TIniDocument& doc, std::string& error) const {
    std::string text;
    error.clear();
    if (ReadRegularFile(FFileName, text, &error)) {
        doc.Parse(text);
        return true;
    }
    doc = TIniDocument();
    return error.empty();
}

void TCustomIniFile::Save(const TIniDocument& doc) const {
    std::string error;
    if (!WriteFileSafely(FFileName, doc.Text(), &error, FAccess))
        throw EIniFileException("Unable to write to " + FFileName + ": " + error);
}

std::string TCustomIniFile::UnreadableText(const std::string& reason) const {
    return "Unable to read " + FFileName + ": " + reason;
}

std::string TCustomIniFile::ReadString(std::string_view section, std::string_view ident, std::string_view def) const {
    std::string r(def);
    Read([&](const TIniDocument& doc) {
        if (auto v = doc.Value(section, ident)) r = std::move(*v);
    });
    return r;
}

void TCustomIniFile::WriteString(std::string_view section, std::string_view ident, std::string_view value) {
    Change(
        [&](TIniDocument& doc) {
            const auto old = doc.Value(section, ident);
            doc.SetValue(section, ident, value);
            return !old || doc.Value(section, ident) != old;
        },
        true);
}

int TCustomIniFile::ReadInteger(std::string_view section, std::string_view ident, int def) const {
    std::string s = ReadString(section, ident, "");
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) s = "$" + s.substr(2);
    return StrToIntDef(s, def);
}

void TCustomIniFile::WriteInteger(std::string_view section, std::string_view ident, int value) {
    WriteString(section, ident, IntToStr(value));
}

bool TCustomIniFile::ReadBool(std::string_view section, std::string_view ident, bool def) const {
    return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(std::string_view section, std::string_view ident, bool value) {
    WriteString(section, ident, value ? "1" : "0");
}

void TCustomIniFile::ReadSection(std::string_view section, TStrings& keys) const {
    keys.BeginUpdate();
    keys.Clear();
    Read([&](const TIniDocument& doc) {
        for (const std::string& k : doc.Keys(section)) keys.Add(k);
    });
    keys.EndUpdate();
}

void TCustomIniFile::ReadSections(TStrings& sections) const {
    sections.BeginUpdate();
    sections.Clear();
    Read([&](const TIniDocument& doc) {
        for (const std::string& s : doc.Sections()) sections.Add(s);
    });
    sections.EndUpdate();
}

void TCustomIniFile::ReadSectionValues(std::string_view section, TStrings& lines) const {
    lines.BeginUpdate();
    lines.Clear();
    Read([&](const TIniDocument& doc) {
        for (const std::string& s : doc.KeyValues(section)) lines.Add(s);
    });
    lines.EndUpdate();
}

bool TCustomIniFile::SectionExists(std::string_view section) const {
    bool r = false;
    Read([&](const TIniDocument& doc) { r = !doc.Keys(section).empty(); });
    return r;
}

bool TCustomIniFile::ValueExists(std::string_view section, std::string_view ident) const {
    bool r = false;
    Read([&](const TIniDocument& doc) { r = doc.Value(section, ident).has_value(); });
    return r;
}

void TCustomIniFile::EraseSection(std::string_view section) {
    Change([&](TIniDocument& doc) { return doc.EraseSection(section); }, true);
}

void TCustomIniFile::DeleteKey(std::string_view section, std::string_view ident) {
    Change([&](TIniDocument& doc) { return doc.DeleteKey(section, ident); }, false);
}

void TIniFile::Read(const TReading& reading) const {
    TIniDocument doc;
    std::string error;
    Load(doc, error);  // an unreadable file gives every default
    reading(doc);
}

void TIniFile::Change(const TEditing& editing, bool raise) {
    TIniDocument doc;
    std::string error;
    if (!Load(doc, error)) {
        if (raise) throw EIniFileException(UnreadableText(error));
        return;
    }
    if (!editing(doc)) return;
    if (raise) Save(doc);
    else WriteFileSafely(GetFileName(), doc.Text(), nullptr, GetAccess());
}

TMemIniFile::TMemIniFile(std::string fileName) : TCustomIniFile(std::move(fileName)) {
    std::string reason;
    if (!Load(FDoc, reason)) FReadError = UnreadableText(reason);
}

void TMemIniFile::Change(const TEditing& editing, bool /*raise*/) {
    if (editing(FDoc)) FModified = true;
}

void TMemIniFile::UpdateFile() {
    if (!FModified) return;
    if (!FReadError.empty()) throw EIniFileException(FReadError);
    Save(FDoc);
    FModified = false;
}
