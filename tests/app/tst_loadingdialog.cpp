// The overlay shown while the mouse is busy: it appears only after a
// moment, and while it spins it draws again only the ring, so the window
// under it is not repainted whole every frame.
#include "app/LoadingDialog.h"

#include <QPaintEvent>
#include <QtTest>

namespace {

// Notes the region of every paint the overlay gets.
class PaintRecorder : public QObject
{
public:
    QList<QRegion> regions;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            regions.append(static_cast<QPaintEvent *>(event)->region());
        return false;
    }
};

} // namespace

class TestLoadingDialog : public QObject
{
    Q_OBJECT

private slots:
    void spinsByRepaintingTheRingOnly()
    {
        QWidget window;
        window.resize(960, 640);
        auto *overlay = new LoadingDialog(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        overlay->slot_Show();
        QVERIFY(!overlay->isVisible()); // a quick write shows nothing
        QTRY_VERIFY(overlay->isVisible());
        QCOMPARE(overlay->geometry(), window.rect());
        QTest::qWait(100);

        PaintRecorder recorder;
        overlay->installEventFilter(&recorder);
        QTRY_VERIFY_WITH_TIMEOUT(recorder.regions.size() >= 5, 10000);
        const QRect ring = overlay->ringRect().toAlignedRect().adjusted(-3, -3, 3, 3);
        for (const QRegion &region : qAsConst(recorder.regions))
            QVERIFY2(ring.contains(region.boundingRect()),
                     qPrintable(QStringLiteral("%1,%2 %3x%4")
                                    .arg(region.boundingRect().x())
                                    .arg(region.boundingRect().y())
                                    .arg(region.boundingRect().width())
                                    .arg(region.boundingRect().height())));

        overlay->slot_End();
        QVERIFY(!overlay->isVisible());
    }
};

QTEST_MAIN(TestLoadingDialog)
#include "tst_loadingdialog.moc"
