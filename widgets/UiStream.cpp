#include "widgets/UiStream.h"

#include <cstdlib>
#include <sstream>

namespace {
std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r"), e = s.find_last_not_of(" \t\r");
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

bool ParseInt(const std::string& s, int& out) {
    if (s.empty()) return false;
    char* end = nullptr;
    long v = std::strtol(s.c_str(), &end, 10);
    if (*end != '\0') return false;
    out = static_cast<int>(v);
    return true;
}
}  // namespace

void TUiTextWriter::DefineInteger(const std::string& name, const std::function<void(int)>&,
                                  const std::function<int()>& write, bool hasData) {
    if (hasData && write) FText += name + " = " + std::to_string(write()) + "\n";
}

void TUiTextWriter::DefineIntegerList(const std::string& name,
                                      const std::function<void(const std::vector<int>&)>&,
                                      const std::function<std::vector<int>()>& write, bool hasData) {
    if (!hasData || !write) return;
    std::string line = name + " = (";
    bool first = true;
    for (int v : write()) {
        if (!first) line += ' ';
        line += std::to_string(v);
        first = false;
    }
    FText += line + ")\n";
}

TUiTextReader::TUiTextReader(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        FValues[Trim(line.substr(0, eq))] = Trim(line.substr(eq + 1));
    }
}

void TUiTextReader::DefineInteger(const std::string& name, const std::function<void(int)>& read,
                                  const std::function<int()>&, bool) {
    auto it = FValues.find(name);
    int v;
    if (it != FValues.end() && read && ParseInt(it->second, v)) read(v);
}

void TUiTextReader::DefineIntegerList(const std::string& name,
                                      const std::function<void(const std::vector<int>&)>& read,
                                      const std::function<std::vector<int>()>&, bool) {
    auto it = FValues.find(name);
    if (it == FValues.end() || !read) return;
    std::string body = it->second;
    if (body.size() < 2 || body.front() != '(' || body.back() != ')') return;
    std::istringstream in(body.substr(1, body.size() - 2));
    std::vector<int> values;
    std::string word;
    while (in >> word) {
        int v;
        if (!ParseInt(word, v)) return;  // a malformed list is not read at all
        values.push_back(v);
    }
    read(values);
}

void TUiTextReader::DefineBoolean(const std::string& name, const std::function<void(bool)>& read) {
    auto it = FValues.find(name);
    if (it == FValues.end() || !read) return;
    if (it->second == "True") read(true);
    if (it->second == "False") read(false);
}

void TUiTextReader::DefineIdent(const std::string& name,
                                const std::function<void(const std::string&)>& read) {
    auto it = FValues.find(name);
    if (it != FValues.end() && read) read(it->second);
}
