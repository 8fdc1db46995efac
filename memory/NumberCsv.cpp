#include "memory/NumberCsv.h"

#include <algorithm>
#include <unordered_map>

#include "platform/rtl/CodePage.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Utf8.h"

namespace {

// Line breaks and other control characters as blanks, and separators too when asked.
std::string Blanked(std::string_view text, bool separators) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const char32_t c = utf8::Next(text, i);
        utf8::Append(out, (separators && c == ';') || utf8::IsControl(c) ? U' ' : c);
    }
    return out;
}

// Appends a cell as a line of the file can hold it; false when it had to change a character
// (characters the code page lacks become "?" later, on conversion).
bool AppendCellForFile(std::string& line, std::string_view cell) {
    // Most cells hold nothing to change: only bytes that may start a control character or a
    // separator send a cell the long way.
    const bool plain = std::none_of(cell.begin(), cell.end(), [](char ch) {
        const auto b = static_cast<unsigned char>(ch);
        return b < 0x20 || b == ';' || b == 0x7F || b == 0xC2;
    });
    const std::string blanked = plain ? std::string() : Blanked(cell, true);
    line += plain ? cell : blanked;
    return plain || blanked == cell;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
    }
    return lines;
}

constexpr std::size_t kFieldsNeeded = 6;  // the record type is optional

// A line's fields, blanks around each cut off. A spreadsheet pads its rows with empty
// columns: empty fields after the sixth are dropped.
std::vector<std::string_view> FieldsOf(std::string_view line) {
    std::vector<std::string_view> fields;
    fields.reserve(kFieldsNeeded + 3);
    for (;;) {
        const std::size_t semi = line.find(';');
        std::string_view f = line.substr(0, semi);
        const std::size_t first = f.find_first_not_of(" \t");
        f = first == std::string_view::npos ? std::string_view() : f.substr(first, f.find_last_not_of(" \t") - first + 1);
        fields.push_back(f);
        if (semi == std::string_view::npos) break;
        line.remove_prefix(semi + 1);
    }
    while (fields.size() > kFieldsNeeded && fields.back().empty()) fields.pop_back();
    return fields;
}

// Blank lines, rows of empty cells and the header line carry no data: they are passed over
// without a word.
bool IsNoData(const std::vector<std::string_view>& fields) {
    static const std::vector<std::string_view> header = FieldsOf(kNumbersCsvHeader);
    return fields == header ||
           std::all_of(fields.begin(), fields.end(), [](std::string_view f) { return f.empty(); });
}

// Text a record and the file can hold: no control character (a NUL would cut a name short)
// and nothing Windows-1251 lacks (a malformed byte of a UTF-8 file included).
bool IsPlainText(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const char32_t c = utf8::Next(text, i);
        const bool letter = (c >= 0x20 && c < 0x7F) || (c >= 0x410 && c <= 0x44F);  // most of a file
        if (!letter && (utf8::IsControl(c) || UnicodeToCp1251(c) < 0)) return false;
    }
    return true;
}

// 1-Wire keys, RFID tags and records of type 3 keep their codes as written; the export
// writes these type texts.
bool NamesCodeType(const std::vector<std::string_view>& fields) {
    if (fields.size() <= kFieldsNeeded || fields[0].empty()) return false;
    const std::string_view type = fields[kFieldsNeeded];
    return type == kCodeTypeItems[1] || type == kCodeTypeItems[2] || type == kCodeType3Text;
}

constexpr std::size_t kReportedLines = 3;
constexpr std::size_t kReportedChars = 40;

// A count, then the first few lines, each cut to a readable length.
std::string LinesReport(const std::string& title, const std::vector<TNumbersCsvLine>& lines) {
    if (lines.empty()) return {};
    std::string text = title + std::to_string(lines.size());
    for (std::size_t i = 0; i < lines.size() && i < kReportedLines; ++i) {
        const std::string shown = Blanked(utf8::Left(lines[i].Text, kReportedChars), false);
        text += "\nстрока " + std::to_string(lines[i].Line) + ": " + shown;
        if (utf8::Length(lines[i].Text) > kReportedChars) text += "...";
    }
    return text;
}

// The row must still make a record, or the next write of the grid would fail as a whole.
bool MakesRecord(const TPhoneGridRow& row) {
    TPhoneGridRow trial = row;
    try {
        PhoneRowToRecord(trial);
        return true;
    } catch (const EConvertError&) {
        return false;
    }
}

}  // namespace

std::string NumbersExportFileName(const std::string& imei) { return imei + "_numbers.csv"; }

TNumbersCsvExport NumbersCsvExport(const std::vector<TPhoneGridRow>& rows) {
    TNumbersCsvExport file;
    file.Bytes = Utf8ToCp1251(kNumbersCsvHeader) + "\r\n";
    std::string line;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const TPhoneGridRow& r = rows[i];
        if (r[colNumber].empty()) continue;
        line.clear();
        bool kept = true;
        for (int c = colNumber; c <= colCodeType; ++c) {
            if (c != colNumber) line += ';';
            kept &= AppendCellForFile(line, r[c]);
        }
        const std::string bytes = Utf8ToCp1251(line);
        // Each character the code page lacks is one more "?".
        kept &= std::count(bytes.begin(), bytes.end(), '?') == std::count(line.begin(), line.end(), '?');
        if (!kept) file.Changed.push_back({static_cast<int>(i), Cp1251ToUtf8(bytes)});
        file.Bytes += bytes;
        file.Bytes += "\r\n";
    }
    return file;
}

std::string NumbersExportReport(const TNumbersCsvExport& file) {
    return LinesReport("Строк, записанных в файл с заменой символов: ", file.Changed);
}

bool IsNumbersCsvLineTaken(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i < line.size() && (line[i] == '+' || line[i] == '-')) ++i;
    bool nonzero = false;
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i)
        if (line[i] != '0') nonzero = true;
    return nonzero;
}

TNumbersImportResult NumbersCsvImport(std::string_view fileBytes, std::vector<TPhoneGridRow>& rows,
                                      std::size_t rowLimit, bool cloudSession) {
    TNumbersImportResult result;
    if (rows.empty()) rows.emplace_back();  // the header row
    std::size_t firstFree = 1;
    // The first row of each number, so that a file of thousands of lines merges in one pass.
    std::unordered_map<std::string, std::size_t> rowOf;
    rowOf.reserve(rows.size());
    for (std::size_t i = 1; i < rows.size(); ++i) {
        if (rows[i][colNumber].empty()) continue;
        firstFree = i + 1;
        rowOf.try_emplace(rows[i][colNumber], i);
    }

    const std::string text = TextFileToUtf8(fileBytes);
    const auto lines = SplitLines(text);
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const std::string_view line = lines[n];
        const std::vector<std::string_view> fields = FieldsOf(line);
        if (IsNoData(fields)) continue;
        const auto refuse = [&] { result.Refused.push_back({static_cast<int>(n + 1), std::string(line)}); };
        const bool taken = NamesCodeType(fields) || IsNumbersCsvLineTaken(fields[0]);
        if (!taken || fields.size() < kFieldsNeeded || fields.size() > kFieldsNeeded + 1 ||
            !std::all_of(fields.begin(), fields.end(), IsPlainText)) {
            refuse();
            continue;
        }
        const std::string number(fields[0]);

        const auto found = rowOf.find(number);
        const std::size_t at = found == rowOf.end() ? firstFree : found->second;
        TPhoneGridRow row = at < rows.size() ? rows[at] : TPhoneGridRow{};
        if (found == rowOf.end()) {
            row[colRowNumber] = std::to_string(at);
            row[colNumber] = number;
        }
        // A line without a record type leaves the row's as it was.
        for (std::size_t k = 1; k < fields.size(); ++k) row[colNumber + k] = fields[k];
        if (cloudSession) row[colSync] = "add";
        if (!MakesRecord(row)) {
            refuse();
            continue;
        }
        if (rows.size() == firstFree) rows.emplace_back();
        if (rows.size() >= rowLimit) {
            result.Stopped = true;
            break;
        }
        rows[at] = std::move(row);
        if (found == rowOf.end()) {
            rowOf.emplace(number, at);
            ++firstFree;
            ++result.Added;
        } else {
            ++result.Updated;
        }
    }
    return result;
}

std::string NumbersImportReport(const TNumbersImportResult& result) {
    return LinesReport("Не загружено строк файла: ", result.Refused);
}
