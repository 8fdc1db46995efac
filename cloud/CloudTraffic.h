#pragma once
// Lines the server-traffic window adds for each request, received block and reply that
// would not parse (the header line, the text, an empty line).
#include <string>
#include <vector>

std::vector<std::string> TrafficRequestLines(const std::string& requestText);
std::vector<std::string> TrafficReceivedLines(const std::string& blockText);
std::vector<std::string> TrafficParseErrorLines(const std::string& errors, const std::string& replyText);
