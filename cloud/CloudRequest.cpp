#include "cloud/CloudRequest.h"

#include "cloud/CloudJsonWriter.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/DateTime.h"

std::string CloudRequestHeader(std::int32_t uid) {
    return "PUT / HTTP/1.1\r\nConnection: keep-alive\r\nUID: " + std::to_string(uid) + "\r\n\r\n";
}

std::string CloudRequestText(std::int32_t uid, const Json::Value& request) {
    return CloudRequestHeader(uid) + StyledJsonText(request);
}

std::string CloudRequestBytes(std::int32_t uid, const Json::Value& request) {
    return Utf8ToCp1251(CloudRequestText(uid, request));
}

Json::Value CloudRequestObject(const std::string& imei, const std::string& pass,
                               const std::string& command, const Json::Value& data) {
    Json::Value v(Json::objectValue);
    v["command"] = command;
    v["data"] = data;
    v["imei"] = imei;
    v["pass"] = pass;
    return v;
}

Json::Value JsonCommand(const std::string& imei, const std::string& pass,
                        const std::string& command, const std::string& data) {
    return CloudRequestObject(imei, pass, command, Json::Value(data));
}

Json::Value DispAuthRequest(const std::string& imei, const std::string& pass) {
    return JsonCommand(imei, pass, cloudcmd::DispAuth, "high priority");
}
Json::Value CloseRequest(const std::string& imei, const std::string& pass) {
    return JsonCommand(imei, pass, cloudcmd::Close, "");
}
Json::Value StatusRequest(const std::string& imei, const std::string& pass) {
    return JsonCommand(imei, pass, cloudcmd::Status, "");
}
Json::Value SetOutRequest(const std::string& imei, const std::string& pass) {
    return JsonCommand(imei, pass, cloudcmd::SetOut, "");
}
Json::Value AutoRegRequest(const std::string& imei, const std::string& pass, bool on) {
    return JsonCommand(imei, pass, cloudcmd::AutoReg, on ? "1" : "0");
}
Json::Value DefragRequest(const std::string& imei, const std::string& pass) {
    return JsonCommand(imei, pass, cloudcmd::Defrag, "");
}
Json::Value ResetRequest(const std::string& imei, const std::string& pass) {
    return JsonCommand(imei, pass, cloudcmd::Reset, "");
}
Json::Value UpdateRequest(const std::string& imei, const std::string& pass) {
    return JsonCommand(imei, pass, cloudcmd::Update, "");
}
Json::Value SimNumberRequest(const std::string& imei, const std::string& pass,
                             const std::string& simNumber) {
    return JsonCommand(imei, pass, cloudcmd::SimNumber, simNumber);
}
Json::Value ConfigRequest(const std::string& imei, const std::string& pass) {
    return JsonCommand(imei, pass, cloudcmd::Config, "");
}
Json::Value NumberInfoRequest(const std::string& imei, const std::string& pass,
                              const std::string& number, const std::string& name) {
    return JsonCommand(imei, pass, cloudcmd::NumberInfo, number.empty() ? name : number);
}

std::string ChronoDateText(TDateTime date) { return FormatDateTime("ddmmyyyy", date); }

Json::Value ChronoRequest(const std::string& imei, const std::string& pass,
                          const std::string& startDate, const std::string& endDate,
                          int operation, const std::string& number) {
    Json::Value data(Json::objectValue);
    data["sdate"] = startDate;
    data["edate"] = endDate;
    data["number"] = number.empty() ? std::string("x") : number;
    data["operation"] = operation > 0 ? std::to_string(operation) : std::string("0");
    data["response"] = "1";
    return CloudRequestObject(imei, pass, cloudcmd::Chrono, data);
}

Json::Value NextBlockRequest(const std::string& imei, const std::string& pass, int rowsShown) {
    return JsonCommand(imei, pass, cloudcmd::NextBlock, std::to_string(rowsShown));
}
Json::Value ClearChronoRequest(const std::string& imei, const std::string& pass) {
    return JsonCommand(imei, pass, cloudcmd::ClearChrono, "");
}

Json::Value TransparentPortRequest(const std::string& imei, const std::string& pass,
                                   const TTransparentPortParams& params) {
    Json::Value data(Json::objectValue);
    data["baud"] = params.Baud;
    data["ip"] = params.Ip;
    data["port"] = params.Port;
    data["timeout"] = params.Timeout;
    return CloudRequestObject(imei, pass, cloudcmd::TransparentPort, data);
}

Json::Value CloudUserObject(const TCloudUser& user) {
    Json::Value v(Json::objectValue);
    v["access"] = user.Access;
    v["enddate"] = user.EndDate;
    v["name"] = user.Name;
    v["number"] = user.Number;
    v["passes"] = user.Passes;
    v["shedule"] = user.Shedule;
    return v;
}

Json::Value AddUsersRequest(const std::string& imei, const std::string& pass,
                            const std::vector<TCloudUser>& users) {
    Json::Value data(Json::arrayValue);
    for (const TCloudUser& u : users) data.append(CloudUserObject(u));
    return CloudRequestObject(imei, pass, cloudcmd::Add, data);
}

namespace {
Json::Value StringArray(const std::vector<std::string>& items) {
    Json::Value data(Json::arrayValue);
    for (const std::string& s : items) data.append(s);
    return data;
}
}  // namespace

Json::Value DeleteNumbersRequest(const std::string& imei, const std::string& pass,
                                 const std::vector<std::string>& numbers) {
    return CloudRequestObject(imei, pass, cloudcmd::Del, StringArray(numbers));
}

Json::Value GroupSyncRequest(const std::string& imei, const std::string& pass,
                             const std::vector<std::string>& imeis) {
    return CloudRequestObject(imei, pass, cloudcmd::Sync, StringArray(imeis));
}
