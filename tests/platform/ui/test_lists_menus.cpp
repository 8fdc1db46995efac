// Lines of a memo, items of a combo box, popup menus and image lists.
#include <gtest/gtest.h>

#include "platform/ui/Dialogs.h"
#include "platform/ui/ImgList.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"

TEST(MemoLines, AddInsertDeleteAndText) {
    TMemo memo(nullptr);
    TStrings* lines = memo.GetLines();
    EXPECT_EQ(lines->GetCount(), 0);
    EXPECT_EQ(memo.GetText(), "");
    lines->Add("");
    lines->Add("first");
    lines->Add("<< reply");
    EXPECT_EQ(lines->GetCount(), 3);
    EXPECT_EQ(lines->Get(0), "");
    EXPECT_EQ(lines->Get(2), "<< reply");
    EXPECT_EQ(memo.GetText(), "\r\nfirst\r\n<< reply\r\n");
    lines->Insert(1, "inserted");
    EXPECT_EQ(lines->Get(1), "inserted");
    lines->Delete(3);
    EXPECT_EQ(lines->GetCount(), 3);
    EXPECT_EQ(lines->Get(2), "first");
    lines->Put(0, "zero");
    EXPECT_EQ(lines->Get(0), "zero");
    memo.SetText("a\r\nb\nc");
    EXPECT_EQ(lines->GetCount(), 3);
    EXPECT_EQ(lines->Get(2), "c");
    lines->Clear();
    EXPECT_EQ(lines->GetCount(), 0);
    EXPECT_THROW(lines->Get(0), std::exception);
    // One font colour for the whole memo.
    memo.GetFont()->SetColor(clRed);
    EXPECT_EQ(memo.GetFont()->GetColor(), clRed);
}

TEST(ComboItems, ObjectsAndDeletingTheSelection) {
    TComboBox combo(nullptr);
    TObject marker;
    combo.GetItems()->AddObject("a", &marker);
    combo.GetItems()->Add("b");
    EXPECT_EQ(combo.GetItems()->GetObject(0), &marker);
    EXPECT_EQ(combo.GetItems()->IndexOf("b"), 1);
    combo.SetItemIndex(1);
    combo.GetItems()->Delete(1);
    EXPECT_EQ(combo.GetItemIndex(), -1);
    combo.SetStyle(csDropDown);
    combo.SetText("typed");
    EXPECT_EQ(combo.GetText(), "typed");
    EXPECT_EQ(combo.GetItemIndex(), -1);
}

TEST(PopupMenu, ScriptedChoiceClicksTheItem) {
    ui::test::SetScripted(true);
    ui::test::ClearDialogs();
    TPopupMenu menu(nullptr);
    std::string chosen;
    for (const char* caption : {"Copy", "-", "Delete"}) {
        auto* item = new TMenuItem(&menu);
        item->SetCaption(caption);
        item->OnClick = [&chosen, item](TObject*) { chosen = item->GetCaption(); };
        menu.GetItems()->Add(item);
    }
    ui::test::PushPopupAnswer(2);
    menu.Popup(100, 50);
    EXPECT_EQ(chosen, "Delete");
    menu.Popup(1, 1);  // nothing chosen
    EXPECT_EQ(chosen, "Delete");
    ASSERT_EQ(ui::test::ShownDialogs().size(), 2u);
    EXPECT_EQ(ui::test::ShownDialogs()[0].kind, "popup");
    // A radio item unchecks its group.
    auto* a = menu.GetItems()->GetItem(0);
    auto* b = menu.GetItems()->GetItem(2);
    a->SetRadioItem(true);
    b->SetRadioItem(true);
    a->SetChecked(true);
    b->SetChecked(true);
    EXPECT_FALSE(a->GetChecked());
    ui::test::ClearDialogs();
}

TEST(ImageList, MaskedImagesDrawWithoutTheirMaskColour) {
    TImageList list(nullptr);
    list.SetWidth(2);
    list.SetHeight(2);
    TBitmap strip(4, 2);
    strip.GetCanvas()->GetBrush()->SetColor(clFuchsia);
    strip.GetCanvas()->FillRect(TRect(0, 0, 4, 2));
    strip.SetPixel(0, 0, clRed);
    strip.SetPixel(3, 1, clBlue);
    EXPECT_EQ(list.AddMasked(&strip, clFuchsia), 0);
    EXPECT_EQ(list.GetCount(), 2);
    TBitmap target(4, 4);
    list.Draw(target.GetCanvas(), 1, 1, 0);
    list.Draw(target.GetCanvas(), 2, 2, 1);
    EXPECT_EQ(target.GetPixel(1, 1), clRed);
    EXPECT_EQ(target.GetPixel(2, 1), clWhite);
    EXPECT_EQ(target.GetPixel(3, 3), clBlue);
    TBitmap one;
    list.SetBkColor(clYellow);
    list.GetBitmap(1, &one);
    EXPECT_EQ(one.GetWidth(), 2);
    EXPECT_EQ(one.GetPixel(1, 1), clBlue);
    EXPECT_EQ(one.GetPixel(0, 0), clYellow);
    list.Draw(target.GetCanvas(), 0, 0, 5);  // out of range draws nothing
}
