#include "memory/EventRecord.h"

#include <string_view>

#include "config/RecordBytes.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Format.h"

namespace {

constexpr std::array<std::string_view, 29> kOperationTexts = {
    "Управление выходом",
    "Дабавлен номер",
    "Изменен номер",
    "Удален номер",
    "Запрос конфигурации",
    "Запись конфигурации",
    "Запрос информации",
    "Установка команды",
    "Информация по номеру",
    "Авторегистрация включена",
    "Перезагрузка",
    "Дефрагментация",
    "Авторизация пользователя",
    "Закрытие сессии пользователя",
    "Открыто соединение удаленного порта",
    "Запущен процесс обновления прошивки",
    "Обновление прошивки завершено",
    "Ошибка обновления прошивки",
    "Чтение номерной базы",
    "Очистка номерной базы",
    "Запись номерной базы",
    "Фиксация фотоизображения",
    "Авторегистрация выключена",
    "Удаленное конфигурирование",
    "Номер отсутствует в списке",
    "Отключение сети 220 В",
    "Восстановление сети 220 В",
    "Въезд",
    "Выезд",
};

}  // namespace

std::uint32_t EventRecord::GetTime() const { return GetU32(data() + eventrec::Time); }
std::string EventRecord::GetNumber() const { return GetFieldText(data() + eventrec::Number, eventrec::NumberWidth); }
std::uint8_t EventRecord::GetOperation() const { return Bytes[eventrec::Operation]; }
std::string EventRecord::GetObject() const { return GetFieldText(data() + eventrec::Object, eventrec::ObjectWidth); }

std::string OperationToText(std::uint8_t code) {
    if (code < kOperationTexts.size()) return std::string(kOperationTexts[code]);
    return "Не известная: " + std::to_string(code);
}

std::string EventTimeText(std::uint32_t localSeconds) {
    return FormatDateTime("dd.MM.yyyy hh:mm", UnixToDateTime(localSeconds));
}

std::vector<TLogGridRow> EventRecordsToGridRows(const std::vector<EventRecord>& records) {
    if (records.empty()) return {};
    std::vector<TLogGridRow> rows(records.size() + 1);
    for (std::size_t i = 0; i < records.size(); ++i) {
        const EventRecord& r = records[i];
        rows[i] = {std::to_string(i + 1), EventTimeText(r.GetTime()), r.GetNumber(),
                   OperationToText(r.GetOperation()), r.GetObject()};
    }
    return rows;
}

std::string EventLogExport(const std::vector<TLogGridRow>& rows) {
    std::string text = kEventLogExportHeader;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const TLogGridRow& r = rows[i];
        if (r[logColTime].empty()) continue;
        text += Format("%s\t%s\t%s\t%s\r\n", r[logColTime], r[logColNumber], r[logColOperation], r[logColObject]);
    }
    return Utf8ToCp1251(text);
}

std::string EventLogExportFileName(const std::string& imei) { return "log_" + imei + ".txt"; }

int FindInLogTable(const std::vector<TLogGridRow>& rows, const std::string& value, int column) {
    if (column < 0 || column >= kLogGridColumns) return -1;
    for (std::size_t i = 1; i < rows.size(); ++i)
        if (rows[i][column] == value) return static_cast<int>(i);
    return -1;
}
