#include "cloud/CloudReply.h"

#include <exception>
#include <memory>

#include <json/reader.h>

#include "cloud/CloudJsonRead.h"
#include "cloud/CloudRequest.h"
#include "cloud/CloudStreamReader.h"
#include "platform/rtl/CodePage.h"

bool ParseCloudReplyText(std::string_view cp1251Text, bool cut, Json::Value& root,
                         std::string& errors) {
    root = Json::Value();
    errors.clear();
    if (cut) {
        errors = "* Reply longer than " + std::to_string(kJsonCollectorSize) + " bytes\n";
        return false;
    }
    const std::string text = Cp1251ToUtf8(cp1251Text);
    try {
        Json::CharReaderBuilder builder;
        builder["collectComments"] = false;
        std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
        if (!reader->parse(text.data(), text.data() + text.size(), &root, &errors)) {
            root = Json::Value();
            return false;
        }
        return true;
    } catch (const std::exception& e) {
        // The parser throws on nesting past its depth limit.
        root = Json::Value();
        errors = std::string("* ") + e.what() + "\n";
        return false;
    }
}

TCloudReply ReadCloudReply(const Json::Value& root) {
    TCloudReply r;
    r.Root = root;
    r.Response = JsonText(root, "response");
    if (r.Response.empty()) return r;
    r.Data = JsonMember(root, "data");
    r.ClosesWait = r.Response != cloudcmd::Status;
    if (r.Response == cloudcmd::SetOut) r.ResponseLine = "Ответ на команду активации выхода";
    if (r.Response == cloudcmd::AutoReg) r.ResponseLine = "Ответ на команду авторегистрации";
    if (r.Data.isString()) {
        r.Kind = TCloudReplyKind::StatusWord;
        r.Status = JsonString(r.Data);
    } else if (r.Response == cloudcmd::Add || r.Response == cloudcmd::Del) {
        r.Kind = TCloudReplyKind::SyncAck;
    } else if (r.Response == cloudcmd::Status) {
        r.Kind = TCloudReplyKind::Status;
    } else if (r.Response == cloudcmd::NumberInfo) {
        r.Kind = TCloudReplyKind::NumberInfo;
    } else if (r.Response == cloudcmd::Config) {
        r.Kind = TCloudReplyKind::Config;
    } else if (r.Response == cloudcmd::Chrono) {
        r.Kind = TCloudReplyKind::Chrono;
    } else {
        r.Kind = TCloudReplyKind::Ignored;
    }
    return r;
}

std::optional<TAsk> AskOfCloudResponse(const std::string& response) {
    if (response == cloudcmd::Defrag) return TAsk::CloudDefrag;
    if (response == cloudcmd::TransparentPort) return TAsk::CloudPort;
    if (response == cloudcmd::Update) return TAsk::CloudUpdate;
    if (response == cloudcmd::Chrono) return TAsk::CloudLog;
    if (response == cloudcmd::Config) return TAsk::CloudConfig;
    return std::nullopt;
}

TCloudStatusEffect CloudStatusEffect(const std::string& response, const std::string& status) {
    TCloudStatusEffect e;
    const bool auth = response == cloudcmd::DispAuth;
    const bool update = response == cloudcmd::Update;
    if (status == "ok") {
        if (auth) {
            e.LogIn = true;
            e.IncomingLine = "Ответ на авторизацию";
        } else if (response == cloudcmd::Defrag) {
            e.Message = "Дефрагментация выполнена!";
            e.IncomingLine = "Ответ о выполнении дефрагментации";
        } else if (response == cloudcmd::TransparentPort) {
            e.Message = "Прозрачное соединение запущено!";
            e.IncomingLine = "Ответ о запуске прозрачного порта";
        }
    } else if (status == "not registred") {
        e.Message = "Объект не зарегистрирован!";
        e.ExplainsEnd = auth;
    } else if (status == "denied") {
        e.ExplainsEnd = auth;  // refused a login; another request is refused alone
        if (response == cloudcmd::Config)
            e.Message = "Для выполнения операции Вы должны обладать правами администратора!";
        else if (auth)
            e.Message = "Объект занят другим пользователем! Попробуйте попытку позже.";
        else
            e.Message = "Доступ запрещен!";
    } else if (status == "closed by admin") {
        e.ExplainsEnd = true;
        if (auth) e.Message = "Ваша сессия закрыта администратором! Повторите позже. :(";
    } else if (status == "error") {
        e.IncomingLine = "Ошибка выполнения запроса";
        if (update) {
            e.Message = "В процессе обновления возникла ошибка. Повторите заново.";
            e.HideUpdateBar = true;
        } else {
            e.Message = "Ошибка!";
        }
    } else if (status == "fail auth") {
        e.EndSession = true;
        e.ExplainsEnd = true;
        e.IncomingLine = "Ошибка авторизации";
        if (auth)
            e.LoginFailText = "Проверьте правильность ввода пароля";
        else
            e.Message = "Не правильно введен пароль!";
    } else if (status == "not finded") {
        if (update) {
            e.Message = "Файл прошивки отсутсвует на сервере!";
            e.IncomingLine = "Ответ на запрос обновления";
        } else {
            e.Message = "Указанный номер не найден!";
            e.IncomingLine = "Ответ на запрос параметров номера";
        }
    } else if (status == "no data") {
        e.Message = "Нет данных за указанный период!";
        e.IncomingLine = "Ответ на запрос журнала";
        e.NoLogRows = true;
    } else if (status == "updated") {
        e.Message = "Обновление завершено. Прибор будет перезагружен!";
        e.HideUpdateBar = true;
        e.IncomingLine = "Ответ на запрос обновления";
    } else if (status == "notrequed") {
        e.Message = "Обновление не требуется.";
        e.IncomingLine = "Ответ на запрос обновления";
    } else if (status == "unknow command") {
        e.Message = "Команда не поддерживается";
    }
    return e;
}

TCloudAccess CloudAccessFromWord(const std::string& word) {
    if (word == "admin") return {32, "Администратор"};
    if (word == "manager") return {16, "Управляющий"};
    return {0, "Не подтвержден"};
}
