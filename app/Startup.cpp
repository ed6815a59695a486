#include "app/Startup.h"

#include "app/LogFile.h"
#include "store/TextTable.h"
#include "device/DeviceMetaTypes.h"
#include "platform/AppPaths.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QWidget>

// Outside any namespace: the resource initialiser is declared where it is used.
static void initCompiledResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace Startup {

bool scanArguments(const QStringList &arguments)
{
    for (const QString &argument : arguments) {
        if (argument == QLatin1String("-d"))
            return LogFile::install();
    }
    return false;
}

bool scanArguments(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return scanArguments(arguments);
}

QString commandLineAnswer(const QStringList &arguments)
{
    const QStringList options = arguments.mid(1);
    if (options.contains(QLatin1String("--version")))
        return kApplicationName + QLatin1Char(' ') + kApplicationVersion + QLatin1Char('\n');
    if (!options.contains(QLatin1String("--help")) && !options.contains(QLatin1String("-h")))
        return QString();
    return QStringLiteral(
               "Usage: HarrierDriver [options]\n"
               "Configures wired and 2.4 GHz wireless gaming mice: CPI levels, report rate,\n"
               "buttons, macros, lighting, profiles, pairing and firmware.\n\n"
               "  -d                 write every log message to hourly files in Log/\n"
               "  --emulate MODEL    add an emulated mouse beside the real ones (repeatable);\n"
               "                     MODEL is a model name such as kestrel or harrier,\n"
               "                     MODEL-receiver or MODEL-boot; it keeps its memory\n"
               "                     between runs, as a real mouse does\n"
               "  --emulate-fresh    the emulated mice start factory-fresh\n"
               "  --hidden           start in the tray without showing the window (as when\n"
               "                     started with the desktop); starting it again shows it\n"
               "  --service-url URL  the web service for this run (https only)\n"
               "  -h, --help         this help\n"
               "  --version          the program's version\n\n"
               "Without -d the terminal shows warnings only; HARRIER_LOG=verbose or raw shows more.\n"
               "The command line tool is harrierctl (harrierctl --help).\n");
}

void registerMetaTypes()
{
    registerDeviceMetaTypes();
}

void loadFonts()
{
    loadFonts(AppPaths::shippedPath(QStringLiteral("/Font")));
}

void loadFonts(const QString &folder)
{
    const QFileInfoList entries =
        QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDir::Unsorted);
    for (const QFileInfo &entry : entries) {
        const QString path = folder + QLatin1Char('/') + entry.fileName();
        const int id = QFontDatabase::addApplicationFont(path);
        if (id != -1) {
            const QStringList families = QFontDatabase::applicationFontFamilies(id);
            if (!families.isEmpty()) {
                QFont font(families.first());
                font.setWeight(50);
                qDebug().noquote() << QStringLiteral("Add Font : ") + font.toString();
                continue;
            }
            qDebug().noquote() << QStringLiteral("error : QFontDatabase::applicationFontFamilies") << path;
        }
        qDebug().noquote() << QStringLiteral("error : addApplicationFont") << path;
    }
}

void loadSysLanguage()
{
    loadSysLanguage(QLocale::system().language(),
                    AppPaths::shippedPath(QStringLiteral("/Language/translate.json")));
}

void loadSysLanguage(QLocale::Language language, const QString &path)
{
    qDebug() << "loadSysLanguage" << language;
    TextTable::loadTextTable(path, TextTable::slotForLanguage(language));
}

void setApplicationIdentity()
{
    AppIdentity::setApplicationIdentity();
}

void initResources()
{
    static const bool initialised = [] {
        initCompiledResources();
        return true;
    }();
    Q_UNUSED(initialised);
}

bool applyStyleSheet(QWidget *window)
{
    initResources();
    QFile file(QStringLiteral(":/qss/qss/myStyle.qss"));
    const bool opened = file.open(QIODevice::ReadOnly);
    if (opened) {
        qDebug() << "open";
        window->setStyleSheet(QString::fromUtf8(file.readAll()));
    }
    file.close();
    return opened;
}

} // namespace Startup
