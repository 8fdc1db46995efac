#pragma once
// Item lists of the settings pages' combo boxes and radio groups; the record keeps the
// item index. The operator list normally comes from the language file; these six are
// the record's own and stand in when that list is empty.
#include <array>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::array<std::string_view, 6> kOperatorItems = {
    "Автоматически, данные с СИМ карты", "Билайн", "Мегафон", "МТС", "Теле2", "Другой"};
inline constexpr int kOperatorOther = 5;  // shows the APN edit
// The OPERATOR items: the language file's list, or the record's six when that is empty.
inline std::vector<std::string> OperatorItems(const std::vector<std::string>& fromLanguage) {
    if (!fromLanguage.empty()) return fromLanguage;
    return std::vector<std::string>(kOperatorItems.begin(), kOperatorItems.end());
}
inline constexpr std::array<std::string_view, 2> kOutTypeItems = {"Инвертировать", "Импульс"};
inline constexpr std::array<std::string_view, 2> kOutTypeInTimeActionItems = {"Уровень", "Импульс"};
inline constexpr std::array<std::string_view, 6> kInFun1Items = {
    "СМС. Ошибка контр-ра", "Состояние ворот", "Сделать снимок с камеры",
    "Контроль питающей сети", "Датчик присутсвия транспорта", "Кнопка отрытия"};
inline constexpr std::array<std::string_view, 6> kInFun2Items = {
    "СМС. Вскрытие корпуса", "Сделать снимок с камеры", "---",
    "Контроль питающей сети", "Датчик присутсвия транспорта", "Кнопка отрытия"};
inline constexpr std::array<std::string_view, 8> kFromAllSheduleItems = {
    "Круглосуточно", "Расписание 1", "Расписание 2", "Расписание 3",
    "Расписание 4",  "Расписание 5", "Расписание 6", "Расписание 7"};
inline constexpr std::array<std::string_view, 3> kRfidAntsItems = {
    "Не подключены", "Один (режим опроса)", "Два (режим опроса)"};
inline constexpr std::array<std::string_view, 4> kReaderTypeItems = {
    "UHF RFID 868-5300", "UHF RFID 868-1610", "UHF RFID 868-PRIME", "Универсальный WG"};
inline constexpr std::array<std::string_view, 3> kImgRezItems = {"160x120", "320x240", "640x480"};
inline constexpr std::array<std::string_view, 7> kWeekDayItems = {"Пн.", "Вт.", "Ср.", "Чт.",
                                                                   "Пт.", "Сб.", "Вс."};
// "0".."10", hours "00".."23" and minutes "00".."59" are numbered lists of these sizes.
inline constexpr int kRingCountItems = 11;
inline constexpr int kHourItems = 24;
inline constexpr int kMinuteItems = 60;
