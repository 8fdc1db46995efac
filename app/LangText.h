#pragma once
// The language rule: one value of the language file carries both languages,
// "<Russian>//\<filler><English>"; the character after the separator belongs to neither half.
#include <string>

// "english" (exactly) selects English; any other text selects Russian.
bool IsEnglishLanguage(const std::string& language);
// The language the language icon switches to.
std::string ToggledLanguage(const std::string& language);

// The current language's half of a value; a value without the separator is used whole.
std::string ReadLangStr(const std::string& value, const std::string& language);

// Key and default of numbered message n in [Messages].
std::string LangMessageKey(int n);
std::string LangMessageDefault(int n);

// The window title: caption, the product name and the version less its last two characters.
std::string FormTitleText(const std::string& caption, const std::string& programVersion);
