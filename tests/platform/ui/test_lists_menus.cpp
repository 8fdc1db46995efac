// Lines of a memo, items of a combo box, popup menus and image lists.
#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QAbstractTextDocumentLayout>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include "platform/ui/Dialogs.h"
#include "platform/ui/Forms.h"
#include "platform/ui/ImgList.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"
#include "support/RealInput.h"

template <class Memo>
class MemoLines : public ::testing::Test {};
using MemoKinds = ::testing::Types<TMemo, TLogMemo>;
TYPED_TEST_SUITE(MemoLines, MemoKinds);

TYPED_TEST(MemoLines, AddInsertDeleteAndText) {
    TypeParam memo(nullptr);
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

// The action log's memo beside the read-only memo it stands in for, alike in place, size and
// font, the same lines in both once filled: three lines a step, Cyrillic, one of them wrapped.
struct LogMemoBeside : ::testing::Test {
    const int flash = QApplication::cursorFlashTime();
    TForm form{nullptr};
    TMemo* memo = new TMemo(&form);
    TLogMemo* log = new TLogMemo(&form);
    TEdit* edit = new TEdit(&form);  // holds the focus while the two are only looked at
    const std::array<TWinControl*, 2> both{memo, log};

    void SetUp() override {
        QApplication::setCursorFlashTime(0);  // a steady caret, the same in every picture
        form.SetBounds(0, 0, 320, 200);
        memo->SetReadOnly(true);
        for (TWinControl* c : both) {
            c->SetParent(&form);
            c->SetBounds(c == memo ? 0 : 160, 0, 145, 150);
            c->GetFont()->SetHeight(-11);
            c->GetFont()->SetColor(RGB(0, 0, 255));
        }
        memo->SetScrollBars(ssVertical);
        log->SetScrollBars(ssVertical);
        edit->SetParent(&form);
        edit->SetTop(160);
        form.Show();
        ASSERT_TRUE(realinput::Activate(form.GetWidget()));
    }
    void TearDown() override { QApplication::setCursorFlashTime(flash); }
    void Fill() {
        for (int i = 0; i < 20; ++i)
            for (const std::string& line : {std::string(), "Запрос статуса " + std::to_string(i),
                                           "<< Ответ на запрос параметров конфигурации, блок " + std::to_string(i)}) {
                memo->GetLines()->Add(line);
                log->GetLines()->Add(line);
            }
        LayOutMemo();
    }
    // A memo counts the rows of a line it has not laid out yet as one: here it lays out all.
    void LayOutMemo() {
        QTextDocument* document = static_cast<QPlainTextEdit*>(memo->GetWidget())->document();
        for (QTextBlock b = document->begin(); b.isValid(); b = b.next()) document->documentLayout()->blockBoundingRect(b);
    }
    // The text as shown, and where the scroll bar stands.
    static std::pair<QImage, std::array<int, 3>> Look(TWinControl* c) {
        return {Viewport(c)->grab().toImage(), {Bar(c)->maximum(), Bar(c)->pageStep(), Bar(c)->value()}};
    }
    static QWidget* Viewport(TWinControl* c) { return static_cast<QAbstractScrollArea*>(c->GetWidget())->viewport(); }
    static QScrollBar* Bar(TWinControl* c) { return static_cast<QAbstractScrollArea*>(c->GetWidget())->verticalScrollBar(); }
    static void Wheel(TWinControl* c, int notches) {
        QWheelEvent e(QPointF(20, 20), Viewport(c)->mapToGlobal(QPointF(20, 20)), {}, QPoint(0, 120 * notches),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(Viewport(c), &e);
    }
    static QAccessibleTextInterface* Reader(TWinControl* c) {
        return QAccessible::queryAccessibleInterface(c->GetWidget())->textInterface();
    }
};

// The same pixels at the top, at the end and a wheel notch up, and the mouse and the keys
// select the same text, which Copy copies and a screen reader reads as the selection; a double
// click selects the same word.
TEST_F(LogMemoBeside, ShowsScrollsAndSelectsAsAReadOnlyMemo) {
    std::map<TWinControl*, std::pair<QImage, std::array<int, 3>>> empty, selected;  // focused: its caret shows
    for (TWinControl* c : both) {
        c->SetFocus();
        empty[c] = Look(c);
    }
    EXPECT_EQ(empty[log], empty[memo]);
    edit->SetFocus();
    Fill();
    EXPECT_EQ(Look(log), Look(memo)) << "at the top";
    memo->ScrollToEnd();
    log->ScrollToEnd();
    EXPECT_EQ(Look(log), Look(memo)) << "at the end";
    Wheel(memo, 1);
    Wheel(log, 1);
    EXPECT_EQ(Look(log), Look(memo)) << "a notch up";

    std::map<TWinControl*, QString> copied, word;
    std::map<TWinControl*, std::array<int, 3>> read;  // the selection and the caret, as read
    for (TWinControl* c : both) {
        QTest::mousePress(Viewport(c), Qt::LeftButton, Qt::NoModifier, QPoint(40, 30));
        QTest::mouseMove(Viewport(c), QPoint(90, 60));
        QTest::mouseRelease(Viewport(c), Qt::LeftButton, Qt::NoModifier, QPoint(90, 60));
        for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_End, Qt::Key_Left})
            realinput::Key(key, Qt::ShiftModifier);
        selected[c] = Look(c);
        Reader(c)->selection(0, &read[c][0], &read[c][1]);
        read[c][2] = Reader(c)->cursorPosition();
        realinput::Key(Qt::Key_C, Qt::ControlModifier);
        copied[c] = QApplication::clipboard()->text();
        realinput::DoubleClick(Viewport(c), QPoint(60, 45));
        realinput::Key(Qt::Key_C, Qt::ControlModifier);
        word[c] = QApplication::clipboard()->text();
    }
    EXPECT_EQ(selected[log], selected[memo]);
    EXPECT_EQ(copied[log], copied[memo]);
    EXPECT_FALSE(copied[log].isEmpty());
    EXPECT_EQ(read[log], read[memo]);
    EXPECT_EQ(word[log], word[memo]);
    EXPECT_TRUE(word[log].size() > 1 && !word[log].contains(' ')) << word[log].toStdString();
}

// A screen reader reads the log as it reads the memo: by character, word and row (a wrapped
// line's rows apart), offsets counting characters, not the bytes of the Cyrillic letters; the
// pieces before and after are the ones next to it, across the lines too. The whole text is no
// value of the log's, and a character in view is where the mouse finds it.
TEST_F(LogMemoBeside, ReadsAsTheMemoThroughItsTextInterface) {
    Fill();
    QAccessibleTextInterface *m = Reader(memo), *l = Reader(log);
    using TRead = QString (QAccessibleTextInterface::*)(int, QAccessible::TextBoundaryType, int*, int*) const;
    // The text, its start and its end.
    const auto piece = [](QAccessibleTextInterface* r, TRead read, int offset, QAccessible::TextBoundaryType type) {
        int start = -1, end = -1;
        const QString text = (r->*read)(offset, type, &start, &end);
        return std::tuple(QString(text).replace(QChar::ParagraphSeparator, '\n').toStdString(), start, end);
    };
    const int length = m->characterCount();
    ASSERT_EQ(l->characterCount(), length);
    EXPECT_EQ(l->text(length - 60, length), m->text(length - 60, length).replace(QChar::ParagraphSeparator, '\n'));
    for (auto type : {QAccessible::CharBoundary, QAccessible::WordBoundary, QAccessible::LineBoundary})
        for (int offset = 0; offset <= length; ++offset) {
            const auto at = piece(l, &QAccessibleTextInterface::textAtOffset, offset, type);
            const auto [text, start, end] = at;
            ASSERT_EQ(at, piece(m, &QAccessibleTextInterface::textAtOffset, offset, type)) << type << " at " << offset;
            if (type == QAccessible::WordBoundary) continue;
            // The next row begins after the blank a row broke at, or after the line break.
            const int next = type == QAccessible::LineBoundary ? end + 1 : end;
            if (start > 0) {
                EXPECT_EQ(piece(l, &QAccessibleTextInterface::textBeforeOffset, offset, type),
                          piece(m, &QAccessibleTextInterface::textAtOffset, start - 1, type))
                    << type << " before " << offset;
            }
            if (next < length) {
                EXPECT_EQ(piece(l, &QAccessibleTextInterface::textAfterOffset, offset, type),
                          piece(m, &QAccessibleTextInterface::textAtOffset, next, type)) << type << " after " << offset;
            }
        }
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(log->GetWidget())->text(QAccessible::Value).isEmpty());

    // Scrolled to the end, a point in view finds the character the memo's mouse finds, and the
    // character stands where the memo's caret stands before it.
    memo->ScrollToEnd();
    log->ScrollToEnd();
    auto* plain = static_cast<QPlainTextEdit*>(memo->GetWidget());
    for (int y = 0; y < Viewport(log)->height(); ++y)
        for (int x : {20, 90}) {
            QTextCursor at = plain->cursorForPosition(QPoint(x, y));
            EXPECT_EQ(l->offsetAtPoint(Viewport(log)->mapToGlobal(QPoint(x, y))), at.position()) << x << ", " << y;
            if (at.position() < length) {
                EXPECT_EQ(l->characterRect(at.position()).topLeft(),
                          Viewport(log)->mapToGlobal(plain->cursorRect(at).topLeft()));
            }
        }
    EXPECT_TRUE(l->characterRect(0).isEmpty()) << "out of view";
}

// An empty log, and one emptied, answer every question of a screen reader with nothing: no
// text at, before or after any place by any unit, no characters, the caret at 0, no
// selection, no place on the screen; a double click finds no word.
TEST_F(LogMemoBeside, AnEmptyOrClearedLogAnswersAScreenReaderWithNothing) {
    using TRead = QString (QAccessibleTextInterface::*)(int, QAccessible::TextBoundaryType, int*, int*) const;
    QAccessibleTextInterface* l = Reader(log);
    for (const bool cleared : {false, true}) {
        SCOPED_TRACE(cleared ? "cleared" : "empty");
        if (cleared) {
            Fill();
            log->Clear();
        }
        for (TRead read : {&QAccessibleTextInterface::textAtOffset, &QAccessibleTextInterface::textBeforeOffset,
                           &QAccessibleTextInterface::textAfterOffset})
            for (auto type : {QAccessible::CharBoundary, QAccessible::WordBoundary, QAccessible::SentenceBoundary,
                              QAccessible::ParagraphBoundary, QAccessible::LineBoundary, QAccessible::NoBoundary})
                for (int offset : {-1, 0, 1}) {
                    int start = -1, end = -1;
                    EXPECT_EQ((l->*read)(offset, type, &start, &end), QString()) << type << " at " << offset;
                    EXPECT_EQ(std::pair(start, end), std::pair(0, 0)) << type << " at " << offset;
                }
        int start = -1, end = -1;
        l->selection(0, &start, &end);
        EXPECT_EQ(std::pair(start, end), std::pair(0, 0));
        EXPECT_EQ(l->selectionCount(), 0);
        EXPECT_EQ(l->characterCount(), 0);
        EXPECT_EQ(l->text(0, -1), QString());
        EXPECT_EQ(l->cursorPosition(), 0);
        EXPECT_TRUE(l->characterRect(0).isEmpty());
        EXPECT_EQ(l->offsetAtPoint(Viewport(log)->mapToGlobal(QPoint(10, 10))), 0);
        realinput::DoubleClick(Viewport(log), QPoint(10, 10));
        EXPECT_EQ(l->selectionCount(), 0);
    }
}

// A change of width lays out only the lines in view: the line at the top stays there, and the
// log shows at its end, at its top and scrolled from there what the memo filled at that width
// shows, and at its end after a change of font. Lines of wide and of narrow letters take other
// rows than their length suggests.
TEST_F(LogMemoBeside, AChangeOfWidthKeepsTheTopLineAndShowsAsTheMemoAtThatWidth) {
    edit->SetFocus();
    memo->SetWidth(300);
    for (const char* line : {"WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW", "iiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiii"})
        for (int i = 0; i < 4; ++i)
            for (TStrings* lines : {memo->GetLines(), log->GetLines()}) lines->Add(line);
    Fill();
    Wheel(log, -4);
    const QPoint corner = Viewport(log)->mapToGlobal(QPoint(6, 6));
    const auto top = [&] {
        int start, end;
        return Reader(log)->textAtOffset(Reader(log)->offsetAtPoint(corner), QAccessible::ParagraphBoundary, &start, &end);
    };
    const QString before = top();
    log->SetWidth(300);
    EXPECT_EQ(top(), before);
    const auto same = [&](const char* where) {
        EXPECT_EQ(Viewport(log)->grab().toImage(), Viewport(memo)->grab().toImage()) << where;
    };
    memo->ScrollToEnd();
    log->ScrollToEnd();
    same("at the end");
    for (TWinControl* c : both)
        for (int i = 0; i < 40; ++i) Wheel(c, 1);  // a notch is three rows
    same("at the top");
    for (TWinControl* c : both) Wheel(c, -2);
    same("two notches down");
    for (TWinControl* c : both) c->GetFont()->SetHeight(-22);
    LayOutMemo();
    memo->ScrollToEnd();
    log->ScrollToEnd();
    same("a larger font, at the end");
    // Then it rests: no paint asks for another.
    struct TPaints : QObject {
        int Count = 0;
        bool eventFilter(QObject*, QEvent* e) override { return Count += e->type() == QEvent::Paint, false; }
    } paints;
    QApplication::processEvents();
    Viewport(log)->installEventFilter(&paints);
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
    EXPECT_EQ(paints.Count, 0);
}

// The log's scroll bar is the classic one in the fixed system colours, whatever the log's
// colours: raised buttons and thumb, an arrow grey where the bar cannot scroll, no thumb
// while there is nothing to scroll; a button held down by the mouse is flat and scrolls.
TEST_F(LogMemoBeside, ItsScrollBarIsTheClassicOne) {
    QScrollBar* bar = Bar(log);
    const int w = bar->width(), h = bar->height();
    const auto rgb = [](TColor c) { return qRgb(GetRValue(ColorToRGB(c)), GetGValue(ColorToRGB(c)), GetBValue(ColorToRGB(c))); };
    const auto at = [&](int x, int y) { return bar->grab().toImage().pixel(x, y); };
    // The arrows' tips, a pixel of the track above the end, and the buttons' corners.
    const QPoint up(w / 2, w / 2 - 2), down(w / 2, h - w + w / 2 + 1), track(w / 2, h - w - 3);
    EXPECT_EQ(at(up.x(), up.y()), rgb(clGrayText));
    EXPECT_EQ(at(down.x(), down.y()), rgb(clGrayText));
    EXPECT_EQ(at(track.x(), track.y()), rgb(clScrollBar));
    EXPECT_EQ(at(0, 0), rgb(cl3DLight));
    EXPECT_EQ(at(w - 1, w / 2), rgb(cl3DDkShadow));
    Fill();
    log->ScrollToEnd();
    EXPECT_EQ(at(up.x(), up.y()), rgb(clBtnText));
    EXPECT_EQ(at(down.x(), down.y()), rgb(clGrayText));
    EXPECT_EQ(at(track.x(), track.y()), rgb(clBtnFace)) << "the thumb at the end";
    EXPECT_EQ(at(w - 1, h - w - 1), rgb(cl3DDkShadow)) << "the thumb raised";
    const int end = bar->value();
    QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, QPoint(w / 2, w / 2));
    EXPECT_EQ(at(0, 0), rgb(clBtnShadow)) << "held down";
    QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, QPoint(w / 2, w / 2));
    EXPECT_EQ(bar->value(), end - 1);
    EXPECT_EQ(at(0, 0), rgb(cl3DLight)) << "let go";
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
