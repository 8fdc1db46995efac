#include "platform/sys/Shell.h"

#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <utility>

#include "platform/sys/Timer.h"

namespace sys {

struct TShellOpener::Impl : QObject {
    // No parent: an opener still at work when the tool ends is left to finish.
    QPointer<QProcess> process;
    TDone done;
    unsigned call = 0;  // which Open a late signal belongs to
};

TShellOpener::TShellOpener(TComponent* AOwner)
    : TComponent(AOwner), FImpl(std::make_unique<Impl>()), FWait(new TTimer(this)) {
    FWait->SetEnabled(false);
    FWait->SetInterval(kShellOpenWaitMs);
    FWait->OnTimer = [this](TObject*) { Finish(TShellOutcome::Opened, 0); };
}

TShellOpener::~TShellOpener() = default;

void TShellOpener::Open(const std::string& path, TDone done) {
    if (FImpl->process) FImpl->process->disconnect(FImpl.get());
    auto* process = new QProcess;
    FImpl->process = process;
    const unsigned call = ++FImpl->call;
    FImpl->done = std::move(done);
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    QObject::connect(process, &QProcess::errorOccurred, process, [process](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart) process->deleteLater();
    });
    QObject::connect(process, &QProcess::finished, FImpl.get(), [this](int code, QProcess::ExitStatus status) {
        const bool ok = status == QProcess::NormalExit && code == 0;
        Finish(ok ? TShellOutcome::Opened : TShellOutcome::Failed, code);
    });
    // Told after Open has returned, as every other outcome is.
    QObject::connect(process, &QProcess::errorOccurred, FImpl.get(), [this, call](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart && call == FImpl->call) Finish(TShellOutcome::CannotStart, -1);
    }, Qt::QueuedConnection);
    // The path is one argument of the opener: no shell parses it, and a name that begins
    // with "-" cannot pass for an option.
    const std::string arg = !path.empty() && path[0] == '-' ? "./" + path : path;
    process->setProgram(QStringLiteral("xdg-open"));
    process->setArguments({QString::fromStdString(arg)});
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    FWait->SetEnabled(true);
    process->start();
}

void TShellOpener::Finish(TShellOutcome outcome, int exitCode) {
    FWait->SetEnabled(false);
    if (FImpl->process) FImpl->process->disconnect(FImpl.get());
    FImpl->process = nullptr;
    ++FImpl->call;
    if (TDone done = std::exchange(FImpl->done, {})) done(outcome, exitCode);
}

}  // namespace sys
