#include "platform/sys/Shell.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <mutex>

namespace sys {
namespace {
std::mutex g_lock;
ShellOpener& Opener() {
    static ShellOpener opener;
    return opener;
}
}  // namespace

bool ShellOpen(const std::string& pathOrUrl) {
    if (pathOrUrl.empty()) return false;
    ShellOpener opener;
    {
        std::lock_guard<std::mutex> g(g_lock);
        opener = Opener();
    }
    if (opener) return opener(pathOrUrl);
    // The path is one argument of the opener: no shell parses it, and a name that begins
    // with "-" cannot pass for an option.
    std::string arg = pathOrUrl[0] == '-' ? "./" + pathOrUrl : pathOrUrl;
    return QProcess::startDetached(QStringLiteral("xdg-open"), QStringList{QString::fromStdString(arg)});
}

void SetShellOpener(ShellOpener opener) {
    std::lock_guard<std::mutex> g(g_lock);
    Opener() = std::move(opener);
}

}  // namespace sys
