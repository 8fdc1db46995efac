// Files the user asked for, and what the user is told when one cannot be written or read.
#include "app/ShellApi.h"
#include "platform/rtl/SafeFile.h"

std::string FileNotSavedText(const std::string& path, const std::string& reason) {
    return "Файл не сохранён: " + path + " (" + reason + ")";
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
    MessageShowOnMainForm("Файл не прочитан: " + path + " (" + (error.empty() ? "это не файл" : error) + ")");
    return false;
}
