// Status replies through the dispatcher's case into the status page's labels and meter.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "app/Unit1.h"
#include "config/StatusRecord.h"
#include "widgets/UiBorder.h"

namespace {

class StatusPage : public ::testing::Test {
protected:
    void SetUp() override {
        g_StatusRecord = {};
        g_DeviceFwVersion = 0;
        Application->CreateForm(Form1);
    }
    void TearDown() override {
        delete Form1;
        Form1 = nullptr;
        g_StatusRecord = {};
    }
    // A 0x22 reply: result, announced length, record bytes.
    static void Reply(std::uint8_t result, std::uint16_t announced, const std::vector<std::uint8_t>& record) {
        std::vector<std::uint8_t> data = {result, static_cast<std::uint8_t>(announced),
                                          static_cast<std::uint8_t>(announced >> 8)};
        data.insert(data.end(), record.begin(), record.end());
        TDeviceReply reply{0x22, data.data(), data.size()};
        Form1->Reply_Status(reply);
    }
};

// A full record: every field the page shows set to a value that is easy to recognise.
std::vector<std::uint8_t> FullRecord() {
    std::vector<std::uint8_t> r(513, 0);
    std::memcpy(r.data(), "861234567890123", 15);
    r[16] = 41;            // FW 41.0007.0300
    r[17] = 11;
    r[18] = 7;
    r[20] = 0x2C;
    r[21] = 0x01;
    r[23] = 0x15;          // GSM 5, GPRS 1
    r[24] = 16;            // signal
    r[25] = 0xE8;          // 2024-03-02 10:20:30
    r[26] = 0x07;
    r[27] = 3;
    r[28] = 2;
    r[29] = 10;
    r[30] = 20;
    r[31] = 30;
    r[32] = 0xC0;          // cloud, automatic registration
    r[54] = 120;           // numbers stored
    r[60] = 32;
    r[70] = 0x05;          // input 1, output
    r[143] = 0xC0;         // Safe City connected, counters
    r[160] = 0;            // capacity 0 means 15000
    r[166] = 0x2C;         // balance 300
    r[167] = 0x01;
    r[223] = 77;           // base size
    r[219] = 5;
    r[227] = 9;
    r[237] = 2;            // two readers
    r[238] = 0x01;         // reader 1 exchanging, reader 2 not
    r[269] = 4;            // 4G
    r[272] = 3;
    return r;
}

TEST_F(StatusPage, FullRecordInTheLabelsAndMeter) {
    Reply(0, 513, FullRecord());
    const TForm1& f = *Form1;
    EXPECT_EQ(f.Limei->GetCaption(), "IMEI: 861234567890123");
    EXPECT_EQ(f.Lsig->GetCaption(), "Сигнал: 16");
    EXPECT_EQ(f.Msig->GetValue(), 16);
    EXPECT_EQ(f.GSMBER->GetCaption(), "коллизии 0.8 - 1.6%");
    EXPECT_EQ(f.Lfw->GetCaption(), "FW: 41.0007.0300");
    EXPECT_EQ(g_DeviceFwVersion, 41);
    EXPECT_EQ(f.Lgsm->GetCaption(), "GSM reg.: 5");
    EXPECT_EQ(f.Lgprs->GetCaption(), "GPRS reg.: 1");
    EXPECT_EQ(f.Lserver->GetCaption(), "CloudTalivex: connected");
    EXPECT_EQ(f.Lmem->GetCaption(), "Память пользователей: 120/15000");
    EXPECT_EQ(f.Linput1->GetCaption(), "Вход 1: активен");
    EXPECT_EQ(f.Linput2->GetCaption(), "Вход 2: не активен");
    EXPECT_EQ(f.Lout_->GetCaption(), "Выход: вкл.");
    EXPECT_EQ(f.Lar->GetCaption(), "Авторегистрация: вкл.");
    EXPECT_EQ(f.Bar->GetCaption(), "Выключить");
    EXPECT_EQ(f.LACCESS->GetCaption(), "Администратор");
    EXPECT_EQ(f.netTime->GetCaption(), "Время сети: 2024-03-02 10:20:30");
    EXPECT_TRUE(f.netTime->GetVisible());
    EXPECT_EQ(f.Balance->GetCaption(), "Остаток средств на СИМ карте: 300");
    EXPECT_TRUE(f.Balance->GetVisible());
    EXPECT_EQ(f.SafeCityStat->GetCaption(), "Безопасный город: подключен");
    EXPECT_EQ(f.SafeCityTags->GetCaption(), "Память базы БГ: 77 (5/9)");
    EXPECT_EQ(f.SafeCityBaseDate->GetCaption(), "Датакод базы БГ: 1970-01-01 00:00");
    EXPECT_EQ(f.RFID1ST->GetCaption(), " 1 ");
    EXPECT_EQ(f.RFID1ST->GetHint(), "Cчитыватель подключен, обмен данными производится");
    EXPECT_EQ(f.RFID2ST->GetCaption(), " 0 ");
    EXPECT_EQ(f.LNET->GetCaption(), "4G");
    // The display's capacity rule is kept in the record.
    EXPECT_EQ(g_StatusRecord[160] | (g_StatusRecord[161] << 8), 15000);
}

TEST_F(StatusPage, ResultLengthAndUnchangedFields) {
    Reply(0, 513, FullRecord());
    // A failed status changes nothing.
    std::vector<std::uint8_t> other(513, 0);
    Reply(1, 513, other);
    EXPECT_EQ(Form1->Lsig->GetCaption(), "Сигнал: 16");
    EXPECT_EQ(g_StatusRecord[24], 16);

    // 600 announced with 600 sent copies 513.
    std::vector<std::uint8_t> big(600, 0x11);
    Reply(0, 600, big);
    EXPECT_EQ(g_StatusRecord[512], 0x11);

    // An announced length beyond the frame copies only what came; the rest stays.
    g_StatusRecord = {};
    Reply(0, 513, FullRecord());
    Reply(0, 513, {'9', '9'});
    EXPECT_EQ(Form1->Limei->GetCaption(), "IMEI: 991234567890123");
    EXPECT_EQ(Form1->Msig->GetValue(), 16);

    // Network type 7 leaves LNET; one reader with state 0x02 reads " 0 " and " - ".
    std::vector<std::uint8_t> r = FullRecord();
    r[269] = 7;
    r[237] = 1;
    r[238] = 0x02;
    r[16] = 40;
    Reply(0, 513, r);
    EXPECT_EQ(Form1->LNET->GetCaption(), "4G");
    EXPECT_EQ(Form1->RFID1ST->GetCaption(), " 0 ");
    EXPECT_EQ(Form1->RFID2ST->GetCaption(), " - ");
    EXPECT_EQ(Form1->RFID2ST->GetHint(), "Считыватель не подключен");
    EXPECT_EQ(Form1->GSMBER->GetCaption(), "");

    // No readers, no Safe City: both states " - " and the Safe City details empty.
    r[237] = 0;
    r[143] = 0;
    r[24] = 31;
    Reply(0, 513, r);
    EXPECT_EQ(Form1->RFID1ST->GetCaption(), " - ");
    EXPECT_EQ(Form1->SafeCityStat->GetCaption(), "Безопасный город: отключен");
    EXPECT_EQ(Form1->SafeCityTags->GetCaption(), "");
    EXPECT_EQ(Form1->Msig->GetValue(), 31);

    // A reply with the length only still refreshes the page.
    Form1->Lsig->SetCaption("");
    Reply(0, 0, {});
    EXPECT_EQ(Form1->Lsig->GetCaption(), "Сигнал: 31");
}

TEST_F(StatusPage, MeterAsDesigned) {
    TUiMeter* m = Form1->Msig;
    EXPECT_EQ(m->GetMax(), 31);
    EXPECT_EQ(m->GetMeterType(), mtLED);
    for (int band = 0; band < 3; ++band) {
        EXPECT_EQ(m->GetSegCount(band), 5);
        EXPECT_EQ(m->GetSegColor(band), clHighlight);
    }
    EXPECT_EQ(m->GetSegOffColor(), static_cast<TColor>(0x00E0E0E0));
    EXPECT_FALSE(m->GetShowPercent());
}

TEST_F(StatusPage, ReaderStateTexts) {
    TLabel* l = Form1->RFID1ST;
    Form1->SetRFIDState(l, 0);
    EXPECT_EQ(l->GetCaption(), " 0 ");
    Form1->SetRFIDState(l, 5);  // any other state changes nothing
    EXPECT_EQ(l->GetCaption(), " 0 ");
    EXPECT_EQ(Form1->BERToPercentString(7), "> 12.8%");
    EXPECT_EQ(Form1->BERToPercentString(8), "");
}

}  // namespace
