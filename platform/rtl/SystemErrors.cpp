#include "platform/rtl/SystemErrors.h"

#include <locale.h>

#include <cerrno>
#include <cstring>
#include <string_view>

namespace {

struct TRussianReason {
    int Error;  // 0: Text is the reason's own English words
    const char* Text;
    const char* Russian;
};

// The errors opening a port or writing a file meets.
constexpr TRussianReason kReasons[] = {
    {EPERM, nullptr, "Операция не позволена"},
    {EACCES, nullptr, "Отказано в доступе"},
    {EBUSY, nullptr, "Устройство или ресурс занято"},
    {EAGAIN, nullptr, "Ресурс временно недоступен"},
    {ENOTTY, nullptr, "Это не терминал"},
    {EINVAL, nullptr, "Недопустимый аргумент"},
    {ENOTDIR, nullptr, "Это не каталог"},
    {EISDIR, nullptr, "Это каталог"},
    {ELOOP, nullptr, "Слишком много уровней символьных ссылок"},
    {ENAMETOOLONG, nullptr, "Слишком длинное имя файла"},
    {ENOMEM, nullptr, "Недостаточно памяти"},
    {EMFILE, nullptr, "Слишком много открытых файлов"},
    {ENFILE, nullptr, "Слишком много открытых файлов в системе"},
    {ENOENT, nullptr, "Нет такого файла или каталога"},
    {EEXIST, nullptr, "Файл существует"},
    {ENOSPC, nullptr, "На устройстве не осталось свободного места"},
    {EDQUOT, nullptr, "Превышена дисковая квота"},
    {EROFS, nullptr, "Файловая система доступна только для чтения"},
    {EFBIG, nullptr, "Файл слишком велик"},
    {EIO, nullptr, "Ошибка ввода/вывода"},
    {0, "No file name", "Нет имени файла"},
    {0, "No folder name", "Нет имени папки"},
    {0, "Not a regular file", "Это не обычный файл"},
    {0, "File not open", "Файл не открыт"},
};

}  // namespace

std::string SystemErrorText(int error) {
    // Not strerror: the process locale is the desktop's, and a Russian desktop's words are
    // not the English window's.
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t{});
    return c ? strerror_l(error, c) : "error " + std::to_string(error);
}

std::string ReasonInLanguage(const std::string& reason, bool english) {
    if (english) return reason;
    for (const TRussianReason& r : kReasons)
        if (r.Error != 0 ? reason == SystemErrorText(r.Error) : reason == r.Text) return r.Russian;
    return reason;
}
