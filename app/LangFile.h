#pragma once
// Reading the language file: numbered messages and the texts applied to the window. Each
// call reads the file once.
#include <string>
#include <utility>
#include <vector>

// "lang_zent.lng" in the given folder.
std::string LangFilePathIn(const std::string& folder);
// The tool's language file: beside the executable, as built, else in an installed tool's
// data folder <exe folder>/../share/zentor/; the one beside the executable when neither is
// there (the texts' defaults then apply).
std::string LangFilePathFor(const std::string& exeFolder);

// Numbered message n in the language; "Message<n>" when the file or the key is missing.
std::string ReadLangMessage(const std::string& langPath, int n, const std::string& language);

// Diagnostic code text; "Code<n>" when missing.
std::string ReadLangDiagnostic(const std::string& langPath, int code, const std::string& language);

struct TLanguageTexts {
    std::string Caption;       // [Header] Caption, first part of the window title
    std::string LangHint;      // [Header] Lang
    std::string CloseHint;     // [Header] Close
    std::string MinimizeHint;  // [Header] Minimize
    // Control name and caption, in the order they are applied; the operator list goes
    // between the first eight and the last four.
    std::vector<std::pair<std::string, std::string>> CaptionsBefore;
    std::vector<std::string> Operators;
    std::vector<std::pair<std::string, std::string>> CaptionsAfter;
};

TLanguageTexts ReadLanguageTexts(const std::string& langPath, const std::string& language);
