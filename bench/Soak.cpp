// The soak: the main window, offscreen, against laser-sim reached over TCP
// (the simulator's port stands in for a relay host), for a given time.
// While the laser fires, faults are injected at random from a fixed seed:
// an interlock, a supply reset failure, a silent laser, a garbled status, late
// replies, a dropped relay. Each is held for a while and cleared; then the
// operator's part is played again (supply on, continuous mode, Fire).
// Dialogs are answered as an operator who wants to go on would: Retry, OK.
//
//     trevalon-soak [--seconds N] [--seed S] [--sim PATH] [--verbose]
//
// The report ends with "soak: PASS" or "soak: FAIL ..." (exit 0 or 1). The
// goals: the laser is not firing at the end, resident memory grows by less
// than 1 MB after the first minute (the first third of a shorter run), and
// every status fault reported by a status read is followed by "ST" within
// one poll tick (250 ms). For a silent, late or garbled status the clock
// starts when the read has failed (after its 2000 ms time-out where there is
// one); a dropped relay takes the stop command down with it, so it has no
// such figure.
#include "app/LCMain.h"
#include "comm/ConnectionManager.h"
#include "controls/KxSpeedButton.h"
#include "controls/Switch.h"
#include "dialogs/Dialogs.h"
#include "laser/CVLaser.h"

#include <QAction>
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <limits>
#include <random>
#include <unistd.h>

namespace {

constexpr qint64 PortTimeoutMs = 2000; // the laser port's reply time-out
constexpr qint64 TickMs = TformMain::PollInterval;
constexpr qint64 ReadyLimitMs = 60000; // a window that never polls again is stuck

qint64 MonotonicMs() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

double ResidentMb() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toDouble() * double(::sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// An operator who goes on after every message.
class TSoakDialogs : public TDialogs {
public:
    TMsgResult MessageBox(const QString& text, const QString&, TMsgButtons buttons,
                          TMsgIcon) override {
        ++Messages[text.left(40)];
        switch (buttons) {
        case TMsgButtons::mbRetryCancel:
            return TMsgResult::mrRetry;
        case TMsgButtons::mbYesNo:
            return TMsgResult::mrYes;
        default:
            return TMsgResult::mrOK;
        }
    }
    bool InputQuery(const QString&, const QString&, QString&) override { return false; }
    QString OpenFileName(const QString&, const QString&, const QString&, const QString&) override {
        return {};
    }
    QString SaveFileName(const QString&, const QString&, const QString&, const QString&) override {
        return {};
    }
    void Abort() override { FAborted = true; }
    bool Aborted() const override { return FAborted; }

    QMap<QString, int> Messages;

private:
    bool FAborted = false;
};

// laser-sim on a TCP port, with its time-stamped transcript and its control
// lines on standard input.
class TSimLink {
public:
    bool Start(const QString& program) {
        FTranscript = FDir.filePath(QStringLiteral("transcript.log"));
        FProcess.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        FProcess.start(program, {"--tcp", "127.0.0.1:0", "--transcript", FTranscript,
                                 "--transcript-times", "--set", "set type 8", "--set",
                                 "set motor-time 0", "--set", "set start-time 0"});
        if (!FProcess.waitForStarted(20000))
            return false;
        const QByteArray ready = ReadLine();
        if (!ready.startsWith("READY tcp "))
            return false;
        FAddress = QString::fromLatin1(ready.mid(10).trimmed()).replace(':', '|');
        return true;
    }

    QByteArray Control(const QByteArray& line) {
        FProcess.write(line + '\n');
        FProcess.waitForBytesWritten(10000);
        return ReadLine();
    }

    void Stop() {
        FProcess.terminate();
        FProcess.waitForFinished(20000);
    }

    QString Address() const { return FAddress; }
    QString TranscriptPath() const { return FTranscript; }

private:
    QByteArray ReadLine() {
        QElapsedTimer clock;
        clock.start();
        while (!FProcess.canReadLine() && clock.elapsed() < 20000)
            FProcess.waitForReadyRead(100);
        return FProcess.readLine().trimmed();
    }

    QTemporaryDir FDir;
    QProcess FProcess;
    QString FTranscript;
    QString FAddress;
};

enum class EFault { Interlock, Reset, Silence, Garbage, Late, Drop };
constexpr int FaultKinds = 6;
const char* const FaultNames[FaultKinds] = {"interlock", "reset", "silence",
                                            "garbage",   "late",  "drop"};

// The simulator's control lines that set up and clear each fault; a late
// reply comes just after the port's time-out.
struct TFaultLines {
    const char* Inject;
    const char* Clear;
};
const TFaultLines FaultLines[FaultKinds] = {
    {"set interlock %interlock open", "set interlock %interlock closed"},
    {"set reset-fault 1", "set reset-fault 0"},
    {"fault silent", "fault none"},
    {"garbage SS", "normal SS"},
    {"fault late 2100", "fault none"},
    {"drop", ""}};

struct TInjected {
    EFault Kind;
    qint64 AtMs;   // CLOCK_MONOTONIC
    qint64 Offset; // the transcript's size then: later lines came after it
};

// Plays the operator and the fault injector on a 50 ms timer.
class TSoakDriver : public QObject {
public:
    TSoakDriver(TformMain& form, TSimLink& sim, unsigned seed, qint64 seconds)
        : FForm(form), FSim(sim), FRandom(seed), FEndMs(MonotonicMs() + seconds * 1000) {
        FBaselineAtMs = MonotonicMs() + std::min<qint64>(60, seconds / 3) * 1000;
        FTimer.setInterval(50);
        connect(&FTimer, &QTimer::timeout, this, [this] { Step(); });
        FTimer.start();
        FStateSinceMs = MonotonicMs();
    }

    std::vector<TInjected> Injected;
    int Stuck = 0;
    double BaselineMb = 0;

private:
    enum class EState { WaitReady, Firing, Faulted, Done };

    int Between(int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(FRandom);
    }

    template <class T = QWidget> T* Find(const char* name) {
        return FForm.findChild<T*>(QLatin1String(name));
    }

    void Enter(EState state, qint64 untilMs = 0) {
        FState = state;
        FStateSinceMs = MonotonicMs();
        FUntilMs = untilMs;
    }

    void Step() {
        const qint64 now = MonotonicMs();
        if (BaselineMb == 0 && now >= FBaselineAtMs)
            BaselineMb = ResidentMb();
        if (now >= FEndMs && FState != EState::Faulted) {
            FTimer.stop();
            FState = EState::Done;
            QTimer::singleShot(0, &FForm, [this] { FForm.close(); });
            return;
        }
        switch (FState) {
        case EState::WaitReady:
            if (now - FStateSinceMs > ReadyLimitMs) {
                ++Stuck;
                Enter(EState::WaitReady);
            }
            TryToFire(now);
            break;
        case EState::Firing:
            if (now >= FUntilMs)
                Inject(now);
            break;
        case EState::Faulted:
            if (now >= FUntilMs) {
                Clear();
                Enter(EState::WaitReady);
            }
            break;
        case EState::Done:
            break;
        }
    }

    // The operator: supply on once the laser allows it, continuous mode, Fire.
    void TryToFire(qint64 now) {
        if (!FForm.PollTimer()->isActive() || !FForm.Laser()->Identified())
            return;
        auto* onOff = Find<TSwitch>("btnLaserOnOff");
        auto* fire = Find<TKxSpeedButton>("btnLaserFire");
        if (!onOff || !fire)
            return;
        if (!onOff->On()) {
            if (onOff->isEnabled() && now - FLastClickMs > 1000) {
                FLastClickMs = now;
                QTest::mouseClick(onOff, Qt::LeftButton);
            }
            return;
        }
        if (!fire->isEnabled())
            return;
        if (auto* continuous = Find<QAction>("menuLaserModeCont"))
            continuous->trigger();
        QTest::mouseClick(fire, Qt::LeftButton);
        if (fire->Down())
            Enter(EState::Firing, now + Between(1000, 3000));
    }

    void Inject(qint64 now) {
        const auto kind = static_cast<EFault>(Between(0, FaultKinds - 1));
        static const char* const interlocks[] = {"flow", "temp", "ext", "work"};
        FInterlock = interlocks[Between(0, 3)];
        FSim.Control(FaultLine(FaultLines[static_cast<int>(kind)].Inject));
        Injected.push_back({kind, MonotonicMs(), QFileInfo(FSim.TranscriptPath()).size()});
        FKind = kind;
        Enter(EState::Faulted, now + Between(500, 3000));
    }

    void Clear() {
        const char* line = FaultLines[static_cast<int>(FKind)].Clear;
        if (*line != '\0')
            FSim.Control(FaultLine(line));
    }

    QByteArray FaultLine(const char* line) const {
        return QByteArray(line).replace("%interlock", FInterlock);
    }

    TformMain& FForm;
    TSimLink& FSim;
    std::mt19937 FRandom;
    QTimer FTimer;
    EState FState = EState::WaitReady;
    EFault FKind = EFault::Interlock;
    QByteArray FInterlock;
    qint64 FEndMs;
    qint64 FBaselineAtMs;
    qint64 FStateSinceMs = 0;
    qint64 FUntilMs = 0;
    qint64 FLastClickMs = 0;
};

struct TWireLine {
    qint64 AtMs;
    qint64 Offset; // where the line starts in the transcript
    QByteArray Command;
};

std::vector<TWireLine> ReadTranscript(const QString& path) {
    std::vector<TWireLine> lines;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return lines;
    qint64 offset = 0;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const qsizetype space = line.indexOf(' ');
        const qsizetype at = line.indexOf(";LA");
        if (space > 0 && at > space)
            lines.push_back({line.left(space).toLongLong(), offset, line.mid(at + 3)});
        offset += line.size() + 1;
    }
    return lines;
}

// The time from the fault's first report to the next "ST" on the wire, or
// -1 when none followed before the next fault (whose transcript offset is
// `nextOffset`), or the fault has no report on the wire.
qint64 FaultToStop(const std::vector<TWireLine>& wire, const TInjected& fault, qint64 nextOffset) {
    if (fault.Kind == EFault::Drop)
        return -1;
    auto status = std::find_if(wire.begin(), wire.end(), [&](const TWireLine& line) {
        return line.Offset >= fault.Offset && line.Command == "SS";
    });
    if (status == wire.end() || status->Offset >= nextOffset)
        return -1;
    const bool timesOut = fault.Kind == EFault::Silence || fault.Kind == EFault::Late;
    const qint64 reportedMs = status->AtMs + (timesOut ? PortTimeoutMs : 0);
    auto stop = std::find_if(status, wire.end(),
                             [](const TWireLine& line) { return line.Command == "ST"; });
    if (stop == wire.end() || stop->Offset >= nextOffset)
        return -1;
    return std::max<qint64>(0, stop->AtMs - reportedMs);
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Trevalon"));
    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral("The main window under random faults."));
    options.addHelpOption();
    options.addOption({"seconds", "How long to run (600).", "N", "600"});
    options.addOption({"seed", "Seed of the fault schedule (1).", "S", "1"});
    options.addOption({"sim", "The laser-sim program.", "PATH",
                       QCoreApplication::applicationDirPath() + "/laser-sim"});
    options.addOption({"verbose", "One line per injected fault."});
    options.addOption({"transcript", "Keep the simulator's transcript in FILE.", "FILE"});
    options.process(app);
    const bool verbose = options.isSet("verbose");
    const qint64 seconds = std::max(10, options.value("seconds").toInt());
    const unsigned seed = options.value("seed").toUInt();

    TSimLink sim;
    if (!sim.Start(options.value("sim"))) {
        std::fprintf(stderr, "soak: cannot start %s\n", qPrintable(options.value("sim")));
        return 2;
    }
    TConnectionManager connections(QMap<int, QString>{});
    auto dialogs = std::make_unique<TSoakDialogs>();
    TSoakDialogs* answered = dialogs.get();
    TMainOptions mainOptions;
    mainOptions.FirstArgument = "NET:" + sim.Address();
    mainOptions.Dialogs = std::move(dialogs);
    auto form = std::make_unique<TformMain>(std::move(mainOptions));
    const double startMb = ResidentMb();
    form->show();

    std::printf("soak: seed=%u seconds=%lld laser=%s\n", seed, static_cast<long long>(seconds),
                qPrintable(sim.Address()));
    std::fflush(stdout);
    const qint64 startedAtMs = MonotonicMs();
    TSoakDriver driver(*form, sim, seed, seconds);
    app.exec(); // until the driver closes the window

    const double endMb = ResidentMb();
    const QMap<QString, int> messages = answered->Messages; // the dialogs go with the window
    form.reset();                                           // the laser is switched off here
    const bool firingAtEnd = sim.Control("get firing") != "OK 0";
    sim.Stop();

    if (options.isSet("transcript")) {
        QFile::remove(options.value("transcript"));
        QFile::copy(sim.TranscriptPath(), options.value("transcript"));
    }
    const std::vector<TWireLine> wire = ReadTranscript(sim.TranscriptPath());
    int counts[FaultKinds] = {};
    qint64 longest = -1;
    qint64 longestLine = -1;
    int unanswered = 0;
    for (std::size_t i = 0; i < driver.Injected.size(); ++i) {
        const TInjected& fault = driver.Injected[i];
        ++counts[static_cast<int>(fault.Kind)];
        const qint64 next = i + 1 < driver.Injected.size() ? driver.Injected[i + 1].Offset
                                                           : std::numeric_limits<qint64>::max();
        const qint64 ms = FaultToStop(wire, fault, next);
        if (verbose)
            std::printf("soak: %6.1f s %-9s fault to ST %lld ms\n",
                        double(fault.AtMs - startedAtMs) / 1000.0,
                        FaultNames[static_cast<int>(fault.Kind)], static_cast<long long>(ms));
        const bool statusFault = fault.Kind == EFault::Interlock || fault.Kind == EFault::Reset;
        if (ms < 0) {
            unanswered += statusFault ? 1 : 0;
            continue;
        }
        qint64& slot = statusFault ? longest : longestLine;
        slot = std::max(slot, ms);
    }
    const double growthKb = (endMb - driver.BaselineMb) * 1024.0;

    std::printf("soak: exchanges=%zu faults=%zu", wire.size(), driver.Injected.size());
    for (int k = 0; k < FaultKinds; ++k)
        std::printf(" %s=%d", FaultNames[k], counts[k]);
    std::printf("\nsoak: messages:");
    for (auto it = messages.cbegin(); it != messages.cend(); ++it)
        std::printf(" \"%s\"=%d", qPrintable(it.key().simplified()), it.value());
    std::printf("\nsoak: rss_start_mb=%.1f rss_after_first_minute_mb=%.1f rss_end_mb=%.1f "
                "growth_kb=%.0f\n",
                startMb, driver.BaselineMb, endMb, growthKb);
    std::printf("soak: longest_status_fault_to_st_ms=%lld longest_line_fault_to_st_ms=%lld "
                "status_faults_without_st=%d stuck=%d firing_at_end=%s\n",
                static_cast<long long>(longest), static_cast<long long>(longestLine), unanswered,
                driver.Stuck, firingAtEnd ? "yes" : "no");

    QStringList failures;
    if (firingAtEnd)
        failures << "the laser was left firing";
    if (growthKb >= 1024)
        failures << "memory grew by 1 MB or more";
    if (longest > TickMs || unanswered > 0)
        failures << "a status fault was not answered by ST within one tick";
    if (driver.Stuck > 0)
        failures << "the window stopped polling";
    if (driver.Injected.empty())
        failures << "no fault was injected";
    std::printf("soak: %s\n",
                failures.isEmpty() ? "PASS" : qPrintable("FAIL " + failures.join("; ")));
    return failures.isEmpty() ? 0 : 1;
}
