// What the program keeps is the user's alone: under umask 000, a run that
// opens a mouse, changes a setting, exports a configuration and logs in
// leaves only folders 0700 and files 0600 below its data root; files left
// wider by others are narrowed, links and their targets are not followed.
#include "app/MainWindow.h"
#include "online/AccountOperations.h"
#include "pages/CPIForm.h"
#include "pages/USpinBox.h"
#include "platform/AppPaths.h"
#include "platform/LocalFiles.h"
#include "support/MessageCapture.h"
#include "support/OnlineFixture.h"
#include "support/WindowRig.h"

#include <QDirIterator>
#include <QPushButton>
#include <QtTest>
#include <sys/stat.h>

namespace {

// Every entry below root (root included) whose mode is not the user's alone.
QStringList wideEntries(const QString &root)
{
    QStringList wide;
    QStringList all{root};
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        all << it.next();
    for (const QString &path : qAsConst(all)) {
        struct stat st;
        if (::lstat(QFile::encodeName(path).constData(), &st) != 0 || S_ISLNK(st.st_mode))
            continue;
        const mode_t mode = st.st_mode & 07777;
        if ((S_ISDIR(st.st_mode) && mode != 0700) || (S_ISREG(st.st_mode) && (mode & 077) != 0))
            wide << QStringLiteral("%1 %2").arg(mode, 4, 8, QLatin1Char('0')).arg(path);
    }
    return wide;
}

mode_t modeOf(const QString &path)
{
    struct stat st;
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 07777;
}

} // namespace

class TestPrivateFiles : public QObject
{
    Q_OBJECT

private slots:
    void aFullRunUnderUmaskZero()
    {
        const mode_t before = ::umask(0);
        LocalFiles::restrictNewFiles(); // as both programs' main do first
        {
            OnlineFixture online;
            online.server->onPost("/v1/user/login", [](const httplib::Request &, httplib::Response &response) {
                response.set_header("Authorization", "tok-private-1");
                response.set_content(TestServer::json(0, "ok", QJsonObject{{"nickname", "Ann"}}), "application/json");
            });
            WindowRig rig;
            rig.plug(QStringLiteral("kestrel"));
            rig.poll();
            QTRY_VERIFY_WITH_TIMEOUT(rig.window->isDeviceOpen(), WindowRig::kWaitMs);
            QTRY_VERIFY_WITH_TIMEOUT(rig.page()->cpiForm(0)->checkBox()->isChecked(), WindowRig::kWaitMs);
            QTest::mouseClick(rig.page()->cpiForm(0)->spinBox()->upButton(), Qt::LeftButton);
            const QString exported = rig.folder->path() + QStringLiteral("/exported.hdconf");
            emit rig.window->sig_ExportConfiguration(1, exported);
            QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(exported), WindowRig::kWaitMs);
            LoginAccount login;
            QSignalSpy answered(&login, &LoginAccount::sigLoginRet);
            login.KvPostLoginJson(QStringLiteral("ann@example.org"), QStringLiteral("pw"));
            QVERIFY(answered.wait(10000));
            QCOMPARE(answered.first().at(0).toInt(), 0);
            QTest::qWait(300);

            const QString root = rig.folder->path();
            QVERIFY(QFileInfo::exists(root + QStringLiteral("/ConfigFiles")));
            QVERIFY(QFileInfo::exists(root + QStringLiteral("/system")));
            const QStringList wide = wideEntries(root);
            QVERIFY2(wide.isEmpty(), qPrintable(wide.join(QLatin1Char('\n'))));
        }
        ::umask(before);
    }

    void widerFilesAreNarrowed()
    {
        QTemporaryDir dir;
        QTemporaryDir outside;
        const QString root = dir.path() + QStringLiteral("/data");
        QVERIFY(QDir().mkpath(root + QStringLiteral("/system")));
        QFile ini(root + QStringLiteral("/system/mouse.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.close();
        const QString target = outside.filePath(QStringLiteral("shared.txt"));
        QFile shared(target);
        QVERIFY(shared.open(QIODevice::WriteOnly));
        shared.close();
        ::chmod(QFile::encodeName(root).constData(), 0755);
        ::chmod(QFile::encodeName(root + "/system").constData(), 0755);
        ::chmod(QFile::encodeName(ini.fileName()).constData(), 0644);
        ::chmod(QFile::encodeName(target).constData(), 0644);
        QVERIFY(QFile::link(target, root + QStringLiteral("/system/link")));

        MessageCapture capture;
        QCOMPARE(LocalFiles::tightenTree(root), 3);
        QCOMPARE(modeOf(root), mode_t(0700));
        QCOMPARE(modeOf(root + "/system"), mode_t(0700));
        QCOMPARE(modeOf(ini.fileName()), mode_t(0600));
        QCOMPARE(modeOf(target), mode_t(0644)); // a link's target is not ours to change
        QCOMPARE(MessageCapture::messages().filter(QStringLiteral("made private")).size(), 3);
        QCOMPARE(LocalFiles::tightenTree(root), 0);
    }
};

QTEST_MAIN(TestPrivateFiles)
#include "tst_privatefiles.moc"
