#include "memory/NumberCsv.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

#include "platform/rtl/CodePage.h"
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
    const std::string_view text = plain ? cell : blanked;
    // A field that begins with a quote would read back as a quoted one: it is quoted itself,
    // as spreadsheets quote, so that it comes back as it stands.
    if (!text.empty() && text.front() == '"') {
        line += '"';
        for (char ch : text) line.append(ch == '"' ? 2 : 1, ch);
        line += '"';
    } else {
        line += text;
    }
    return plain || blanked == cell;
}

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// Where the record at the start of text ends (at its line break, or the end of the text).
// With span, a line break inside a quoted field belongs to the field and is counted in
// innerBreaks; open tells that a quote was still open where the record ended.
std::size_t RecordEnd(std::string_view text, bool span, int& innerBreaks, bool& open) {
    bool fieldStart = true, quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"') {
                if (i + 1 < text.size() && text[i + 1] == '"') ++i;
                else quoted = false;
            } else if (c == '\r' || c == '\n') {
                if (!span) {
                    open = true;
                    return i;
                }
                if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
                ++innerBreaks;
            }
            continue;
        }
        if (c == '\r' || c == '\n') {
            open = false;
            return i;
        }
        if (c == '"' && fieldStart) quoted = true;
        fieldStart = c == ';';
    }
    open = quoted;
    return text.size();
}

std::size_t LineBreakLength(std::string_view text, std::size_t at) {
    if (at >= text.size()) return 0;
    return text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n' ? 2 : 1;
}

// The records of a file as spreadsheets write them: lines ended by CR LF, LF or CR, but a
// line break inside a quoted field belongs to its field. A file with a quote that never
// closes is read line by line instead, so that a stray quote costs its own line, not the
// rest of the file. The bytes are split before they are decoded: quotes, separators and
// line breaks are the same bytes in UTF-8 and Windows-1251.
class TCsvRecords {
public:
    explicit TCsvRecords(std::string_view bytes)
        : FRest(bytes), FQuotes(bytes.find('"') != std::string_view::npos), FSpan(!FQuotes || QuotesClose(bytes)) {}
    // The next record, and the number of the line it begins on; false at the end.
    bool Next(std::string_view& record, int& line) {
        if (FRest.empty()) return false;
        int breaks = 0;
        bool open = false;
        // Most files quote nothing: their records are their lines.
        const std::size_t end = FQuotes ? RecordEnd(FRest, FSpan, breaks, open) : LineEnd(FRest);
        record = FRest.substr(0, end);
        line = FLine;
        FLine += breaks + 1;
        FRest.remove_prefix(end + LineBreakLength(FRest, end));
        return true;
    }

private:
    static std::size_t LineEnd(std::string_view text) {
        std::size_t i = 0;
        while (i < text.size() && text[i] != '\r' && text[i] != '\n') ++i;
        return i;
    }
    static bool QuotesClose(std::string_view rest) {
        while (!rest.empty()) {
            int breaks = 0;
            bool open = false;
            const std::size_t end = RecordEnd(rest, true, breaks, open);
            if (open) return false;
            rest.remove_prefix(end + LineBreakLength(rest, end));
        }
        return true;
    }

    std::string_view FRest;
    bool FQuotes;
    bool FSpan;
    int FLine = 1;
};

constexpr std::size_t kFieldsNeeded = 6;  // the record type is optional
constexpr std::size_t kNameField = colName - colNumber;
constexpr std::string_view kBlanks = " \t";

std::string_view TrimBlanks(std::string_view f) {
    const std::size_t first = f.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return f.substr(first, f.find_last_not_of(kBlanks) + 1 - first);
}

bool IsBlank(std::string_view f) { return f.find_first_not_of(kBlanks) == std::string_view::npos; }

// A record's fields, quoted ones as spreadsheets write them; false when a quoted field is
// never closed or text follows its closing quote. Spreadsheets pad: blanks around every
// field but the name are cut off (a name keeps its blanks as written), and empty fields
// after the sixth are dropped. Past the seventh field only whether one holds anything is
// kept, in an eighth, so that a line of endless empty columns costs no memory. The fields
// view text, or scratch for quoted ones: both must outlive them.
bool SplitFields(std::string_view text, std::string& scratch, std::vector<std::string_view>& fields) {
    constexpr std::size_t kKept = kFieldsNeeded + 2;
    fields.clear();
    scratch.clear();
    scratch.reserve(text.size());  // a field never outgrows its text: the views stay put
    std::size_t i = 0;
    for (std::size_t index = 0;; ++index) {
        std::string_view f;
        if (i < text.size() && text[i] == '"') {
            const std::size_t from = scratch.size();
            for (++i;;) {
                const std::size_t q = text.find('"', i);
                if (q == std::string_view::npos) return false;
                scratch.append(text.substr(i, q - i));
                i = q + 1;
                if (i == text.size() || text[i] != '"') break;
                scratch += '"';
                ++i;
            }
            if (i < text.size() && text[i] != ';') return false;
            f = std::string_view(scratch).substr(from);
        } else {
            const std::size_t semi = std::min(text.find(';', i), text.size());
            f = text.substr(i, semi - i);
            i = semi;
        }
        if (index != kNameField) f = TrimBlanks(f);
        if (index < kKept) fields.push_back(f);
        else if (!f.empty() && fields.back().empty()) fields.back() = f;
        if (i == text.size()) break;
        ++i;  // the ";"
    }
    while (fields.size() > kFieldsNeeded && fields.back().empty()) fields.pop_back();
    return true;
}

using TFields = std::vector<std::string_view>;

// The header line's fields.
bool IsHeader(const TFields& fields) {
    static const std::vector<std::string> header = [] {
        std::string line = kNumbersCsvHeader, scratch;
        TFields views;
        SplitFields(line, scratch, views);
        return std::vector<std::string>(views.begin(), views.end());
    }();
    return std::ranges::equal(fields, header);
}

// Blank lines, rows of empty cells and the header line carry no data: they are passed over
// without a word.
bool IsNoData(const TFields& fields) {
    return IsHeader(fields) || std::all_of(fields.begin(), fields.end(), IsBlank);
}

// Each line is read as its own bytes tell where they tell it alone. A line that is not
// well-formed UTF-8 is Windows-1251 where it holds fewer rare characters that way than as
// UTF-8, and a UTF-8 line with a stray byte, refused, where it holds more. A well-formed line
// whose one reading holds only what a name list holds and the other does not is read so
// ("РџРµС‚СЂРѕРІ" is UTF-8, "ИЁ" Windows-1251). Any other line ("РЁ" or "Ш") is read as the
// file tells: its byte-order mark and the lines that tell their own, the header among them;
// but not where it holds more rare characters that way than the other. Where the file tells
// both, such a line is refused rather than guessed. A file that tells nothing is read as its
// lines' rare characters weigh, UTF-8 on a tie.
struct TFileEncoding {
    bool Utf8 = false, Cp1251 = false;
    long Votes = 0;
    bool Mixed() const { return Utf8 && Cp1251; }
    TTextEncoding Encoding() const {
        return Cp1251 || (!Utf8 && Votes < 0) ? TTextEncoding::Cp1251 : TTextEncoding::Utf8;
    }
};

std::optional<TTextEncoding> OwnEncoding(const TTextLineRare& rare) {
    if (!rare.WellFormed && rare.Cp1251 != rare.Utf8)
        return rare.Cp1251 < rare.Utf8 ? TTextEncoding::Cp1251 : TTextEncoding::Utf8;
    if (rare.Utf8 == 0 && rare.Cp1251 > 0) return TTextEncoding::Utf8;
    if (rare.Cp1251 == 0 && rare.Utf8 > 0) return TTextEncoding::Cp1251;
    return std::nullopt;
}

TFileEncoding NumbersFileEncoding(std::string_view bytes, bool marked) {
    TFileEncoding file;
    file.Utf8 = marked;
    TCsvRecords records(bytes);
    std::string_view record;
    int line = 0;
    while (!file.Mixed() && records.Next(record, line)) {
        const TTextLineRare rare = TextLineRareCharacters(record);
        if (const auto own = OwnEncoding(rare)) (*own == TTextEncoding::Utf8 ? file.Utf8 : file.Cp1251) = true;
        else file.Votes += (rare.Cp1251 > rare.Utf8) - (rare.Utf8 > rare.Cp1251);
    }
    return file;
}

// The encoding a line is read in; none when the file cannot tell it.
std::optional<TTextEncoding> LineEncoding(const TTextLineRare& rare, const TFileEncoding& file) {
    if (const auto own = OwnEncoding(rare)) return own;
    if (file.Mixed()) return std::nullopt;
    const TTextEncoding told = file.Encoding();
    const bool against = told == TTextEncoding::Utf8 ? rare.Utf8 > rare.Cp1251 : rare.Cp1251 > rare.Utf8;
    if (against) return std::nullopt;
    return told;
}

// Text a record and the file can hold: no control character (a NUL would cut a name short)
// and nothing Windows-1251 lacks (a malformed byte of a UTF-8 file included).
bool IsPlainText(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b >= 0x20 && b < 0x7F) {  // most of a file: printable ASCII, and А..я below
            ++i;
            continue;
        }
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        if ((b == 0xD0 && next >= 0x90 && next <= 0xBF) || (b == 0xD1 && next >= 0x80 && next <= 0x8F)) {
            i += 2;
            continue;
        }
        const char32_t c = utf8::Next(text, i);
        if (utf8::IsControl(c) || UnicodeToCp1251(c) < 0) return false;
    }
    return true;
}

// 1-Wire keys, RFID tags and records of type 3 keep their codes as written; the export
// writes these type texts.
bool NamesCodeType(const TFields& fields) {
    if (fields.size() <= kFieldsNeeded || fields[0].empty()) return false;
    const std::string_view type = fields[kFieldsNeeded];
    return type == kCodeTypeItems[1] || type == kCodeTypeItems[2] || type == kCodeType3Text;
}

constexpr std::size_t kReportedLines = 3;
constexpr std::size_t kReportedChars = 40;

// A count, then the first few lines, each cut to a readable length.
std::string LinesReport(const std::string& title, std::size_t count, const std::vector<TNumbersCsvLine>& lines) {
    if (count == 0) return {};
    std::string text = title + std::to_string(count);
    for (std::size_t i = 0; i < lines.size() && i < kReportedLines; ++i) {
        const std::string shown = Blanked(utf8::Left(lines[i].Text, kReportedChars), false);
        text += "\nстрока " + std::to_string(lines[i].Line) + ": " + shown;
        if (utf8::Length(lines[i].Text) > kReportedChars) text += "...";
    }
    return text;
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
    return LinesReport("Строк, записанных в файл с заменой символов: ", file.Changed.size(), file.Changed);
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
    const auto lines = static_cast<std::size_t>(std::count(fileBytes.begin(), fileBytes.end(), '\n')) + 1;
    rowOf.reserve(rows.size() + lines);
    rows.reserve(std::min(rowLimit, rows.size() + lines));
    for (std::size_t i = 1; i < rows.size(); ++i) {
        if (rows[i][colNumber].empty()) continue;
        firstFree = i + 1;
        rowOf.try_emplace(rows[i][colNumber], i);
    }

    // UTF-16 is read as it says; its lines need no telling apart.
    std::string utf16;
    result.Utf16 = Utf16FileToUtf8(fileBytes, utf16);
    if (result.Utf16) fileBytes = utf16;
    const bool marked = !result.Utf16 && fileBytes.starts_with(kUtf8Mark);
    if (marked) fileBytes.remove_prefix(kUtf8Mark.size());
    const TFileEncoding file = result.Utf16 ? TFileEncoding{} : NumbersFileEncoding(fileBytes, marked);
    TCsvRecords records(fileBytes);
    std::string_view bytes;
    int line = 0;
    // Kept from line to line, so that their room is reused.
    std::string text, scratch;
    TFields fields;
    TPhoneGridRow row;  // what a line makes of its row, tried before it replaces it
    while (records.Next(bytes, line)) {
        const TTextLineRare rare = result.Utf16 ? TTextLineRare{} : TextLineRareCharacters(bytes);
        const std::optional<TTextEncoding> encoding = rare.Ascii ? TTextEncoding::Utf8 : LineEncoding(rare, file);
        // A UTF-8 line with a stray byte is refused, shown as read; so is one the file cannot
        // tell (it is well-formed UTF-8).
        const bool read = TextLineToUtf8(bytes, encoding.value_or(TTextEncoding::Utf8), text) && encoding;
        if (read && !rare.Ascii) ++(*encoding == TTextEncoding::Utf8 ? result.Utf8Lines : result.Cp1251Lines);
        const bool readable = read && SplitFields(text, scratch, fields);
        if (readable && IsNoData(fields)) continue;
        // The first few lines are kept as the user is shown them, the rest only counted.
        const auto refuse = [&] {
            if (result.RefusedCount++ < kReportedLines) result.Refused.push_back({line, text});
            result.TabSeparated |= text.find('\t') != std::string::npos && text.find(';') == std::string::npos;
        };
        if (!encoding) ++result.Untold;
        if (!readable) {
            refuse();
            continue;
        }
        const bool taken = NamesCodeType(fields) || IsNumbersCsvLineTaken(fields[0]);
        if (!taken || fields.size() < kFieldsNeeded || fields.size() > kFieldsNeeded + 1 ||
            !std::all_of(fields.begin(), fields.end(), IsPlainText)) {
            refuse();
            continue;
        }
        const std::string number(fields[0]);

        const auto found = rowOf.find(number);
        const std::size_t at = found == rowOf.end() ? firstFree : found->second;
        if (at < rows.size()) row = rows[at];
        else for (std::string& cell : row) cell.clear();
        if (found == rowOf.end()) {
            row[colRowNumber] = std::to_string(at);
            row[colNumber] = number;
        }
        // A line without a record type leaves the row's as it was.
        for (std::size_t k = 1; k < fields.size(); ++k) row[colNumber + k] = fields[k];
        if (cloudSession) row[colSync] = "add";
        // The row must still make a record, or the next write of the grid would fail as a whole.
        if (!PhoneRowMakesRecord(row)) {
            refuse();
            continue;
        }
        if (rows.size() == firstFree) rows.emplace_back();
        if (rows.size() >= rowLimit) {
            result.Stopped = true;
            break;
        }
        std::swap(rows[at], row);
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

std::string NumbersImportReport(const TNumbersImportResult& result, const TNumbersImportTexts& texts) {
    std::string report;
    const auto add = [&report](const std::string& text) {
        if (!text.empty()) report += (report.empty() ? "" : "\n") + text;
    };
    if (result.Utf8Lines > 0 && result.Cp1251Lines > 0)
        add(texts.Mixed + ": Windows-1251 — " + std::to_string(result.Cp1251Lines) + ", UTF-8 — " +
            std::to_string(result.Utf8Lines));
    if (result.Untold > 0) add(texts.Untold + ": " + std::to_string(result.Untold));
    if (result.TabSeparated) add(texts.Tabs);
    add(LinesReport("Не загружено строк файла: ", result.RefusedCount, result.Refused));
    // A file in UTF-16 is named so when anything of it is told.
    if (result.Utf16 && !report.empty()) report = texts.Encoding + ": " + result.Utf16 + "\n" + report;
    return report;
}
