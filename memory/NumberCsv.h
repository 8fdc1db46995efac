#pragma once
// The number grid to and from ";"-separated files: CR LF lines, Windows-1251 text, no
// quoting. Import merges the file into the grid by number; export writes the filled rows.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "memory/PhoneRecord.h"

inline constexpr const char* kNumbersCsvHeader =
    "Номер;Наименование;Права;Действует до;Проходов;Расписание;Тип записи";
inline constexpr const char* kNumbersImportFileName = "numbers.csv";
// Outside a cloud session the IMEI is empty.
std::string NumbersExportFileName(const std::string& imei);

// The file's bytes: the header line, then columns 1 to 7 of every row from 1 whose number is
// not empty. rows holds every grid row, the header first. A ";" or line break inside a cell
// would split the line on reading it back, so it is written as a blank.
std::string NumbersCsvExport(const std::vector<TPhoneGridRow>& rows);

// Lines taken on import by their number: after blanks, an optional sign and decimal digits
// that are not all zeros. The header, empty lines and lines beginning with a letter are not.
bool IsNumbersCsvLineTaken(std::string_view line);

// A line the import did not take: its number in the file (from 1) and its text (UTF-8).
struct TRefusedCsvLine {
    int Line = 0;
    std::string Text;
    friend bool operator==(const TRefusedCsvLine&, const TRefusedCsvLine&) = default;
};

struct TNumbersImportResult {
    int Added = 0;
    int Updated = 0;
    // Lines left out, in file order: lines not taken, and taken lines with fewer than six
    // fields, a number longer than its 10 characters, or an expiry or pass limit that makes
    // no record (the grid keeps its rows as they were for those). Empty lines and the
    // header line are no data and are not counted.
    std::vector<TRefusedCsvLine> Refused;
    bool Stopped = false;  // the row count reached the limit
};

// Merges the file's bytes into rows (every grid row, the header first; rows grow as the
// grid's row count does). rowLimit is the device capacity + 8: the import stops when the row
// count reaches it. In a cloud session every row imported is marked "add" in column 8.
// A line whose record type (field 7) is a 1-Wire key or an RFID tag takes its code as it
// stands, as the export writes it: such codes may begin with a letter or with 0. Other
// lines are taken by IsNumbersCsvLineTaken.
TNumbersImportResult NumbersCsvImport(std::string_view fileBytes, std::vector<TPhoneGridRow>& rows,
                                      std::size_t rowLimit, bool cloudSession);

// What the user is told about the lines left out: their count and the first few of them;
// empty when every line was taken.
std::string NumbersImportReport(const TNumbersImportResult& result);
