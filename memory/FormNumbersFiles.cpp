// Number files in the documents folder, and the keyword search in the number grid.
#include <iterator>
#include <sstream>

#include "app/Unit1.h"
#include "device/DeviceLink.h"
#include "device/LinkPeers.h"
#include "memory/NumberCsv.h"
#include "platform/rtl/SafeFile.h"
#include "platform/ui/Dialogs.h"

namespace {

constexpr int kOutgoing = 0;
constexpr std::uint32_t kSearchWaitSeconds = 60;

// The size of a regular file, looked at before it is read; 0 for anything else, whose read
// then says what it is.
std::uint64_t RegularFileSize(const std::string& path) {
    TRegularFileStream in;
    if (in.Open(path) != TInputFile::Regular) return 0;
    const auto end = in.seekg(0, std::ios::end).tellg();
    return end > 0 ? static_cast<std::uint64_t>(end) : 0;
}

}  // namespace

void TForm1::UiButton3Click(TObject* /*Sender*/) {
    // In a session the import goes on to the server: not beside another transfer.
    if (g_CloudSession && AnotherTransferRuns(TTransfer::Sync)) return;
    OpenDialog->SetInitialDir(GetUserPathToFolder(CSIDL_PERSONAL));
    OpenDialog->SetFileName(kNumbersImportFileName);
    if (!OpenDialog->Execute()) return;
    const std::string path = OpenDialog->GetFileName();
    // A file larger than any base needs is refused before it is read (and, should it have
    // grown meanwhile, once it has been).
    if (RegularFileSize(path) > kNumbersFileMaxBytes) {
        MessageShow(GetMessageA(kMsgNumbersFileTooLarge));
        return;
    }
    std::string bytes;
    if (!ReadFileOrTell(path, bytes)) return;
    if (bytes.size() > kNumbersFileMaxBytes) {
        MessageShow(GetMessageA(kMsgNumbersFileTooLarge));
        return;
    }
    std::vector<TPhoneGridRow> rows = PhoneGridRows();
    const TNumbersImportResult result =
        NumbersCsvImport(bytes, rows, static_cast<std::size_t>(g_DeviceCapacity) + 8, g_CloudSession != 0);
    SetPhoneGridRows(std::move(rows));
    // Lines left out are counted to the user, the first few shown; a file that held nothing
    // to take is said so, rather than nothing at all.
    const std::string report =
        NumbersImportReport(result, {GetMessageA(kMsgNumbersMixed), GetMessageA(kMsgNumbersUntold),
                                     GetMessageA(kMsgNumbersEncoding), GetMessageA(kMsgNumbersTabs)});
    if (result.HeldNoNumber()) MessageShow(GetMessageA(kMsgNumbersFileEmpty));
    else if (!report.empty()) MessageShow(report);
    // In a session the rows just marked "add" go to the server.
    StartNumberSync();
}

void TForm1::UiButton4Click(TObject* /*Sender*/) {
    SaveDialog->SetInitialDir(GetUserPathToFolder(CSIDL_PERSONAL));
    SaveDialog->SetFileName(NumbersExportFileName(SessionImeiText()));
    SaveDialog->SetDefaultExt("csv");
    if (!SaveDialog->Execute()) return;
    const TNumbersCsvExport file = NumbersCsvExport(PhoneGridRows());
    if (!SaveFileOrTell(SaveDialog->GetFileName(), file.Bytes)) return;
    // Rows the file could not hold as they stand are counted to the user, the first few shown.
    const std::string report = NumbersExportReport(file);
    if (!report.empty()) MessageShow(report);
}

void TForm1::UiButton7Click(TObject* /*Sender*/) {
    const std::string keyword = SearchKeyword(aPhone->GetText(), aName->GetText());
    if (keyword.empty()) {
        MessageShow(kTextFillSearch);
        return;
    }
    g_NumberSearch.ClearKeyword();
    SyncSearchKeyword();
    if (g_CloudSession &&
        MessageBox(kTextSearchQuestion, kTextSearchQuestionTitle, MB_YESNO | MB_ICONQUESTION) == IDYES) {
        if (g_CloudNumberQuery) g_CloudNumberQuery(keyword);
        MiniLog(kLogSearchRequest, kOutgoing);
        ShowWaitPanel(kSearchWaitSeconds, 0, kTextSearchWait);
        return;
    }
    MessageShow(SearchResultText(FindInTableKeyWord(keyword)));
    PhonesGrid->Invalidate();
}

std::int32_t TForm1::FindInTableKeyWord(const std::string& keyword) {
    std::vector<TPhoneGridRow> rows = PhoneGridRows();
    // An empty keyword is in every cell: it finds nothing.
    const int count = keyword.empty() ? (g_NumberSearch.Cancel(rows), 0) : g_NumberSearch.Find(rows, keyword);
    SetPhoneGridRows(std::move(rows));
    SyncSearchKeyword();
    return count;
}

void TForm1::N8Click(TObject* /*Sender*/) {
    std::vector<TPhoneGridRow> rows = PhoneGridRows();
    g_NumberSearch.Cancel(rows);
    SetPhoneGridRows(std::move(rows));
    SyncSearchKeyword();
}

void TForm1::N5Click(TObject* /*Sender*/) {
    if (N5->GetChecked()) {
        N5->SetChecked(false);
        g_NumberSearch.ClearKeyword();
        SyncSearchKeyword();
        return;
    }
    N5->SetChecked(true);
    const std::string text = PhonesGrid->GetCells(PhonesGrid->GetCol(), PhonesGrid->GetRow());
    MessageShow(SearchCountText(FindInTableKeyWord(text)));
    PhonesGrid->Invalidate();
}
