#pragma once
// The system's reason for a failure, in the window's language. Reasons are kept in the C
// locale's English words ("No space left on device") whatever the desktop's locale, and put
// into Russian only when shown in the Russian window; a reason without Russian words of ours
// stays English.
#include <string>

// The C locale's words for an error number.
std::string SystemErrorText(int error);
// A reason as SystemErrorText (or SafeFile) words it, in Russian or left as it is.
std::string ReasonInLanguage(const std::string& reason, bool english);
