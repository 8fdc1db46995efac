// Files the user asked for, and what the user is told when one cannot be written or read:
// the window's words, the path, and the system's reason in the window's language.
#include "app/ShellApi.h"
#include "app/ShellState.h"
#include "app/LangText.h"
#include "app/Unit1.h"
#include "platform/rtl/SafeFile.h"
#include "platform/rtl/SystemErrors.h"

namespace {
constexpr int kMsgFileNotSaved = 96, kMsgFileNotRead = 97, kMsgNotAFile = 98, kMsgTagRecordStopped = 99;

std::string FileFailedText(int message, const std::string& path, const std::string& reason) {
    return Form1->GetMessageA(message) + " " + path + " (" + ReasonInLanguage(reason, IsEnglishLanguage(g_Language)) + ")";
}
}  // namespace

std::string FileNotSavedText(const std::string& path, const std::string& reason) {
    return FileFailedText(kMsgFileNotSaved, path, reason);
}

std::string TagRecordStoppedText(const std::string& reason) {
    return Form1->GetMessageA(kMsgTagRecordStopped) + " " + ReasonInLanguage(reason, IsEnglishLanguage(g_Language));
}

bool SaveFileOrTell(const std::string& path, std::string_view bytes) {
    std::string error;
    if (WriteFileSafely(path, bytes, &error)) return true;
    MessageShowOnMainForm(FileNotSavedText(path, error));
    return false;
}

bool ReadFileOrTell(const std::string& path, std::string& bytes) {
    std::string error;
    if (ReadRegularFile(path, bytes, &error)) return true;
    MessageShowOnMainForm(FileFailedText(kMsgFileNotRead, path, error.empty() ? Form1->GetMessageA(kMsgNotAFile) : error));
    return false;
}
