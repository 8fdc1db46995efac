#include "app/LangText.h"

namespace {

const std::string kSeparator = "//\\";

// Length in bytes of the UTF-8 character that starts with byte b (1 for stray bytes).
std::size_t Utf8CharLength(unsigned char b) {
    if (b >= 0xF0 && b < 0xF8) return 4;
    if (b >= 0xE0) return b < 0xF0 ? 3 : 1;
    if (b >= 0xC0) return 2;
    return 1;
}

}  // namespace

bool IsEnglishLanguage(const std::string& language) { return language == "english"; }

std::string ToggledLanguage(const std::string& language) {
    return IsEnglishLanguage(language) ? "russian" : "english";
}

std::string ReadLangStr(const std::string& value, const std::string& language) {
    if (value.empty()) return std::string();
    const std::size_t p = value.find(kSeparator);
    if (p == std::string::npos) return value;
    if (!IsEnglishLanguage(language)) return value.substr(0, p);
    std::size_t start = p + kSeparator.size();
    // The filler is one character, which in UTF-8 may span several bytes.
    if (start < value.size()) start += Utf8CharLength(static_cast<unsigned char>(value[start]));
    return start < value.size() ? value.substr(start) : std::string();
}

std::string LangMessageKey(int n) { return "M" + std::to_string(n); }

std::string LangMessageDefault(int n) { return "Message" + std::to_string(n); }

std::string FormTitleText(const std::string& caption, const std::string& programVersion) {
    std::string version = programVersion;
    version.resize(version.size() >= 2 ? version.size() - 2 : 0);
    return caption + " Zeze ZUR \"Бранник IP\"  v." + version;
}
