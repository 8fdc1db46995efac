#include "memory/NumberCsv.h"

#include <optional>
#include <unordered_map>

#include "platform/rtl/CodePage.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Utf8.h"

namespace {

std::string CellForFile(std::string cell) {
    for (char& c : cell)
        if (c == ';' || c == '\r' || c == '\n') c = ' ';
    return cell;
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

// Number, columns 2 to 5, column 6, and column 7 when the line holds a seventh field.
struct TCsvLine {
    std::string Number;
    std::string Fields[5];  // columns 2 .. 6
    std::optional<std::string> CodeType;
};

std::optional<TCsvLine> ParseLine(std::string_view line) {
    TCsvLine out;
    std::size_t semi = line.find(';');
    if (semi == std::string_view::npos) return std::nullopt;
    out.Number = line.substr(0, semi);
    std::string_view rest = line.substr(semi + 1);
    for (int k = 0; k < 4; ++k) {
        semi = rest.find(';');
        if (semi == std::string_view::npos) return std::nullopt;
        out.Fields[k] = rest.substr(0, semi);
        rest = rest.substr(semi + 1);
    }
    // Everything after the sixth ";" is the record type, further ";" included.
    semi = rest.find(';');
    if (semi == std::string_view::npos) {
        out.Fields[4] = rest;
    } else {
        out.Fields[4] = rest.substr(0, semi);
        out.CodeType = std::string(rest.substr(semi + 1));
    }
    return out;
}

// Blank lines and the header line carry no data: they are passed over without a word.
bool IsNoData(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos || line == kNumbersCsvHeader;
}

// 1-Wire keys and RFID tags keep their codes as written; the export writes these type texts.
bool NamesCodeType(const TCsvLine& parsed) {
    return parsed.CodeType && !parsed.Number.empty() &&
           (*parsed.CodeType == kCodeTypeItems[1] || *parsed.CodeType == kCodeTypeItems[2]);
}

constexpr std::size_t kReportedLines = 3;
constexpr std::size_t kReportedChars = 40;

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

std::string NumbersCsvExport(const std::vector<TPhoneGridRow>& rows) {
    std::string text = std::string(kNumbersCsvHeader) + "\r\n";
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const TPhoneGridRow& r = rows[i];
        if (r[colNumber].empty()) continue;
        text += Format("%s;%s;%s;%s;%s;%s;%s\r\n", CellForFile(r[colNumber]), CellForFile(r[colName]),
                       CellForFile(r[colAccess]), CellForFile(r[colExpiry]), CellForFile(r[colPasses]),
                       CellForFile(r[colSchedule]), CellForFile(r[colCodeType]));
    }
    return Utf8ToCp1251(text);
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

    const std::string text = Cp1251ToUtf8(fileBytes);
    const auto lines = SplitLines(text);
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const std::string_view line = lines[n];
        if (IsNoData(line)) continue;
        const auto refuse = [&] { result.Refused.push_back({static_cast<int>(n + 1), std::string(line)}); };
        const auto parsed = ParseLine(line);
        const bool taken = (parsed && NamesCodeType(*parsed)) || IsNumbersCsvLineTaken(line);
        if (!taken || !parsed || utf8::Length(parsed->Number) > phone::NumberWidth - 1) {
            refuse();
            continue;
        }

        const auto found = rowOf.find(parsed->Number);
        const std::size_t at = found == rowOf.end() ? firstFree : found->second;
        TPhoneGridRow row = at < rows.size() ? rows[at] : TPhoneGridRow{};
        if (found == rowOf.end()) {
            row[colRowNumber] = std::to_string(at);
            row[colNumber] = parsed->Number;
        }
        for (int k = 0; k < 5; ++k) row[colName + k] = parsed->Fields[k];
        if (parsed->CodeType) row[colCodeType] = *parsed->CodeType;
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
            rowOf.emplace(parsed->Number, at);
            ++firstFree;
            ++result.Added;
        } else {
            ++result.Updated;
        }
    }
    return result;
}

std::string NumbersImportReport(const TNumbersImportResult& result) {
    if (result.Refused.empty()) return {};
    std::string text = "Не загружено строк файла: " + std::to_string(result.Refused.size());
    for (std::size_t i = 0; i < result.Refused.size() && i < kReportedLines; ++i) {
        const TRefusedCsvLine& r = result.Refused[i];
        const std::string_view shown = utf8::Left(r.Text, kReportedChars);
        text += "\nстрока " + std::to_string(r.Line) + ": " + std::string(shown);
        if (shown.size() < r.Text.size()) text += "...";
    }
    return text;
}
