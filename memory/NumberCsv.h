#pragma once
// The number grid to and from ";"-separated files: CR LF lines, Windows-1251 text. Import
// merges the file into the grid by number; export writes the filled rows.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "memory/PhoneRecord.h"

inline constexpr const char* kNumbersCsvHeader =
    "Номер;Наименование;Права;Действует до;Проходов;Расписание;Тип записи";
inline constexpr const char* kNumbersImportFileName = "numbers.csv";
// A larger file is refused before it is read. The largest base, 15000 records, takes some
// 2.5 MB even as UTF-8; what is left is room for a spreadsheet's padding. A wrong file so
// costs neither the memory nor the time of reading it.
inline constexpr std::size_t kNumbersFileMaxBytes = std::size_t{16} << 20;
// Messages of the language file: the file held no number; the file is too large; its lines
// are in both encodings; lines whose encoding the file cannot tell; the file's encoding; its
// fields are separated by tabs.
inline constexpr int kMsgNumbersFileEmpty = 79;
inline constexpr int kMsgNumbersFileTooLarge = 80;
inline constexpr int kMsgNumbersMixed = 81, kMsgNumbersUntold = 82, kMsgNumbersEncoding = 83, kMsgNumbersTabs = 84;
// Outside a cloud session the IMEI is empty.
std::string NumbersExportFileName(const std::string& imei);

// A line the user is told about: its number (a line of the file, or a row of the grid) and
// its text (UTF-8).
struct TNumbersCsvLine {
    int Line = 0;
    std::string Text;
    friend bool operator==(const TNumbersCsvLine&, const TNumbersCsvLine&) = default;
};

struct TNumbersCsvExport {
    std::string Bytes;
    // Rows written other than they stand, with the line as written: a ";", a line break or
    // another control character would split or spoil the line and is written as a blank; a
    // character Windows-1251 lacks is written as "?".
    std::vector<TNumbersCsvLine> Changed;
};
// The header line, then columns 1 to 7 of every row from 1 whose number is not empty. rows
// holds every grid row, the header first. Fields go unquoted, but for one that begins with
// a double quote, which is quoted as spreadsheets quote (a quote doubled) so that it reads
// back as it stands.
TNumbersCsvExport NumbersCsvExport(const std::vector<TPhoneGridRow>& rows);
// What the user is told about the rows the export changed; empty when it changed none.
std::string NumbersExportReport(const TNumbersCsvExport& file);

// Lines taken on import by their number: after blanks, an optional sign and decimal digits
// that are not all zeros. The header, empty lines and lines beginning with a letter are not.
bool IsNumbersCsvLineTaken(std::string_view line);

struct TNumbersImportResult {
    int Added = 0;
    int Updated = 0;
    // Lines left out: lines not taken, and taken lines with fewer than six fields or more
    // than seven, a control character or a character Windows-1251 lacks, a number longer
    // than its 10 characters, or any value that makes no record (an expiry or pass limit, an
    // access level, schedule or record type text the grid does not show); a line whose
    // encoding the file cannot tell, a UTF-8 line with a stray byte, or one whose quoting is
    // broken (text after a closing quote too). The grid keeps its rows as they were for
    // those. Empty lines and the header line are no data and are not counted. Only the first
    // few are kept, in file order, as the user is shown them: memory stays bounded by the
    // rows, whatever the file holds.
    std::size_t RefusedCount = 0;
    std::vector<TNumbersCsvLine> Refused;
    std::size_t Untold = 0;      // refused as their encoding could not be told
    bool TabSeparated = false;   // a refused line's fields are separated by tabs
    // The lines (not ASCII alone) read in each encoding.
    std::size_t Utf8Lines = 0, Cp1251Lines = 0;
    const char* Utf16 = nullptr;  // "UTF-16 LE" or "UTF-16 BE" for such a file
    bool Stopped = false;  // the row count reached the limit
    // Nothing taken and nothing refused: the file held no number (only a header, blank
    // lines, or a byte-order mark).
    bool HeldNoNumber() const { return Added == 0 && Updated == 0 && RefusedCount == 0 && !Stopped; }
};

// Merges the file's bytes into rows (every grid row, the header first; rows grow as the
// grid's row count does). A file with a UTF-16 byte-order mark is read as UTF-16. Otherwise
// its lines may not share one encoding (edited by hand): each is read as UTF-8 or
// Windows-1251 by its own evidence where that tells (TextLineRareCharacters), else as the file
// tells (a byte-order mark and the lines that tell theirs); where the file tells both, such a
// line is refused. So a spreadsheet's "CSV UTF-8", with or without a mark, a Windows-1251 file
// and the tool's own export all read as written; a UTF-8 line with a stray byte is refused,
// shown as read. Fields may be quoted as spreadsheets quote them
// ("A;B", "" for a quote, line breaks inside); a quoted field comes in without its quotes.
// Blanks around the number, the expiry, the pass limit and the item texts (access,
// schedule, type), and empty fields after the sixth, which a spreadsheet adds, change
// nothing; the name keeps its blanks as written. rowLimit is the device capacity + 8: the
// import stops when the row count reaches it. In a cloud session every row imported is
// marked "add" in column 8. A line whose record type (field 7) is a 1-Wire key or an RFID
// tag takes its code as it stands, as the export writes it: such codes may begin with a
// letter or with 0. Other lines are taken by IsNumbersCsvLineTaken.
TNumbersImportResult NumbersCsvImport(std::string_view fileBytes, std::vector<TPhoneGridRow>& rows,
                                      std::size_t rowLimit, bool cloudSession);

// The language file's texts of what an import tells.
struct TNumbersImportTexts {
    std::string Mixed, Untold, Encoding, Tabs;
};
// What the user is told: that the file's lines are in both encodings, with the count of
// each; how many lines were refused as their encoding could not be told; that fields are
// separated by tabs; the lines left out, their count and the first few of them; a UTF-16
// file's encoding with any of these. Empty when there is nothing to tell.
std::string NumbersImportReport(const TNumbersImportResult& result, const TNumbersImportTexts& texts = {});
