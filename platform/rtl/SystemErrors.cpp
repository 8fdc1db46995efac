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

// Every error opening, reading or writing a port or a file can give: open, read, write,
// stat, mkdir, rename, fsync, flock, ftruncate and the port's ioctls.
constexpr TRussianReason kReasons[] = {
    {EPERM, nullptr, "Операция не позволена"},
    {EACCES, nullptr, "Отказано в доступе"},
    {EBUSY, nullptr, "Устройство или ресурс занято"},
    {ETXTBSY, nullptr, "Исполняемый файл занят"},
    {EAGAIN, nullptr, "Ресурс временно недоступен"},
    {EINTR, nullptr, "Прерван системный вызов"},
    {ENOTTY, nullptr, "Это не терминал"},
    {ENXIO, nullptr, "Нет такого устройства или адреса"},
    {ENODEV, nullptr, "Нет такого устройства"},
    {EINVAL, nullptr, "Недопустимый аргумент"},
    {EBADF, nullptr, "Неправильный дескриптор файла"},
    {EFAULT, nullptr, "Неправильный адрес"},
    {EOPNOTSUPP, nullptr, "Операция не поддерживается"},
    {ENOTDIR, nullptr, "Это не каталог"},
    {EISDIR, nullptr, "Это каталог"},
    {ENOTEMPTY, nullptr, "Каталог не пуст"},
    {ELOOP, nullptr, "Слишком много уровней символьных ссылок"},
    {EMLINK, nullptr, "Слишком много ссылок"},
    {EXDEV, nullptr, "Неверная ссылка между устройствами"},
    {ENAMETOOLONG, nullptr, "Слишком длинное имя файла"},
    {ENOMEM, nullptr, "Недостаточно памяти"},
    {EMFILE, nullptr, "Слишком много открытых файлов"},
    {ENFILE, nullptr, "Слишком много открытых файлов в системе"},
    {ENOLCK, nullptr, "Нет доступных блокировок"},
    {ENOENT, nullptr, "Нет такого файла или каталога"},
    {EEXIST, nullptr, "Файл существует"},
    {ENOSPC, nullptr, "На устройстве не осталось свободного места"},
    {EDQUOT, nullptr, "Превышена дисковая квота"},
    {EROFS, nullptr, "Файловая система доступна только для чтения"},
    {EFBIG, nullptr, "Файл слишком велик"},
    {EOVERFLOW, nullptr, "Значение слишком велико для этого типа данных"},
    {ESPIPE, nullptr, "Недопустимое смещение"},
    {EPIPE, nullptr, "Обрыв канала"},
    {EIO, nullptr, "Ошибка ввода/вывода"},
    {ESTALE, nullptr, "Устаревший дескриптор файла"},
    {ETIMEDOUT, nullptr, "Время ожидания истекло"},
    {EUCLEAN, nullptr, "Структура файловой системы повреждена"},
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
