// The firmware update's states as the window follows them: what each event
// moves the flow to, whether a boot loader on the bus is our own update's,
// and a quit during the transfer waiting for its end.
#include "app/FirmwareFlow.h"

#include <QSignalSpy>
#include <QtTest>

using State = FirmwareFlow::State;
Q_DECLARE_METATYPE(State)

namespace {

// One event of the table: a name and what it does to the flow.
void apply(FirmwareFlow &flow, const QString &event)
{
    if (event == QLatin1String("check"))
        flow.versionCheckStarted();
    else if (event == QLatin1String("checked"))
        flow.versionCheckEnded();
    else if (event == QLatin1String("request"))
        flow.updateRequested();
    else if (event == QLatin1String("end"))
        flow.transferEnded();
    else
        flow.warningRaised(event.toInt());
}

} // namespace

class TestFirmwareState : public QObject
{
    Q_OBJECT

private slots:
    void sequences_data()
    {
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<State>("state");
        QTest::addColumn<bool>("ownsBootLoader");
        const auto events = [](const char *line) { return QString::fromLatin1(line).split(QLatin1Char(' ')); };
        QTest::newRow("nothing yet") << QStringList() << State::Idle << false;
        QTest::newRow("version check") << events("check") << State::Checking << false;
        QTest::newRow("version checked") << events("check checked") << State::Idle << false;
        QTest::newRow("asked for") << events("request") << State::WaitingForBootLoader << true;
        QTest::newRow("sending") << events("request 13") << State::Transferring << true;
        QTest::newRow("sent") << events("request 13 end") << State::Verifying << true;
        QTest::newRow("updated") << events("request 13 end 8") << State::Done << false;
        QTest::newRow("transfer failed") << events("request 13 end 7") << State::Failed << false;
        // Refused before any transfer: a boot loader found later is a mouse waiting for its update.
        QTest::newRow("too many requests") << events("request 14") << State::Refused << false;
        QTest::newRow("through the receiver") << events("request 40") << State::Refused << false;
        QTest::newRow("asked again after a refusal") << events("request 40 request") << State::WaitingForBootLoader << true;
        QTest::newRow("a check does not interrupt") << events("request 13 check") << State::Transferring << true;
        QTest::newRow("other warnings change nothing") << events("request 13 32 6") << State::Transferring << true;
    }

    void sequences()
    {
        QFETCH(QStringList, events);
        QFETCH(State, state);
        QFETCH(bool, ownsBootLoader);
        FirmwareFlow flow;
        for (const QString &e : qAsConst(events))
            apply(flow, e);
        QCOMPARE(flow.state(), state);
        QCOMPARE(flow.ownsBootLoader(), ownsBootLoader);
    }

    // Quitting while the image is sent waits for the end of the transfer;
    // before and after it, nothing is held back.
    void quitWaitsForTheTransfer()
    {
        FirmwareFlow flow;
        QSignalSpy quit(&flow, &FirmwareFlow::quitNow);
        QVERIFY(!flow.deferQuit());
        flow.updateRequested();
        QVERIFY(!flow.deferQuit());
        flow.warningRaised(FirmwareFlow::kWarningUpdateStarting);
        QVERIFY(flow.deferQuit());
        QCOMPARE(quit.count(), 0);
        flow.transferEnded();
        QCOMPARE(quit.count(), 1);
        flow.warningRaised(FirmwareFlow::kWarningUpdateSucceeded);
        QVERIFY(!flow.deferQuit());
        QCOMPARE(quit.count(), 1);
    }
};

QTEST_GUILESS_MAIN(TestFirmwareState)
#include "tst_firmwarestate.moc"
