#include "cloud/CloudTraffic.h"

std::vector<std::string> TrafficRequestLines(const std::string& requestText) {
    return {">>> To server >>>", requestText, ""};
}

std::vector<std::string> TrafficReceivedLines(const std::string& blockText) {
    return {"<<< From server <<<", blockText, ""};
}

std::vector<std::string> TrafficParseErrorLines(const std::string& errors, const std::string& replyText) {
    return {">>> Error JSON parser <<<", errors, replyText};
}
