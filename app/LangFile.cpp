#include "app/LangFile.h"

#include <filesystem>

#include "app/LangText.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/SysUtils.h"

namespace {

struct TCaptionKey {
    const char* Key;
    const char* Control;
};

const TCaptionKey kCaptionsBefore[] = {
    {"Str9", "Label63"},      {"Str10", "UiGroupBox5"}, {"Str11", "UiGroupBox8"},
    {"Str12", "Label50"},     {"Str28", "UiGroupBox1"}, {"Str30", "CNP1"},
    {"Str31", "CON_EN1"},     {"Str32", "Label3"},
};
const TCaptionKey kCaptionsAfter[] = {
    {"Str39", "CallFromAll"}, {"Str47", "AGROUP"}, {"Str48", "WGROUP"}, {"Str60", "SMSTOUNREG"},
};

// The operator index is one byte of the configuration record; a larger count in a damaged
// file would only fill the list with empty entries.
constexpr int kMaxOperators = 256;

}  // namespace

std::string LangFilePathIn(const std::string& folder) {
    return IncludeTrailingPathDelimiter(folder) + "lang_zent.lng";
}

std::string LangFilePathFor(const std::string& exeFolder) {
    const std::string beside = LangFilePathIn(exeFolder);
    const std::string installed =
        LangFilePathIn((std::filesystem::path(exeFolder) / ".." / "share" / "zentor").lexically_normal().string());
    std::error_code ec;
    if (!std::filesystem::is_regular_file(beside, ec) && std::filesystem::is_regular_file(installed, ec))
        return installed;
    return beside;
}

std::string ReadLangMessage(const std::string& langPath, int n, const std::string& language) {
    TMemIniFile ini(langPath);
    return ReadLangStr(ini.ReadString("Messages", LangMessageKey(n), LangMessageDefault(n)), language);
}

std::string ReadLangDiagnostic(const std::string& langPath, int code, const std::string& language) {
    TMemIniFile ini(langPath);
    const std::string key = "Code" + std::to_string(code);
    return ReadLangStr(ini.ReadString("Diagnostic", key, key), language);
}

TLanguageTexts ReadLanguageTexts(const std::string& langPath, const std::string& language) {
    TMemIniFile ini(langPath);
    auto text = [&](const char* section, const std::string& key, const std::string& def) {
        return ReadLangStr(ini.ReadString(section, key, def), language);
    };
    TLanguageTexts t;
    t.Caption = text("Header", "Caption", "Конфигуратор");
    t.LangHint = text("Header", "Lang", "English");
    t.CloseHint = text("Header", "Close", "Закрыть");
    t.MinimizeHint = text("Header", "Minimize", "Свернуть");
    for (const auto& c : kCaptionsBefore) t.CaptionsBefore.emplace_back(c.Control, text("Strings", c.Key, ""));
    int count = ini.ReadInteger("OpList", "Count", 0);
    if (count > kMaxOperators) count = kMaxOperators;
    for (int i = 0; i < count; ++i) t.Operators.push_back(text("OpList", "Op" + std::to_string(i), ""));
    for (const auto& c : kCaptionsAfter) t.CaptionsAfter.emplace_back(c.Control, text("Strings", c.Key, ""));
    return t;
}
