#include "platform/rtl/IniFiles.h"

#include <fstream>
#include <sstream>

#include "platform/rtl/IniDocument.h"
#include "platform/rtl/SafeFile.h"
#include "platform/rtl/StringList.h"

TIniDocument TIniFile::Load() const {
    std::ifstream in(FFileName, std::ios::binary);
    if (!in) return TIniDocument();
    std::ostringstream ss;
    ss << in.rdbuf();
    return TIniDocument(ss.str());
}

void TIniFile::Save(const TIniDocument& doc) const {
    if (!WriteFileSafely(FFileName, doc.Text())) throw EIniFileException("Unable to write to " + FFileName);
}

std::string TIniFile::ReadString(std::string_view section, std::string_view ident, std::string_view def) const {
    auto v = Load().Value(section, ident);
    return v ? *v : std::string(def);
}

void TIniFile::WriteString(std::string_view section, std::string_view ident, std::string_view value) {
    TIniDocument doc = Load();
    doc.SetValue(section, ident, value);
    Save(doc);
}

int TIniFile::ReadInteger(std::string_view section, std::string_view ident, int def) const {
    std::string s = ReadString(section, ident, "");
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) s = "$" + s.substr(2);
    return StrToIntDef(s, def);
}

void TIniFile::WriteInteger(std::string_view section, std::string_view ident, int value) {
    WriteString(section, ident, IntToStr(value));
}

bool TIniFile::ReadBool(std::string_view section, std::string_view ident, bool def) const {
    return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

void TIniFile::WriteBool(std::string_view section, std::string_view ident, bool value) {
    WriteString(section, ident, value ? "1" : "0");
}

void TIniFile::ReadSection(std::string_view section, TStrings& keys) const {
    keys.BeginUpdate();
    keys.Clear();
    for (const std::string& k : Load().Keys(section)) keys.Add(k);
    keys.EndUpdate();
}

void TIniFile::ReadSections(TStrings& sections) const {
    sections.BeginUpdate();
    sections.Clear();
    for (const std::string& s : Load().Sections()) sections.Add(s);
    sections.EndUpdate();
}

void TIniFile::ReadSectionValues(std::string_view section, TStrings& lines) const {
    lines.BeginUpdate();
    lines.Clear();
    for (const std::string& s : Load().KeyValues(section)) lines.Add(s);
    lines.EndUpdate();
}

bool TIniFile::SectionExists(std::string_view section) const { return !Load().Keys(section).empty(); }

bool TIniFile::ValueExists(std::string_view section, std::string_view ident) const {
    return Load().Value(section, ident).has_value();
}

void TIniFile::EraseSection(std::string_view section) {
    TIniDocument doc = Load();
    if (doc.EraseSection(section)) Save(doc);
}

void TIniFile::DeleteKey(std::string_view section, std::string_view ident) {
    TIniDocument doc = Load();
    if (doc.DeleteKey(section, ident)) WriteFileSafely(FFileName, doc.Text());
}
