#include "cli/HarrierCtl.h"

#include "cli/CtlFormat.h"
#include "cli/MouseSession.h"
#include "platform/Autostart.h"
#include "data/ButtonFunctions.h"
#include "data/DCDataHandle.h"
#include "emulator/EmulateOption.h"
#include "emulator/EmulatedCatalog.h"
#include "model/CpiTables.h"
#include "platform/AppIdentity.h"
#include "platform/AppPaths.h"
#include "platform/InstanceLock.h"
#include "store/JsonHandle.h"
#include "store/TextTable.h"

#include <QFileInfo>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QLockFile>
#include <QThread>
#include <csignal>
#include <iterator>
#include <memory>
#ifdef Q_OS_UNIX
#include <signal.h>
#endif

namespace HarrierCtl {

static_assert(ExitUnknownModel == EmulateOption::kRefusedExitCode, "a refused --emulate ends as in the window");

namespace {

// Warning numbers the bridge raises that end a command.
// How long a command waits for another harrierctl to finish with the mice.
constexpr int kTurnWaitMs = 120000;
constexpr int kWarningOnlyLeftButton = 6;
constexpr int kWarningReadOrWrite = 32;
constexpr int kWarningPairedElsewhere = 44;

constexpr int kConfigCount = 5;
constexpr int kCpiPositions = 7;
constexpr int kFirstPageButton = 4;
constexpr int kMacroPlaysWhileHeld = 4;

struct Command;

// What one run knows: its streams, the global options and the command's own arguments.
struct Context
{
    Context(QTextStream &o, QTextStream &e) : out(o), err(e) { }
    QTextStream &out;
    QTextStream &err;
    const Command *command = nullptr;
    QStringList args;       // after the command's words
    QStringList emulate;    // models of --emulate
    bool emulateFresh = false; // --emulate-fresh: the emulated mice start factory-fresh
    QString mouse;          // --mouse NAME
    bool json = false;
    MouseSession *session = nullptr;
    const ProductInfo *product = nullptr;
    // Held while this command uses the bus: other harrierctl commands wait their turn.
    std::unique_ptr<QLockFile> turn;

    int fail(int code, const QString &message)
    {
        err << "harrierctl: " << message << '\n';
        err.flush();
        return code;
    }
    int badArguments(const QString &message);
};

// One subcommand: its words, its synopsis and help, and what runs it. New
// commands are one row of kCommands.
struct Command
{
    const char *name;     // the words that call it, such as "set cpi"
    const char *synopsis; // the arguments after the words
    const char *summary;
    const char *help;     // the rest of its --help
    bool reads;           // prints what it read, and so takes --json
    int (*run)(Context &);
};

int cmdList(Context &ctx);
int cmdShow(Context &ctx);
int cmdSetCpi(Context &ctx);
int cmdSetRate(Context &ctx);
int cmdSetLight(Context &ctx);
int cmdSetButton(Context &ctx);
int cmdLoad(Context &ctx);
int cmdReset(Context &ctx);
int cmdExport(Context &ctx);
int cmdImport(Context &ctx);
int cmdAutostart(Context &ctx);
int cmdPair(Context &ctx);
int cmdUnpair(Context &ctx);

const Command kCommands[] = {
    {"list", "", "the mice connected: model, connection, firmware, battery",
     "Lists every supported mouse on the bus, real or emulated, and any mouse\n"
     "waiting in firmware-update mode. Each mouse is opened briefly to read its\n"
     "firmware version and, without its cable, its battery.\n",
     true, cmdList},
    {"show", "", "what the mouse holds: configuration, CPI levels, report rate, lighting, buttons",
     "Reads the mouse and prints its settings. Button numbers run from 1 (the\n"
     "left button); \"default\" is the button's factory job.\n",
     true, cmdShow},
    {"set cpi", "LEVEL...", "sets the CPI levels, in order; \"off\" switches a level off",
     "Gives the mouse these CPI levels, one per position; positions not named are\n"
     "switched off, and at least one level stays on. Each CPI must lie in the\n"
     "model's range and on its step (show's help of the model says which), such\n"
     "as: harrierctl set cpi 800 1600 off 3200\n",
     false, cmdSetCpi},
    {"set rate", "HZ", "sets the USB report rate: 125, 250, 500 or 1000",
     "Sets how often the mouse reports, in reports per second.\n", false, cmdSetRate},
    {"set light", "[--zone main|wheel] [--mode MODE] [--colour RRGGBB] [--brightness 0-9] [--speed N]",
     "sets the lighting of a zone",
     "Changes one light zone; what is not named stays as it is.\n"
     "  --zone main|wheel  main: the logo light or light strip (the default; the\n"
     "                     first family's mice have no other), wheel: the wheel light\n"
     "  --mode MODE        off, steady, breathing, apm-breathing, spectrum, or\n"
     "                     colourful (both zones; Saker, SakerS, Lanner, Harrier)\n"
     "  --colour RRGGBB    hex red, green, blue, such as ff8000 or #ff8000\n"
     "  --brightness 0-9   steady brightness\n"
     "  --speed N          breathing speed, 0 slowest up to 4 (first family) or 9\n",
     false, cmdSetLight},
    {"set button", "N ACTION", "gives button N a key, a function, a macro, or its factory job",
     "Button N as show numbers it (1 is the left button). ACTION is one of:\n"
     "  key KEY          a key with modifiers, such as: key ctrl+shift+a, key F5,\n"
     "                   key alt+Tab, key ctrl (a modifier alone)\n"
     "  function NAME    a built-in function; NAME is one of:\n"
     "                   %FUNCTIONS%\n"
     "  macro FILE...    a macro file made by the macro page (button 1 takes a list\n"
     "                   of up to four, three on the first family, played in turn)\n"
     "  disable          the button does nothing\n"
     "  default          the button's factory job\n",
     false, cmdSetButton},
    {"load", "N", "writes stored configuration N (1-5) into the mouse",
     "Loads configuration N from the files the window keeps and writes it into\n"
     "the mouse, as the window's profile buttons do.\n",
     false, cmdLoad},
    {"reset", "--yes", "restores the factory settings in the mouse and in all five configurations",
     "Writes the model's factory settings into the mouse and over all five stored\n"
     "configurations (their CPI files and screen pictures go too). As this cannot\n"
     "be undone, it runs only with --yes.\n",
     false, cmdReset},
    {"export", "FILE [N]", "writes configuration N (the one the mouse holds) to one file",
     "Writes stored configuration N (1-5) of the mouse's model - its settings, the\n"
     "macros of its buttons, its CPI levels and screen picture - into FILE, to keep\n"
     "or to import elsewhere. Without N, the configuration the mouse holds.\n",
     false, cmdExport},
    {"import", "FILE [N]", "makes FILE configuration N and writes it into the mouse",
     "Checks FILE whole (a file of another model, damaged, cut short or with a value\n"
     "out of range is refused and nothing changes), then makes it stored\n"
     "configuration N (1-5; without N, the one the mouse holds, else 1) and writes\n"
     "it into the mouse.\n",
     false, cmdImport},
    {"pair", "", "pairs a wireless mouse with its receiver",
     "Puts the receiver (--mouse MODEL-receiver, or the first one found) into\n"
     "pairing and waits up to 20 seconds, as the pairing page does: switch the\n"
     "mouse off and on again, then press its left, middle and right buttons\n"
     "together. Exits 0 when a mouse paired, 4 when none did in time, 130 when\n"
     "stopped with Ctrl-C; however it ends, the receiver leaves pairing. Mice\n"
     "without a receiver have nothing to pair.\n",
     true, cmdPair},
    {"unpair", "", "makes the receiver forget the mouse it is paired with",
     "The receiver (--mouse MODEL-receiver, or the first one found) forgets its\n"
     "mouse; pair again with \"harrierctl pair\" or on the pairing page.\n",
     true, cmdUnpair},
    {"autostart", "[on|off]", "starts HarrierDriver hidden in the tray when you log in, or not",
     "on writes an autostart entry for the desktop session that starts HarrierDriver\n"
     "in the tray without its window (HarrierDriver --hidden); off removes it.\n"
     "Without an argument it says whether the entry is there. The same switch is\n"
     "on the window's support page.\n",
     false, cmdAutostart},
};

const char kGlobalHelp[] =
    "Options, before or after the command:\n"
    "  --mouse MODEL    the mouse to use when several are connected, by model name\n"
    "                   (such as kestrel, or kestrel-receiver for the one behind its\n"
    "                   receiver); the first one found otherwise\n"
    "  --emulate MODEL  adds an emulated mouse, as HarrierDriver --emulate does; it\n"
    "                   keeps its memory between runs, shared with the window's\n"
    "  --emulate-fresh  the emulated mice start factory-fresh\n"
    "  --json           list, show, pair and unpair print JSON\n"
    "  --verbose        lets the informational log through to standard error\n"
    "                   (warnings always are); --verbose=raw adds the byte dumps\n"
    "  -h, --help       help; \"harrierctl COMMAND --help\" for one command\n"
    "  --version        the program's version\n"
    "Exit codes: 0 done, 1 bad arguments, 2 unknown model, 3 no mouse,\n"
    "4 the mouse refused or did not answer, 5 HarrierDriver is running,\n"
    "6 the mouse cannot be opened (or harrierctl's lock cannot be cleared),\n"
    "7 the autostart entry cannot be written, 130 stopped by Ctrl-C.\n";

int Context::badArguments(const QString &message)
{
    const QString usage = command ? QStringLiteral(" (harrierctl %1 --help)").arg(QLatin1String(command->name))
                                  : QStringLiteral(" (harrierctl --help)");
    return fail(ExitBadArguments, message + usage);
}

QString commandLine(const Command &c)
{
    QString line = QLatin1String(c.name);
    if (*c.synopsis)
        line += QLatin1Char(' ') + QLatin1String(c.synopsis);
    return line;
}

void printUsage(QTextStream &out)
{
    out << "Usage: harrierctl [OPTIONS] COMMAND [ARGUMENTS]\n"
        << "Configures the gaming mice HarrierDriver supports, from the terminal, through\n"
        << "the same device layer as the window.\n\nCommands:\n";
    for (const Command &c : kCommands)
        out << "  " << QString::fromLatin1(c.name).leftJustified(12) << ' ' << QLatin1String(c.summary) << '\n';
    out << '\n' << kGlobalHelp;
}

void printCommandHelp(QTextStream &out, const Command &c)
{
    QStringList functions;
    for (const ButtonFunctions::Function *f = ButtonFunctions::begin(); f != ButtonFunctions::end(); ++f)
        if (f->offered)
            functions << QLatin1String(f->name);
    QString help = QLatin1String(c.help);
    help.replace(QStringLiteral("%FUNCTIONS%"), functions.join(QStringLiteral(", ")));
    out << "Usage: harrierctl " << commandLine(c) << (c.reads ? " [--json]" : "") << "\n\n"
        << QLatin1String(c.summary) << ".\n" << help << '\n' << kGlobalHelp;
}

// The command named by the first words of `words`, which it takes off; null when none.
const Command *findCommand(QStringList *words)
{
    for (int n = 2; n >= 1; --n) {
        if (words->size() < n)
            continue;
        const QString name = words->mid(0, n).join(QLatin1Char(' '));
        for (const Command &c : kCommands) {
            if (name == QLatin1String(c.name)) {
                *words = words->mid(n);
                return &c;
            }
        }
    }
    return nullptr;
}

// ---------------------------------------------------------------- the bus and the mouse

// Everything that touches the bus goes through here first: never beside the
// window, which would talk to the same mouse at the same time.
int prepareBus(Context &ctx)
{
    // One harrierctl at a time on the mice: two would interleave their
    // exchanges with the same mouse.
    const QString turnPath = InstanceLock::lockPath(QStringLiteral("harrierctl"));
    ctx.turn = std::make_unique<QLockFile>(turnPath);
    ctx.turn->setStaleLockTime(0);
    // Waits for a run that holds the mice; a lock nobody holds (left by a
    // killed run, damaged, a link, unreadable) is cleared and said so.
    QElapsedTimer waited;
    waited.start();
    while (!ctx.turn->tryLock(0)) {
        QString what;
        const InstanceLock::LockState state = InstanceLock::clearAbandoned(turnPath, &what);
        if (state == InstanceLock::LockState::Stuck) {
            ctx.turn.reset();
            return ctx.fail(ExitCannotOpen, QStringLiteral("the lock that keeps harrierctl runs apart, ") + what);
        }
        if (state == InstanceLock::LockState::Cleared) {
            ctx.err << "harrierctl: " << what << '\n';
            ctx.err.flush();
            continue;
        }
        if (waited.elapsed() >= kTurnWaitMs) {
            ctx.turn.reset();
            return ctx.fail(ExitCannotOpen, QStringLiteral("another harrierctl has been using the mice for %1 s; try "
                                                           "again when it has finished").arg(kTurnWaitMs / 1000));
        }
        QThread::msleep(100);
    }
    if (InstanceLock::isHeld(AppIdentity::kInstanceKey))
        return ctx.fail(ExitAppRunning, QStringLiteral("HarrierDriver is running and holds the mouse; quit it "
                                                       "(tray menu: Exit) and try again"));
    if (!ctx.emulate.isEmpty()) {
        QStringList arguments{QStringLiteral("harrierctl")};
        for (const QString &model : qAsConst(ctx.emulate))
            arguments << QStringLiteral("--emulate") << model;
        if (ctx.emulateFresh)
            arguments << QStringLiteral("--emulate-fresh");
        QString error;
        if (!EmulateOption::install(arguments, &error))
            return ctx.fail(ExitUnknownModel, error);
    }
    return ExitOk;
}

QString modelList()
{
    QStringList names;
    for (const ProductInfo *p = Products::begin(); p != Products::end(); ++p)
        names << QLatin1String(p->name);
    return names.join(QStringLiteral(", "));
}

// The bus made ready, and the model --mouse names ("kestrel", or
// "kestrel-receiver" for the one behind its receiver): null without --mouse;
// fails for a name no model has.
int prepareBusFor(Context &ctx, const ProductInfo **wanted, bool *viaReceiver)
{
    if (const int code = prepareBus(ctx))
        return code;
    const QString receiverSuffix = QStringLiteral("-receiver");
    *viaReceiver = ctx.mouse.endsWith(receiverSuffix);
    const QString name = *viaReceiver ? ctx.mouse.chopped(receiverSuffix.size()) : ctx.mouse;
    *wanted = nullptr;
    if (ctx.mouse.isEmpty())
        return ExitOk;
    *wanted = Products::byName(name.toLower());
    if (!*wanted)
        return ctx.fail(ExitUnknownModel,
                        QStringLiteral("no model is called \"%1\"; the models are: %2").arg(name, modelList()));
    return ExitOk;
}

// Opens the mouse --mouse names, or the first one found, into ctx.session.
int openMouse(Context &ctx)
{
    const ProductInfo *wanted = nullptr;
    bool wantReceiver = false;
    if (const int code = prepareBusFor(ctx, &wanted, &wantReceiver))
        return code;
    if (wanted) {
        if (wantReceiver && !wanted->receiverPid)
            return ctx.badArguments(QStringLiteral("the %1 has no receiver").arg(QLatin1String(wanted->name)));
    }

    const QVector<MouseSession::Present> present = MouseSession::scan();
    const MouseSession::Present *chosen = nullptr;
    bool waitsForUpdate = false;
    for (const MouseSession::Present &p : present) {
        if (p.bootLoader) {
            waitsForUpdate = waitsForUpdate || !wanted || p.product == wanted;
            continue;
        }
        if (!chosen && (!wanted || (p.product == wanted && (!wantReceiver || p.viaReceiver))))
            chosen = &p;
    }
    if (!chosen) {
        if (waitsForUpdate)
            return ctx.fail(ExitNoMouse, QStringLiteral("the mouse waits in firmware-update mode; finish the "
                                                        "update in HarrierDriver first"));
        if (wanted)
            return ctx.fail(ExitNoMouse, QStringLiteral("no %1 is connected").arg(ctx.mouse));
        return ctx.fail(ExitNoMouse, QStringLiteral("no mouse found; connect a supported mouse, or try one "
                                                    "with --emulate MODEL"));
    }

    ctx.product = chosen->product;
    const QString name = QLatin1String(ctx.product->name);
    if (!ctx.session->open(chosen->pid)) {
        if (ctx.session->warnings().contains(kWarningPairedElsewhere))
            return ctx.fail(ExitCannotOpen, QStringLiteral("the %1's receiver is paired with a mouse of another "
                                                           "model; pair them again in HarrierDriver").arg(name));
        if (ctx.session->cannotOpenForPermission())
            return ctx.fail(ExitCannotOpen, QStringLiteral("the %1 is connected, but this user may not open it (%2); "
                                                           "install the udev rule (README: Access to real mice) and "
                                                           "plug the mouse in again").arg(name, ctx.session->cannotOpenReason()));
        const QString reason = ctx.session->cannotOpenReason();
        return ctx.fail(ExitCannotOpen, QStringLiteral("the %1 is connected but cannot be opened%2; is the udev rule "
                                                       "installed (README: Access to real mice)?")
                                            .arg(name, reason.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(reason)));
    }
    if (ctx.session->warnings().contains(kWarningReadOrWrite))
        return ctx.fail(ExitRefused, QStringLiteral("the %1 did not answer when its settings were read").arg(name));
    // A mouse that matches none of the stored configurations fills no page at
    // open: ask for what it holds, so it can be shown as it is.
    if (ctx.session->configuration() == 0) {
        ctx.session->request([](DCDataHandle &b) {
            b.setCPIValueOnPage();
            b.setUsbReportRateOnPage();
            b.setLightParameterOnPage();
            b.setMouseButtonOnPage();
        });
    }
    return ExitOk;
}

// Runs one change through the bridge; a refusal ends the command.
int change(Context &ctx, const std::function<void(DCDataHandle &)> &call)
{
    const QList<int> warnings = ctx.session->request(call);
    // The manager refuses this itself, before the mouse is asked: a bad request, not a refusing mouse.
    if (warnings.contains(kWarningOnlyLeftButton))
        return ctx.badArguments(QStringLiteral("refused: the mouse would be left without a left button; give "
                                               "another button the left click first"));
    if (warnings.contains(kWarningReadOrWrite))
        return ctx.fail(ExitRefused, QStringLiteral("the %1 refused the change or did not answer; it keeps "
                                                    "what it held").arg(QLatin1String(ctx.product->name)));
    return ExitOk;
}

bool takeInt(const QString &text, int *value)
{
    bool ok = false;
    const int v = text.toInt(&ok);
    if (ok)
        *value = v;
    return ok;
}

// Takes "--name VALUE" or "--name=VALUE" off the front of args; false when args does not start with it.
bool takeOption(QStringList *args, const QString &name, QString *value, bool *missing)
{
    const QString first = args->first();
    if (first == name) {
        args->removeFirst();
        *missing = args->isEmpty();
        if (!*missing)
            *value = args->takeFirst();
        return true;
    }
    if (first.startsWith(name + QLatin1Char('='))) {
        *value = args->takeFirst().mid(name.size() + 1);
        *missing = false;
        return true;
    }
    return false;
}

// ---------------------------------------------------------------- receivers

// Opens the receiver --mouse names (MODEL or MODEL-receiver), or the first
// one found, only to send it its own commands.
int openReceiver(Context &ctx, const QString &verb)
{
    if (!ctx.args.isEmpty())
        return ctx.badArguments(QStringLiteral("%1 takes no arguments").arg(verb));
    const ProductInfo *wanted = nullptr;
    bool wantReceiver = false;
    if (const int code = prepareBusFor(ctx, &wanted, &wantReceiver))
        return code;
    const auto noReceiver = [&ctx, &verb](const ProductInfo *p) {
        return ctx.badArguments(QStringLiteral("the %1 is wired only: it has no receiver to %2")
                                    .arg(QLatin1String(p->name), verb));
    };
    if (wanted && (!wanted->receiverPid || wanted->family != Family::First))
        return noReceiver(wanted);
    const MouseSession::Present *chosen = nullptr;
    const ProductInfo *wiredOnly = nullptr;
    const QVector<MouseSession::Present> present = MouseSession::scan();
    for (const MouseSession::Present &p : present) {
        if (p.bootLoader || !p.product)
            continue;
        if (!p.product->receiverPid)
            wiredOnly = p.product;
        if (!chosen && p.viaReceiver && (!wanted || p.product == wanted))
            chosen = &p;
    }
    if (!chosen) {
        if (wiredOnly && !wanted)
            return noReceiver(wiredOnly);
        return ctx.fail(ExitNoMouse, QStringLiteral("no %1receiver is connected; plug it in and try again")
                                         .arg(wanted ? QLatin1String(wanted->name) + QStringLiteral(" ") : QString()));
    }
    ctx.product = chosen->product;
    if (!ctx.session->identify(chosen->pid))
        return ctx.fail(ExitCannotOpen, QStringLiteral("the %1's receiver is connected but cannot be opened; is the "
                                                       "udev rule installed (README: Access to real mice)?")
                                            .arg(QLatin1String(chosen->product->name)));
    return ExitOk;
}

// While alive, SIGINT, SIGTERM and SIGHUP set a flag instead of ending the
// process, so a long wait can end through its own clean-up.
class InterruptWatch
{
public:
    InterruptWatch()
    {
#ifdef Q_OS_UNIX
        s_interrupted = 0;
        struct sigaction action = {};
        action.sa_handler = [](int) { s_interrupted = 1; };
        sigemptyset(&action.sa_mask);
        for (int i = 0; i < kSignals; ++i)
            sigaction(kWatched[i], &action, &m_before[i]);
#endif
    }
    ~InterruptWatch()
    {
#ifdef Q_OS_UNIX
        for (int i = 0; i < kSignals; ++i)
            sigaction(kWatched[i], &m_before[i], nullptr);
#endif
    }
    InterruptWatch(const InterruptWatch &) = delete;
    InterruptWatch &operator=(const InterruptWatch &) = delete;
    static bool interrupted() { return s_interrupted != 0; }

private:
    static volatile std::sig_atomic_t s_interrupted;
#ifdef Q_OS_UNIX
    static constexpr int kSignals = 3;
    static constexpr int kWatched[kSignals] = {SIGINT, SIGTERM, SIGHUP};
    struct sigaction m_before[kSignals];
#endif
};
volatile std::sig_atomic_t InterruptWatch::s_interrupted = 0;

int cmdPair(Context &ctx)
{
    if (const int code = openReceiver(ctx, QStringLiteral("pair")))
        return code;
    const QString name = QLatin1String(ctx.product->name);
    const int limit = DCDataHandle::kPairingTimeoutMs / 1000;
    if (!ctx.json) {
        ctx.out << QStringLiteral("Pairing with the %1's receiver: switch the mouse off and on again, then press its "
                                  "left, middle and right buttons together (up to %2 s)").arg(name).arg(limit);
        ctx.out.flush();
    }
    int waited = 0;
    // Ctrl-C (or a closed terminal) ends the wait through the bridge, which
    // takes the receiver out of pairing, instead of killing it mid-listen.
    const InterruptWatch interrupt;
    const MouseSession::Pairing result = ctx.session->pair(
        [&](int seconds) {
            waited = seconds;
            if (!ctx.json) {
                ctx.out << '.';
                ctx.out.flush();
            }
        },
        [] { return InterruptWatch::interrupted(); });
    if (!ctx.json)
        ctx.out << '\n';
    const bool paired = result == MouseSession::Pairing::Paired;
    if (ctx.json)
        ctx.out << QJsonDocument(QJsonObject{{QStringLiteral("model"), name},
                                             {QStringLiteral("paired"), paired},
                                             {QStringLiteral("seconds"), waited}})
                       .toJson(QJsonDocument::Indented);
    if (result == MouseSession::Pairing::NotStarted)
        return ctx.fail(ExitRefused, QStringLiteral("the %1's receiver did not start pairing").arg(name));
    if (result == MouseSession::Pairing::Stopped)
        return ctx.fail(ExitInterrupted, QStringLiteral("pairing stopped; the %1's receiver is no longer pairing").arg(name));
    if (!paired)
        return ctx.fail(ExitRefused, QStringLiteral("no mouse paired within %1 s; try again").arg(limit));
    if (!ctx.json)
        ctx.out << QStringLiteral("Paired: the %1 works through its receiver.\n").arg(name);
    return ExitOk;
}

int cmdUnpair(Context &ctx)
{
    if (const int code = openReceiver(ctx, QStringLiteral("unpair")))
        return code;
    const QString name = QLatin1String(ctx.product->name);
    const bool done = ctx.session->unpair();
    if (ctx.json)
        ctx.out << QJsonDocument(QJsonObject{{QStringLiteral("model"), name}, {QStringLiteral("unpaired"), done}})
                       .toJson(QJsonDocument::Indented);
    if (!done)
        return ctx.fail(ExitRefused, QStringLiteral("the %1's receiver did not take the command").arg(name));
    if (!ctx.json)
        ctx.out << QStringLiteral("The %1's receiver has forgotten its mouse; pair again with \"harrierctl pair\" "
                                  "or on the pairing page.\n").arg(name);
    return ExitOk;
}

// ---------------------------------------------------------------- the desktop

int cmdAutostart(Context &ctx)
{
    if (ctx.args.size() > 1 || (ctx.args.size() == 1 && ctx.args.first() != QLatin1String("on")
                                && ctx.args.first() != QLatin1String("off")))
        return ctx.badArguments(QStringLiteral("autostart takes on or off"));
    if (!ctx.args.isEmpty()) {
        QString why;
        if (!Autostart::setEnabled(ctx.args.first() == QLatin1String("on"), Autostart::programBesideThisOne(), &why))
            return ctx.fail(ExitNotWritten, QStringLiteral("the autostart entry could not be changed: %1").arg(why));
    }
    ctx.out << (Autostart::isEnabled() ? QStringLiteral("autostart: on (%1)\n").arg(Autostart::entryPath())
                                       : QStringLiteral("autostart: off\n"));
    return ExitOk;
}

// ---------------------------------------------------------------- reading commands

int cmdList(Context &ctx)
{
    if (!ctx.args.isEmpty())
        return ctx.badArguments(QStringLiteral("list takes no arguments"));
    if (const int code = prepareBus(ctx))
        return code;
    QVector<CtlFormat::ListedMouse> listed;
    for (const MouseSession::Present &p : MouseSession::scan()) {
        CtlFormat::ListedMouse m;
        m.pid = p.pid;
        m.product = p.product;
        m.viaReceiver = p.viaReceiver;
        m.bootLoader = p.bootLoader;
        if (!p.bootLoader) {
            // A mouse of its own session each, so one that fails leaves the
            // others alone; only what is printed is read, and nothing written.
            MouseSession session;
            m.opened = session.identify(p.pid);
            if (m.opened) {
                m.firmware = session.firmware();
                m.battery = session.battery();
            }
        }
        listed.append(m);
    }
    if (ctx.json)
        ctx.out << QJsonDocument(CtlFormat::listJson(listed)).toJson(QJsonDocument::Indented);
    else
        ctx.out << CtlFormat::listText(listed);
    if (listed.isEmpty())
        return ctx.fail(ExitNoMouse, QStringLiteral("no mouse found"));
    return ExitOk;
}

CtlFormat::Shown shownOf(const Context &ctx)
{
    const MouseSession &s = *ctx.session;
    CtlFormat::Shown shown;
    shown.product = ctx.product;
    shown.wireless = s.isWireless();
    shown.firmware = s.firmware();
    shown.configuration = s.configuration();
    for (int i = 0; i < CpiTables::levelCount(s.mouseType()) && i < s.cpi().size(); ++i)
        shown.cpi << int(s.cpi().at(i));
    shown.rateHz = s.rateIndex() >= 0 && s.rateIndex() < 4 ? kReportRates[s.rateIndex()] : 0;
    shown.hasLight = s.hasLight();
    shown.light = s.light();
    for (auto it = s.buttons().cbegin(); it != s.buttons().cend(); ++it) {
        CtlFormat::ShownButton b;
        b.number = it.key() - kFirstPageButton + 1;
        b.original = it->original;
        b.changeType = it->changeType;
        b.value = it->value;
        b.modifiers = it->modifiers;
        shown.buttons << b;
    }
    return shown;
}

int cmdShow(Context &ctx)
{
    if (!ctx.args.isEmpty())
        return ctx.badArguments(QStringLiteral("show takes no arguments"));
    if (const int code = openMouse(ctx))
        return code;
    const CtlFormat::Shown shown = shownOf(ctx);
    if (ctx.json)
        ctx.out << QJsonDocument(CtlFormat::showJson(shown)).toJson(QJsonDocument::Indented);
    else
        ctx.out << CtlFormat::showText(shown);
    return ExitOk;
}

// ---------------------------------------------------------------- changes

QString rangeText(const CpiTables::CpiRange &r)
{
    if (r.twoSteps)
        return QStringLiteral("%1 to %2 in steps of %3, from %4 in steps of %5")
            .arg(r.minimum).arg(r.maximum).arg(r.step).arg(r.threshold).arg(r.largeStep);
    return QStringLiteral("%1 to %2 in steps of %3").arg(r.minimum).arg(r.maximum).arg(r.step);
}

int cmdSetCpi(Context &ctx)
{
    if (ctx.args.isEmpty())
        return ctx.badArguments(QStringLiteral("set cpi needs at least one level"));
    QList<DWORD> levels;
    for (const QString &a : qAsConst(ctx.args)) {
        int cpi = 0;
        if (a.compare(QLatin1String("off"), Qt::CaseInsensitive) != 0 && (!takeInt(a, &cpi) || cpi < 0))
            return ctx.badArguments(QStringLiteral("\"%1\" is no CPI level").arg(a));
        levels << DWORD(cpi);
    }
    if (std::all_of(levels.begin(), levels.end(), [](DWORD l) { return l == 0; }))
        return ctx.badArguments(QStringLiteral("at least one level must stay on"));
    if (levels.size() > kCpiPositions)
        return ctx.badArguments(QStringLiteral("no mouse has more than %1 levels").arg(kCpiPositions));
    if (const int code = openMouse(ctx))
        return code;

    const int type = ctx.session->mouseType();
    const QString name = QLatin1String(ctx.product->name);
    if (levels.size() > CpiTables::levelCount(type))
        return ctx.badArguments(QStringLiteral("the %1 has %2 CPI levels").arg(name).arg(CpiTables::levelCount(type)));
    const CpiTables::CpiRange range = CpiTables::rangeFor(type);
    for (DWORD l : qAsConst(levels))
        if (l != 0 && !CpiTables::fits(range, int(l)))
            return ctx.badArguments(
                QStringLiteral("the %1 takes CPI %2, not %3").arg(name, rangeText(range)).arg(l));
    while (levels.size() < kCpiPositions)
        levels << 0;
    if (const int code = change(ctx, [&](DCDataHandle &b) { b.slot_setCPIListValueOnMouse(levels); }))
        return code;
    ctx.session->request([](DCDataHandle &b) { b.setCPIValueOnPage(); });
    ctx.out << "CPI levels: " << CtlFormat::cpiText(shownOf(ctx).cpi) << '\n';
    return ExitOk;
}

int cmdSetRate(Context &ctx)
{
    int hz = 0;
    if (ctx.args.size() != 1 || !takeInt(ctx.args.first(), &hz))
        return ctx.badArguments(QStringLiteral("set rate needs one rate: 125, 250, 500 or 1000"));
    const int *rate = std::find(std::begin(kReportRates), std::end(kReportRates), hz);
    if (rate == std::end(kReportRates))
        return ctx.badArguments(QStringLiteral("%1 is no report rate; the mice take 125, 250, 500 or 1000").arg(hz));
    const int index = int(rate - std::begin(kReportRates));
    if (const int code = openMouse(ctx))
        return code;
    if (const int code = change(ctx, [&](DCDataHandle &b) { b.slot_ChangeUsbReportRate(index); }))
        return code;
    ctx.out << "Report rate: " << hz << " Hz\n";
    return ExitOk;
}

int cmdSetLight(Context &ctx)
{
    QStringList args = ctx.args;
    QString zone = QStringLiteral("main");
    int mode = -1;
    int brightness = -1;
    int speed = -1;
    QRgb colour = 0;
    bool hasColour = false;
    while (!args.isEmpty()) {
        QString value;
        bool missing = false;
        const QString option = args.first().section(QLatin1Char('='), 0, 0);
        if (takeOption(&args, QStringLiteral("--zone"), &value, &missing)
            || takeOption(&args, QStringLiteral("--mode"), &value, &missing)
            || takeOption(&args, QStringLiteral("--colour"), &value, &missing)
            || takeOption(&args, QStringLiteral("--color"), &value, &missing)
            || takeOption(&args, QStringLiteral("--brightness"), &value, &missing)
            || takeOption(&args, QStringLiteral("--speed"), &value, &missing)) {
            if (missing)
                return ctx.badArguments(QStringLiteral("%1 needs a value").arg(option));
            bool fits = true;
            if (option == QLatin1String("--zone")) {
                zone = value.toLower();
                fits = zone == QLatin1String("main") || zone == QLatin1String("wheel");
            } else if (option == QLatin1String("--mode")) {
                mode = CtlFormat::lightModeOfName(value);
                fits = mode >= 0;
            } else if (option == QLatin1String("--brightness")) {
                fits = takeInt(value, &brightness) && brightness >= 0 && brightness <= 9;
            } else if (option == QLatin1String("--speed")) {
                fits = takeInt(value, &speed) && speed >= 0;
            } else {
                hasColour = CtlFormat::parseColour(value, &colour);
                fits = hasColour;
            }
            if (!fits)
                return ctx.badArguments(QStringLiteral("%1 does not take \"%2\"").arg(option, value));
            continue;
        }
        return ctx.badArguments(QStringLiteral("set light does not take \"%1\"").arg(args.first()));
    }
    if (mode < 0 && brightness < 0 && speed < 0 && !hasColour)
        return ctx.badArguments(QStringLiteral("set light needs --mode, --colour, --brightness or --speed"));
    if (const int code = openMouse(ctx))
        return code;

    const QString name = QLatin1String(ctx.product->name);
    const bool twoZones = Products::lightZones(ctx.product->mouseType) != LightZones::MainOnly;
    const bool wheel = zone == QLatin1String("wheel");
    if (wheel && !twoZones)
        return ctx.badArguments(QStringLiteral("the %1 has one light zone, main").arg(name));
    if (mode == CtlFormat::kColourfulMode && !Products::hasColourfulLight(ctx.product->mouseType))
        return ctx.badArguments(QStringLiteral("the %1 has no colourful mode").arg(name));
    const int maxSpeed = CtlFormat::breathingMaximum(ctx.product);
    if (speed > maxSpeed)
        return ctx.badArguments(QStringLiteral("the %1's breathing speed runs from 0 to %2").arg(name).arg(maxSpeed));

    if (mode >= 0) {
        // Colourful spans both zones; leaving it changes the other zone too, as the lighting page does.
        const bool colourfulNow = twoZones && ctx.session->light().lightMode == CtlFormat::kColourfulMode;
        if (mode == CtlFormat::kColourfulMode || colourfulNow) {
            if (const int code = change(ctx, [&](DCDataHandle &b) { b.slot_setMouseLightMode(!wheel, mode); }))
                return code;
        }
        if (const int code = change(ctx, [&](DCDataHandle &b) { b.slot_setMouseLightMode(wheel, mode); }))
            return code;
    }
    if (hasColour) {
        const QList<COLORREF> colours{CtlFormat::colorRef(colour)};
        if (const int code = change(ctx, [&](DCDataHandle &b) { b.slot_SetMouseColor(wheel, colours); }))
            return code;
    }
    if (brightness >= 0) {
        if (const int code = change(ctx, [&](DCDataHandle &b) { b.slot_MouseContinueLightDegree(wheel, brightness); }))
            return code;
    }
    if (speed >= 0) {
        // The mouse counts breathing time: the fastest is the smallest.
        const int raw = maxSpeed - speed;
        if (const int code = change(ctx, [&](DCDataHandle &b) { b.slot_MouseBreathSpeed(wheel, raw); }))
            return code;
    }
    ctx.session->request([](DCDataHandle &b) { b.setLightParameterOnPage(); });
    ctx.out << CtlFormat::lightText(ctx.product, ctx.session->light(), wheel) << '\n';
    return ExitOk;
}

int cmdSetButton(Context &ctx)
{
    QStringList args = ctx.args;
    int number = 0;
    if (args.size() < 2 || !takeInt(args.first(), &number))
        return ctx.badArguments(QStringLiteral("set button needs a button number and what it does"));
    args.removeFirst();
    const QString action = args.takeFirst().toLower();
    const int button = number + kFirstPageButton - 1;

    int vk = 0;
    int modifiers = 0;
    const ButtonFunctions::Function *function = nullptr;
    QStringList macros;
    if (action == QLatin1String("key")) {
        QString error;
        if (args.size() != 1 || !CtlFormat::parseKey(args.first(), &vk, &modifiers, &error))
            return ctx.badArguments(args.size() == 1 ? error : QStringLiteral("key needs one key, such as ctrl+c"));
    } else if (action == QLatin1String("function")) {
        if (args.size() != 1)
            return ctx.badArguments(QStringLiteral("function needs the name of one function"));
        if (!(function = ButtonFunctions::byName(args.first())) || !function->offered) {
            QStringList names;
            for (const ButtonFunctions::Function *f = ButtonFunctions::begin(); f != ButtonFunctions::end(); ++f)
                if (f->offered)
                    names << QLatin1String(f->name);
            return ctx.badArguments(QStringLiteral("no function is called \"%1\"; the functions are: %2")
                                        .arg(args.first(), names.join(QStringLiteral(", "))));
        }
    } else if (action == QLatin1String("macro")) {
        if (args.isEmpty())
            return ctx.badArguments(QStringLiteral("macro needs a macro file"));
        JsonHandle files;
        for (const QString &path : qAsConst(args)) {
            if (!QFileInfo(path).isFile())
                return ctx.badArguments(QStringLiteral("no macro file %1").arg(path));
            if (files.getMacroEventCount(path) == 0)
                return ctx.badArguments(QStringLiteral("%1 is no macro file with events").arg(path));
            macros << QFileInfo(path).absoluteFilePath();
        }
    } else if (action == QLatin1String("disable") || action == QLatin1String("default")) {
        if (!args.isEmpty())
            return ctx.badArguments(QStringLiteral("%1 takes nothing more").arg(action));
    } else {
        return ctx.badArguments(QStringLiteral("\"%1\" is not key, function, macro, disable or default").arg(action));
    }
    if (const int code = openMouse(ctx))
        return code;

    const int type = ctx.session->mouseType();
    const QString name = QLatin1String(ctx.product->name);
    if (!ctx.session->buttons().contains(button))
        return ctx.badArguments(QStringLiteral("the %1 has no button %2").arg(name).arg(number));
    if (function && !ButtonFunctions::isOfferedFor(*function, button, type))
        return ctx.badArguments(
            QStringLiteral("button %1 of the %2 cannot take %3").arg(number).arg(name, QLatin1String(function->name)));
    if (macros.size() > ButtonFunctions::macroLimit(button, type))
        return ctx.badArguments(QStringLiteral("button %1 of the %2 plays at most %3 macro(s)")
                                    .arg(number)
                                    .arg(name)
                                    .arg(ButtonFunctions::macroLimit(button, type)));
    JsonHandle files;
    for (const QString &path : qAsConst(macros))
        if (ButtonFunctions::refusesHeldPlayback(button, type) && files.getMacroType(path) == kMacroPlaysWhileHeld)
            return ctx.badArguments(QStringLiteral("button %1 cannot play a macro while held (%2)").arg(number).arg(path));

    int code = ExitOk;
    if (action == QLatin1String("key"))
        code = change(ctx, [&](DCDataHandle &b) { b.slot_ChangeButtonToKey(button, uint(vk), modifiers, ChangeKey); });
    else if (function)
        code = change(ctx, [&](DCDataHandle &b) {
            b.slot_ChangeButtonToKey(button, uint(function->value), function->modifiers, function->changeType);
        });
    else if (macros.size() == 1)
        code = change(ctx, [&](DCDataHandle &b) { b.slot_WriteSingleMacro(button, macros.first()); });
    else if (!macros.isEmpty())
        code = change(ctx, [&](DCDataHandle &b) { b.slot_WriteListMacro(macros); });
    else
        code = change(ctx, [&](DCDataHandle &b) {
            b.slot_ChangeButtonToKey(button, 0, 0, action == QLatin1String("disable") ? ChangeDisabled
                                                                                      : ChangeRestoreFactory);
        });
    if (code != ExitOk)
        return code;
    ctx.session->request([](DCDataHandle &b) { b.setMouseButtonOnPage(); });
    const MouseSession::Button now = ctx.session->buttons().value(button);
    ctx.out << "Button " << number << ": "
            << CtlFormat::assignmentText(now.original, now.changeType, now.value, now.modifiers) << '\n';
    return ExitOk;
}

int cmdLoad(Context &ctx)
{
    int number = 0;
    if (ctx.args.size() != 1 || !takeInt(ctx.args.first(), &number) || number < 1 || number > kConfigCount)
        return ctx.badArguments(QStringLiteral("load needs a configuration number from 1 to %1").arg(kConfigCount));
    if (const int code = openMouse(ctx))
        return code;
    if (const int code = change(ctx, [&](DCDataHandle &b) { b.slot_LoadLocalConfigFileAndWriteIntoMouse(number); }))
        return code;
    ctx.out << "Configuration " << number << " is in the " << QLatin1String(ctx.product->name) << ".\n";
    return ExitOk;
}

int cmdReset(Context &ctx)
{
    if (ctx.args != QStringList{QStringLiteral("--yes")})
        return ctx.badArguments(QStringLiteral("reset replaces the mouse's settings and all five configurations "
                                               "with the factory ones; run \"harrierctl reset --yes\" to go ahead"));
    if (const int code = openMouse(ctx))
        return code;
    if (const int code = change(ctx, [](DCDataHandle &b) { b.slot_ResetConfigToOriginal(); }))
        return code;
    ctx.out << "The " << QLatin1String(ctx.product->name) << " and its five configurations have their factory "
            << "settings again.\n";
    return ExitOk;
}

// The refusal as the window words it; the shipped text table gives the words.
int packageFailure(Context &ctx, const ConfigPackage::Outcome &outcome)
{
    if (TextTable::size() == 0)
        TextTable::loadTextTable(AppPaths::shippedPath(QStringLiteral("/Language/translate.json")),
                                 TextTable::kEnglishSlot);
    QString message = outcome.message(ctx.session->mouseType());
    if (message.isEmpty())
        message = QStringLiteral("refused (%1)").arg(outcome.detail);
    using P = ConfigPackage::Problem;
    const int code = outcome.problem == P::MouseRefused ? ExitRefused
                     : outcome.problem == P::NoMouse    ? ExitNoMouse
                                                        : ExitBadArguments;
    return ctx.fail(code, message);
}

// export and import: FILE and an optional configuration number, which is
// the one the mouse holds when not named (for an import, 1 when it holds none).
int packageCommand(Context &ctx, bool importing)
{
    const QString what = QLatin1String(ctx.command->name);
    int number = 0;
    if (ctx.args.isEmpty() || ctx.args.size() > 2
        || (ctx.args.size() == 2 && (!takeInt(ctx.args.at(1), &number) || number < 1 || number > kConfigCount)))
        return ctx.badArguments(QStringLiteral("%1 needs a file and may take a configuration number from 1 to %2")
                                    .arg(what)
                                    .arg(kConfigCount));
    const QString path = ctx.args.first();
    if (const int code = openMouse(ctx))
        return code;
    const QString name = QLatin1String(ctx.product->name);
    if (number == 0)
        number = importing ? qMax(1, ctx.session->configuration()) : ctx.session->configuration();
    if (number == 0)
        return ctx.badArguments(QStringLiteral("the %1 holds none of its stored configurations; name the one to "
                                               "export").arg(name));
    ConfigPackage::Outcome outcome;
    ctx.session->request([&](DCDataHandle &b) {
        outcome = importing ? b.importConfiguration(number, path) : b.exportConfiguration(number, path);
    });
    if (!outcome.ok())
        return packageFailure(ctx, outcome);
    if (importing)
        ctx.out << "Configuration " << number << " is " << path << " now, and it is in the " << name << ".\n";
    else
        ctx.out << "Configuration " << number << " of the " << name << " is in " << path << ".\n";
    return ExitOk;
}

int cmdExport(Context &ctx) { return packageCommand(ctx, false); }
int cmdImport(Context &ctx) { return packageCommand(ctx, true); }

} // namespace

int run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    Context ctx(out, err);
    bool help = false;
    QStringList words;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        const bool takesValue = a == QLatin1String("--emulate") || a == QLatin1String("--mouse");
        if (takesValue && i + 1 >= arguments.size())
            return ctx.badArguments(QStringLiteral("%1 needs a model name").arg(a));
        if (a == QLatin1String("--emulate"))
            ctx.emulate << arguments.at(++i);
        else if (a.startsWith(QLatin1String("--emulate=")))
            ctx.emulate << a.section(QLatin1Char('='), 1);
        else if (a == QLatin1String("--mouse"))
            ctx.mouse = arguments.at(++i);
        else if (a.startsWith(QLatin1String("--mouse=")))
            ctx.mouse = a.section(QLatin1Char('='), 1);
        else if (a == QLatin1String("--json"))
            ctx.json = true;
        else if (a == QLatin1String("--emulate-fresh"))
            ctx.emulateFresh = true;
        else if (a == QLatin1String("--help") || a == QLatin1String("-h"))
            help = true;
        else if (a == QLatin1String("--version")) {
            out << "harrierctl " << AppIdentity::kApplicationVersion << '\n';
            return ExitOk;
        }
        else if (a == QLatin1String("--verbose") || a == QLatin1String("--verbose=raw"))
            continue; // main() sets the log's level
        else
            words << a;
    }
    if (!words.isEmpty() && words.first() == QLatin1String("help")) {
        words.removeFirst();
        help = true;
    }

    ctx.command = findCommand(&words);
    if (!ctx.command) {
        if (help && words.isEmpty()) {
            printUsage(out);
            return ExitOk;
        }
        if (words.isEmpty()) {
            printUsage(err);
            return ExitBadArguments;
        }
        // "set" alone, or "set" with what it cannot set: name what it can.
        QStringList group;
        for (const Command &c : kCommands)
            if (QLatin1String(c.name).startsWith(words.first() + QLatin1Char(' ')))
                group << QString::fromLatin1(c.name).section(QLatin1Char(' '), 1);
        if (!group.isEmpty())
            return ctx.badArguments(QStringLiteral("%1 needs one of: %2").arg(words.first(), group.join(QStringLiteral(", "))));
        return ctx.badArguments(QStringLiteral("no command \"%1\"").arg(words.join(QLatin1Char(' '))));
    }
    if (help) {
        printCommandHelp(out, *ctx.command);
        return ExitOk;
    }
    if (ctx.json && !ctx.command->reads)
        return ctx.badArguments(QStringLiteral("--json is for list, show, pair and unpair"));
    ctx.args = words;

    MouseSession session;
    ctx.session = &session;
    const int code = ctx.command->run(ctx);
    out.flush();
    err.flush();
    return code;
}

} // namespace HarrierCtl
