// The CPI row and its value widgets, clicked and typed into offscreen: the
// per-model tables, the slider's snap on release, the number box's steps and
// re-validation, the pointer-speed slider, and one row's check box.
#include "pages/CPIForm.h"
#include "pages/CPISlider.h"
#include "model/CpiTables.h"
#include "pages/MoveSlider.h"
#include "pages/USpinBox.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

namespace {

// The pointer leaving the number field, as the window system reports it.
void leave(QWidget *w)
{
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(w, &event);
}

void typeAndLeave(USpinBox *box, const QString &text)
{
    box->lineEdit()->setFocus();
    box->lineEdit()->selectAll();
    QTest::keyClicks(box->lineEdit(), text);
    leave(box->lineEdit());
}

// A move with the left button held, as a drag delivers it.
void drag(QWidget *w, int x)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(x, 5), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &move);
}

QList<int> ints(const QSignalSpy &spy, int argument = 0)
{
    QList<int> out;
    for (const QList<QVariant> &args : spy)
        out << args.at(argument).toInt();
    return out;
}

std::unique_ptr<USpinBox> makeBox(int mouseType)
{
    const CpiTables::CpiRange r = CpiTables::rangeFor(mouseType);
    std::unique_ptr<USpinBox> box;
    if (r.twoSteps)
        box.reset(new TwoKindsStepUSpinBox(r.minimum, r.maximum, r.step, r.largeStep, r.threshold));
    else
        box.reset(new OneKindStepUSpinBox(r.minimum, r.maximum, r.step));
    box->show();
    return box;
}

} // namespace

class TestCpiWidgets : public QObject
{
    Q_OBJECT

private slots:
    void rangesPerModel_data()
    {
        QTest::addColumn<int>("mouseType");
        QTest::addColumn<bool>("twoSteps");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("middle");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("step");
        QTest::newRow("Kestrel (11): 50 steps to 16000") << 11 << false << 50 << 8000 << 16000 << 50;
        QTest::newRow("Osprey (3)") << 3 << false << 50 << 8000 << 16000 << 50;
        QTest::newRow("Harrier (19)") << 19 << false << 200 << 3000 << 6200 << 100;
        QTest::newRow("Merlin (12)") << 12 << false << 200 << 2500 << 5000 << 100;
        QTest::newRow("KestrelEU (14): two steps") << 14 << true << 200 << 5000 << 10000 << 100;
        // The middle label lies between the ends (the scale once printed 5200 there, above its maximum).
        QTest::newRow("MerlinC (7): any other type") << 7 << false << 200 << 2600 << 5000 << 100;
        QTest::newRow("no model (0)") << 0 << false << 200 << 2600 << 5000 << 100;
    }

    void rangesPerModel()
    {
        QFETCH(int, mouseType);
        const CpiTables::CpiRange r = CpiTables::rangeFor(mouseType);
        QTEST(r.twoSteps, "twoSteps");
        QTEST(r.minimum, "minimum");
        QTEST(r.middle, "middle");
        QTEST(r.maximum, "maximum");
        QTEST(r.step, "step");
    }

    void defaultsAndLevelCounts_data()
    {
        QTest::addColumn<int>("mouseType");
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("cpi");
        QTest::addColumn<int>("levels");
        QTest::newRow("Merlin level 3") << 12 << 2 << 2000 << 5;
        QTest::newRow("Merlin has no level 6") << 12 << 5 << 200 << 5;
        QTest::newRow("Kestrel level 7") << 11 << 6 << 16000 << 7;
        QTest::newRow("Lanner level 1") << 18 << 0 << 400 << 7;
        QTest::newRow("KestrelEU level 6") << 14 << 5 << 4000 << 7;
        QTest::newRow("MerlinC: not in the defaults") << 7 << 0 << 200 << 5;
        QTest::newRow("Wren level 5") << 13 << 4 << 2500 << 5;
        QTest::newRow("no model") << 0 << 0 << 200 << 0;
        QTest::newRow("a type past the table") << 20 << 1 << 200 << 0;
    }

    void defaultsAndLevelCounts()
    {
        QFETCH(int, mouseType);
        QFETCH(int, level);
        QTEST(CpiTables::defaultCpi(mouseType, level), "cpi");
        QTEST(CpiTables::levelCount(mouseType), "levels");
    }

    void sliderSnapsAndCommitsOnRelease_data()
    {
        QTest::addColumn<int>("mouseType");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("whileHeld");
        QTest::addColumn<int>("committed");
        // Kestrel: 50 + x / 200 * 15950, so x = 15 holds 1246.
        QTest::newRow("step 50: 1246 gives 1200") << 11 << 15 << 1246 << 1200;
        QTest::newRow("step 50: the left end") << 11 << 0 << 50 << 50;
        // KestrelEU: 200 + x / 200 * 9800, 100 below 5000 and 200 from it up.
        QTest::newRow("two steps: 4953 gives 4900") << 14 << 97 << 4953 << 4900;
        QTest::newRow("two steps: 5100 gives 5000") << 14 << 100 << 5100 << 5000;
        QTest::newRow("two steps: 9951 gives 9800") << 14 << 199 << 9951 << 9800;
        QTest::newRow("step 100: 2600 stays") << 12 << 100 << 2600 << 2600;
    }

    void sliderSnapsAndCommitsOnRelease()
    {
        QFETCH(int, mouseType);
        QFETCH(int, x);
        QFETCH(int, whileHeld);
        QFETCH(int, committed);
        CPIForm form(0);
        form.setMouseType(mouseType);
        form.setCPIValue(800, true);
        form.show();
        CPISlider *slider = form.slider();
        QSignalSpy moving(slider, &CPISlider::sig_IsMovingSlider);
        QSignalSpy value(&form, &CPIForm::sig_CurrentCPIValue);
        QSignalSpy kind(&form, &CPIForm::sig_CpiSliderChange);

        QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(x, 5));
        QCOMPARE(slider->value(), whileHeld);
        // The box follows the handle, but nothing is sent while it is held.
        QCOMPARE(form.spinBox()->value(), whileHeld);
        QCOMPARE(value.count(), 0);
        QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(x, 5));
        QCOMPARE(slider->value(), committed);
        QCOMPARE(form.spinBox()->value(), committed);
        QCOMPARE(ints(moving), (QList<int>{1, 0}));
        QCOMPARE(value.count(), 1);
        QCOMPARE(value.at(0), (QList<QVariant>{0, committed}));
        QCOMPARE(ints(kind), QList<int>{1});
    }

    void sliderFollowsThePointerAndIgnoresTheWheel()
    {
        CPIForm form(3);
        form.setMouseType(12);
        form.setCPIValue(1000, true);
        form.show();
        CPISlider *slider = form.slider();
        QSignalSpy value(&form, &CPIForm::sig_CurrentCPIValue);
        QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(10, 5));
        drag(slider, 150);
        QCOMPARE(slider->value(), 3800);
        // Dragged past the end: the handle stays at the maximum.
        drag(slider, 260);
        QCOMPARE(slider->value(), 5000);
        QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(260, 5));
        QCOMPARE(value.at(0), (QList<QVariant>{3, 5000}));

        // A right-button release commits nothing.
        value.clear();
        QTest::mousePress(slider, Qt::RightButton, {}, QPoint(40, 5));
        QTest::mouseRelease(slider, Qt::RightButton, {}, QPoint(40, 5));
        QCOMPARE(value.count(), 0);

        QWheelEvent wheel(QPointF(50, 5), QPointF(slider->mapToGlobal(QPoint(50, 5))), QPoint(), QPoint(0, 120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(slider, &wheel);
        QCOMPARE(slider->value(), 5000);
        QCOMPARE(value.count(), 0);
    }

    void numberBoxSteps_data()
    {
        QTest::addColumn<int>("mouseType");
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("shown");
        QTest::addColumn<QList<int>>("sent");
        using L = QList<int>;
        // KestrelEU: 100 up to 5000, 200 above it.
        QTest::newRow("typed 5050 gives 5000") << 14 << 800 << "5050" << 5000 << L{5000};
        QTest::newRow("typed 4950 gives 4900") << 14 << 800 << "4950" << 4900 << L{4900};
        QTest::newRow("typed 5400 stays") << 14 << 800 << "5400" << 5400 << L{5400};
        QTest::newRow("typed 5300 gives 5200") << 14 << 800 << "5300" << 5200 << L{5200};
        QTest::newRow("Up from 4900 gives 5000") << 14 << 4900 << "up" << 5000 << L{5000};
        QTest::newRow("Up from 5000 gives 5200") << 14 << 5000 << "up" << 5200 << L{5200};
        QTest::newRow("Down from 5000 gives 4900") << 14 << 5000 << "down" << 4900 << L{4900};
        QTest::newRow("Down from 5200 gives 5000") << 14 << 5200 << "down" << 5000 << L{5000};
        QTest::newRow("Up at the maximum does nothing") << 14 << 10000 << "up" << 10000 << L{};
        QTest::newRow("Down at the minimum does nothing") << 12 << 200 << "down" << 200 << L{};
        // Kestrel: steps of 50 from 50 to 16000.
        QTest::newRow("typed 1234 gives 1200") << 11 << 800 << "1234" << 1200 << L{1200};
        QTest::newRow("typed below the minimum") << 12 << 800 << "150" << 200 << L{200};
        QTest::newRow("typed above the maximum") << 12 << 800 << "9000" << 5000 << L{5000};
        QTest::newRow("typed the value shown") << 12 << 800 << "800" << 800 << L{};
        QTest::newRow("emptied: the last value comes back") << 12 << 800 << "" << 800 << L{};
        QTest::newRow("Up from 800") << 11 << 800 << "up" << 850 << L{850};
    }

    void numberBoxSteps()
    {
        QFETCH(int, mouseType);
        QFETCH(int, start);
        QFETCH(QString, action);
        QFETCH(int, shown);
        QFETCH(QList<int>, sent);
        std::unique_ptr<USpinBox> box = makeBox(mouseType);
        box->showValue(start);
        QSignalSpy value(box.get(), &USpinBox::sig_SpinBoxValueChange);
        QSignalSpy kind(box.get(), &USpinBox::sig_CpiSliderChange);
        if (action == QLatin1String("up"))
            QTest::mouseClick(box->upButton(), Qt::LeftButton);
        else if (action == QLatin1String("down"))
            QTest::mouseClick(box->downButton(), Qt::LeftButton);
        else
            typeAndLeave(box.get(), action);
        QCOMPARE(box->value(), shown);
        QCOMPARE(box->lineEdit()->text(), QString::number(shown));
        QCOMPARE(ints(value), sent);
        QCOMPARE(kind.count(), sent.size());
        if (!sent.isEmpty())
            QCOMPARE(kind.at(0).at(0).toBool(), false);
        QVERIFY(!box->lineEdit()->hasFocus());
    }

    void numberBoxFinishesOnReturnAndOnlyOnce()
    {
        std::unique_ptr<USpinBox> box = makeBox(12);
        box->showValue(800);
        QSignalSpy value(box.get(), &USpinBox::sig_SpinBoxValueChange);
        box->activateWindow();
        box->lineEdit()->setFocus();
        box->lineEdit()->selectAll();
        QTest::keyClicks(box->lineEdit(), QStringLiteral("1650"));
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
        // Return, the focus leaving and the pointer leaving: one value sent.
        leave(box->lineEdit());
        QCOMPARE(ints(value), QList<int>{1600});

        // A disabled box ignores the pointer leaving it.
        value.clear();
        box->lineEdit()->setText(QStringLiteral("2000"));
        box->setEnabled(false);
        leave(box->lineEdit());
        QCOMPARE(value.count(), 0);
    }

    void pointerSpeedSliderReportsOnRelease()
    {
        MoveSlider slider;
        slider.setCPIType(1, 20, 200, 10);
        slider.show();
        QCOMPARE(slider.size(), QSize(200, 10));
        QSignalSpy speed(&slider, &MoveSlider::sig_ValueChange);
        QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(100, 5));
        QCOMPARE(slider.value(), 10);
        QCOMPARE(speed.count(), 0);
        QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(100, 5));
        QCOMPARE(ints(speed), QList<int>{10});

        // Dragged to the right end and let go there.
        speed.clear();
        QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(150, 5));
        drag(&slider, 240);
        QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(240, 5));
        QCOMPARE(ints(speed), QList<int>{20});

        // The wheel does not move it behind the desktop's back.
        QWheelEvent wheel(QPointF(50, 5), QPointF(slider.mapToGlobal(QPoint(50, 5))), QPoint(), QPoint(0, -120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&slider, &wheel);
        QCOMPARE(slider.value(), 20);
    }

    void aValueOutsideTheModelsRangeIsShownAndSentInside_data()
    {
        QTest::addColumn<int>("mouseType");
        QTest::addColumn<int>("held");  // what the mouse reports
        QTest::addColumn<int>("shown");
        QTest::addColumn<int>("afterDown");
        QTest::newRow("kestrelq 16000") << 10 << 16000 << 5000 << 4900;
        QTest::newRow("kestrelq 6500") << 10 << 6500 << 5000 << 4900;
        QTest::newRow("kestreleu 59400") << 14 << 59400 << 10000 << 9800;
        QTest::newRow("kestreleu 1850") << 14 << 1850 << 1900 << 1800;
        QTest::newRow("kestrel 16000 fits") << 11 << 16000 << 16000 << 15950;
    }

    // A mouse holding another model's table: the row shows the nearest value
    // the model takes, and the next click sends a value inside the range.
    void aValueOutsideTheModelsRangeIsShownAndSentInside()
    {
        QFETCH(int, mouseType);
        QFETCH(int, held);
        QFETCH(int, shown);
        QFETCH(int, afterDown);
        CPIForm form(0);
        form.setMouseType(mouseType);
        form.setCPIValue(held, true);
        form.show();
        QCOMPARE(form.spinBox()->value(), shown);
        QSignalSpy value(&form, &CPIForm::sig_CurrentCPIValue);
        QTest::mouseClick(form.spinBox()->downButton(), Qt::LeftButton);
        QCOMPARE(value.count(), 1);
        QCOMPARE(value.at(0).at(1).toInt(), afterDown);
    }

    void checkingALevelBelowItsMinimumGivesTheModelDefault()
    {
        CPIForm form(2);
        form.setMouseType(12);
        // A level never set holds 0.
        form.setCPIValue(0, false);
        form.show();
        QVERIFY(!form.slider()->isEnabled());
        QVERIFY(!form.spinBox()->isEnabled());
        QSignalSpy value(&form, &CPIForm::sig_CurrentCPIValue);
        QSignalSpy last(&form, &CPIForm::sig_CheckIsLastOneCpi);
        QTest::mouseClick(form.checkBox(), Qt::LeftButton);
        QCOMPARE(value.count(), 1);
        QCOMPARE(value.at(0), (QList<QVariant>{2, 2000}));
        QCOMPARE(form.spinBox()->value(), 2000);
        QCOMPARE(form.slider()->value(), 2000);
        QVERIFY(form.slider()->isEnabled());
        QVERIFY(form.spinBox()->isEnabled());
        QVERIFY(form.isChecked());

        // Switching it off asks the page first and sends no value itself.
        value.clear();
        QTest::mouseClick(form.checkBox(), Qt::LeftButton);
        QCOMPARE(value.count(), 0);
        QCOMPARE(last.count(), 1);
        QCOMPARE(last.at(0), (QList<QVariant>{2, 2000}));
        QVERIFY(!form.spinBox()->isEnabled());
        QVERIFY(form.isChecked()); // until the page decides
    }

    void rowRebuildsForItsModel()
    {
        CPIForm form(4);
        form.setMouseType(11);
        QVERIFY(qobject_cast<OneKindSingleStepCPISlider *>(form.slider()));
        QCOMPARE(form.slider()->maximum(), 16000);
        QCOMPARE(form.minimum(), 50);
        form.setMouseType(14);
        QVERIFY(qobject_cast<TwoKindStepCPISlider *>(form.slider()));
        QVERIFY(qobject_cast<TwoKindsStepUSpinBox *>(form.spinBox()));
        QCOMPARE(form.slider()->maximum(), 10000);
        QCOMPARE(form.findChildren<CPISlider *>().size(), 1);
        QCOMPARE(form.findChildren<USpinBox *>().size(), 1);

        // The new box still drives the row: Up on a checked row sends the new value.
        form.setCPIValue(4900, true);
        form.show();
        QSignalSpy value(&form, &CPIForm::sig_CurrentCPIValue);
        QSignalSpy kind(&form, &CPIForm::sig_CpiSliderChange);
        QTest::mouseClick(form.spinBox()->upButton(), Qt::LeftButton);
        QCOMPARE(value.at(0), (QList<QVariant>{4, 5000}));
        QCOMPARE(form.slider()->value(), 5000);
        QCOMPARE(kind.at(0).at(0).toBool(), false);
    }

    void showingAValueSendsNothing()
    {
        CPIForm form(1);
        form.setMouseType(11);
        QSignalSpy value(&form, &CPIForm::sig_CurrentCPIValue);
        form.setCPIValue(3200, true);
        form.slot_SetCPISpinboxValue(3300);
        QCOMPARE(value.count(), 0);
        QVERIFY(form.checkBox()->isChecked());
        QCOMPARE(form.spinBox()->value(), 3300);

        form.setCheckedState(true);
        form.setCheckable(false);
        QVERIFY(!form.isChecked());
        form.setCheckedState(true);
        QVERIFY(!form.isChecked());
    }
};

QTEST_MAIN(TestCpiWidgets)
#include "tst_cpiwidgets.moc"
