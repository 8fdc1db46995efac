// The language file applied to the window, numbered messages and the language toggle.
#include "app/LangFile.h"
#include "app/LangText.h"
#include "app/Unit1.h"
#include "config/ConfigItems.h"
#include "platform/sys/Folders.h"
#include "platform/sys/Version.h"
#include "platform/ui/Dialogs.h"

std::string TForm1::ReadLangStr(const std::string& value) const { return ::ReadLangStr(value, g_Language); }

std::string TForm1::GetMessageA(int n) const { return ReadLangMessage(g_LangFilePath, n, g_Language); }

void TForm1::SetCaptionOf(const std::string& controlName, const std::string& caption) {
    if (auto* control = dynamic_cast<TControl*>(FindComponent(controlName))) control->SetCaption(caption);
}

void TForm1::SetLanguage(const std::string& /*language*/) {
    TBitmap picture;
    ImageList3->GetBitmap(IsEnglishLanguage(g_Language) ? 1 : 0, &picture);
    LangImage->SetPicture(picture);
    // Message and question boxes name their buttons in the window's language.
    SetDialogLanguage(IsEnglishLanguage(g_Language) ? TDialogLanguage::English : TDialogLanguage::Russian);
    const TLanguageTexts texts = ReadLanguageTexts(g_LangFilePath, g_Language);
    g_ProgramVersion = sys::FileVersion(sys::ExePath());
    FormCaption->SetCaption(FormTitleText(texts.Caption, g_ProgramVersion));
    LangImage->SetHint(texts.LangHint);
    CloseImage->SetHint(texts.CloseHint);
    MinzImage->SetHint(texts.MinimizeHint);
    for (const auto& [name, caption] : texts.CaptionsBefore) SetCaptionOf(name, caption);
    if (auto* operators = dynamic_cast<TComboBox*>(FindComponent("OPERATOR"))) {
        operators->GetItems()->Clear();
        // Without a language file the record's own six names stand in for the empty list.
        for (const std::string& op : OperatorItems(texts.Operators)) operators->GetItems()->Add(op);
    }
    for (const auto& [name, caption] : texts.CaptionsAfter) SetCaptionOf(name, caption);
}

void TForm1::LangImageClick(TObject* /*Sender*/) {
    // The pages are taken into the records first: a value they refuse leaves the language
    // as it was rather than half switched.
    ReadConfigFromObjects();
    g_Language = ToggledLanguage(g_Language);
    SetLanguage(g_Language);
    WriteConfigToObjects();
}
