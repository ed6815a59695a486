// The main settings page clicked and typed into offscreen: the CPI levels and
// the list they send, the gear file's positions and values, report rate,
// layout per model, pointer speed and wheel lines through the real desktop
// backends (GSettings' memory backend, kdeglobals in a temporary folder, our
// own file).
#include "data/DCDataHandle.h"
#include "device/DeviceTypes.h"
#include "pages/CPIForm.h"
#include "pages/CPISlider.h"
#include "pages/MainSettingWidget.h"
#include "pages/MouseButtonLayout.h"
#include "pages/MoveSlider.h"
#include "pages/MyPushButton.h"
#include "pages/USpinBox.h"
#include "platform/PointerSettings.h"
#include "platform/linux/DesktopPointer.h"
#include "store/GearHandle.h"
#include "store/TextTable.h"
#include "support/TempAppFolder.h"

#include <QCheckBox>
#include <QEvent>
#include <QFile>
#include <QImageReader>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include "store/SafeFile.h"
#include <QtTest>
#include <memory>

namespace {

// A desktop whose wheel knows "one screen per notch"; none of the Linux
// desktops has one, so this case can only be shown with a stand-in.
class ScreenPerNotchWheel : public WheelLinesBackend
{
public:
    bool hasScreenPerNotch() const override { return true; }
    int lines() const override { return PointerSettings::ScreenPerNotch; }
    bool setLines(int) override { return true; }
};

// A page in a temporary application folder, with the pointer settings given.
struct PageRig
{
    explicit PageRig(std::unique_ptr<WheelLinesBackend> wheel = nullptr, int keptSpeed = 0)
    {
        std::unique_ptr<PointerSpeedBackend> speed = makeKeptPointerSpeed(PointerSettings::keptSpeedPath());
        if (keptSpeed)
            speed->setSpeed(keptSpeed);
        pointer = std::make_unique<PointerSettings>(std::move(speed), std::move(wheel));
        PointerSettings::setSystem(pointer.get());
        page = std::make_unique<MainSettingWidget>();
        page->resize(960, 472);
        page->show();
    }
    ~PageRig()
    {
        page.reset();
        PointerSettings::setSystem(nullptr);
    }

    // A model as the bridge sets it up: the gear of configuration n, then the list.
    void load(int mouseType, const CpiList &list, const QJsonObject &gear = QJsonObject(), int config = 1)
    {
        GearHandle gears;
        SharedGear::setCurrent(gear.isEmpty() ? gears.BuildDefaultGear(mouseType) : gear);
        page->setCurrentConfigNumber(config);
        page->setMouseType(mouseType);
        page->slot_SetCpidListValueOnPage(list);
    }

    CPIForm *form(int level) const { return page->cpiForm(level); }
    void click(int level) const { QTest::mouseClick(form(level)->checkBox(), Qt::LeftButton); }

    TempAppFolder folder;
    std::unique_ptr<PointerSettings> pointer;
    std::unique_ptr<MainSettingWidget> page;
};

CpiList sentList(const QSignalSpy &spy, int i = -1)
{
    return spy.at(i < 0 ? spy.count() - 1 : i).at(0).value<CpiList>();
}

QJsonObject gearWithEnabled(int mouseType, const QList<int> &enabled)
{
    GearHandle gears;
    QJsonObject gear = gears.BuildDefaultGear(mouseType);
    QJsonArray levels = gear.value(QStringLiteral("GearData")).toArray();
    for (int i = 0; i < levels.size(); ++i) {
        QJsonObject level = levels.at(i).toObject();
        level.insert(QStringLiteral("GearEnable"), enabled.contains(i));
        levels.replace(i, level);
    }
    gear.insert(QStringLiteral("GearData"), levels);
    return gear;
}

QList<int> checkedLevels(const PageRig &rig)
{
    QList<int> out;
    for (int level = 0; level < MainSettingWidget::CpiLevels; ++level)
        if (rig.form(level)->checkBox()->isChecked())
            out << level;
    return out;
}

// Radio buttons take clicks on their mark and caption only.
void clickRadio(QRadioButton *radio)
{
    QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(8, radio->height() / 2));
}

QStringList actions(const QSignalSpy &ga)
{
    QStringList out;
    for (const QList<QVariant> &args : ga)
        out << args.at(1).toString();
    return out;
}

} // namespace

class TestMainSettingWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { DCDataHandle::registerMetaTypes(); }

    void theOnlyActiveLevelStaysOn()
    {
        PageRig rig;
        rig.load(12, {800, 0, 0, 0, 0, 0, 0});
        QSignalSpy list(rig.page.get(), &MainSettingWidget::sig_ChangeCPIListValue);
        rig.click(0);
        QVERIFY(rig.form(0)->checkBox()->isChecked());
        QVERIFY(rig.form(0)->slider()->isEnabled());
        QCOMPARE(rig.form(0)->spinBox()->value(), 800);
        QCOMPARE(list.count(), 0);
    }

    void switchingOffOneOfTwoSendsZeroForIt()
    {
        PageRig rig;
        rig.load(12, {800, 1600, 0, 0, 0, 0, 0});
        QSignalSpy list(rig.page.get(), &MainSettingWidget::sig_ChangeCPIListValue);
        rig.click(1);
        QCOMPARE(list.count(), 1);
        QCOMPARE(sentList(list), (CpiList{800, 0, 0, 0, 0, 0, 0}));
        QVERIFY(!rig.form(1)->checkBox()->isChecked());
        QVERIFY(!rig.form(1)->isChecked());
        // Now level 1 is the last one on.
        rig.click(0);
        QVERIFY(rig.form(0)->checkBox()->isChecked());
        QCOMPARE(list.count(), 1);
    }

    void levelSwitchedOnBelowItsMinimumTakesTheModelDefault()
    {
        PageRig rig;
        rig.load(12, {1000, 1500, 0, 0, 0, 0, 0});
        QCOMPARE(rig.form(2)->spinBox()->lineEdit()->text(), QString());
        QSignalSpy list(rig.page.get(), &MainSettingWidget::sig_ChangeCPIListValue);
        rig.click(2);
        QCOMPARE(sentList(list), (CpiList{1000, 1500, 2000, 0, 0, 0, 0}));
        QCOMPARE(rig.form(2)->spinBox()->value(), 2000);
        // The level's value is kept in the gear file of the configuration.
        GearHandle gears;
        QCOMPARE(gears.GetGearCurrentValue(gears.ReadGearFile(12, 1), 2), 2000);
        QCOMPARE(gears.GetGearCurrentValue(SharedGear::current(), 2), 2000);
    }

    void aLevelSwitchedOnAgainTakesItsLastValue()
    {
        PageRig rig;
        QJsonObject gear = GearHandle().BuildDefaultGear(11);
        GearHandle().SetGearCurrentValue(11, 1, gear, 3, 4200);
        rig.load(11, {800, 1600, 0, 0, 0, 0, 0}, gear);
        QCOMPARE(rig.form(3)->spinBox()->value(), 4200);
        QVERIFY(!rig.form(3)->slider()->isEnabled());
        QSignalSpy list(rig.page.get(), &MainSettingWidget::sig_ChangeCPIListValue);
        rig.click(3);
        QCOMPARE(sentList(list), (CpiList{800, 1600, 0, 4200, 0, 0, 0}));
    }

    void aListShorterThanFiveIsKeptNotSent()
    {
        PageRig rig;
        QSignalSpy list(rig.page.get(), &MainSettingWidget::sig_ChangeCPIListValue);
        rig.page->slot_ChangeCPIValueOnMouse(2, 800);
        QCOMPARE(list.count(), 0);
        QCOMPARE(rig.page->cpiList(), (CpiList{0, 0, 800}));
        rig.page->slot_ChangeCPIValueOnMouse(1, 400);
        QCOMPARE(list.count(), 0);
        QCOMPARE(rig.page->cpiList(), (CpiList{0, 400, 800}));
    }

    void fiveLevelModelsNeverCountRowsSixAndSeven()
    {
        PageRig rig;
        // The mouse reports values for levels 6 and 7 as well.
        rig.load(12, {800, 0, 0, 0, 0, 1200, 1600}, gearWithEnabled(12, {0, 1, 2, 3, 4, 5, 6}));
        QVERIFY(!rig.form(5)->isVisible());
        QVERIFY(!rig.form(6)->isVisible());
        QVERIFY(!rig.form(5)->isChecked());
        QVERIFY(!rig.form(6)->isChecked());
        QSignalSpy list(rig.page.get(), &MainSettingWidget::sig_ChangeCPIListValue);
        rig.click(0);
        QVERIFY(rig.form(0)->checkBox()->isChecked());
        QCOMPARE(list.count(), 0);
    }

    void variablePositionsFollowTheGearFile_data()
    {
        QTest::addColumn<QList<int>>("enabled");
        QTest::addColumn<CpiList>("fromMouse");
        QTest::addColumn<CpiList>("onPage");
        QTest::newRow("levels at the enabled positions")
            << QList<int>{0, 2, 5} << CpiList{800, 1600, 3200, 0, 0, 0, 0} << CpiList{800, 0, 1600, 0, 0, 3200, 0};
        QTest::newRow("every position enabled") << QList<int>{0, 1, 2, 3, 4, 5, 6} << CpiList{800, 1600, 0, 0, 0, 0, 0}
                                                << CpiList{800, 1600, 0, 0, 0, 0, 0};
        // A gear file from another profile: no level may land on another's place.
        QTest::newRow("fewer positions than levels: in order")
            << QList<int>{0, 2} << CpiList{800, 1600, 3200, 0, 0, 0, 0} << CpiList{800, 1600, 3200, 0, 0, 0, 0};
    }

    void variablePositionsFollowTheGearFile()
    {
        QFETCH(QList<int>, enabled);
        QFETCH(CpiList, fromMouse);
        QFETCH(CpiList, onPage);
        PageRig rig;
        rig.load(11, fromMouse, gearWithEnabled(11, enabled), 2);
        QCOMPARE(rig.page->cpiList(), onPage);
        QList<int> on;
        for (int p = 0; p < onPage.size(); ++p)
            if (onPage.at(p) != 0)
                on << p;
        QCOMPARE(checkedLevels(rig), on);
        GearHandle gears;
        const QJsonObject stored = gears.ReadGearFile(11, 2);
        for (int p : on) {
            QCOMPARE(rig.form(p)->spinBox()->value(), int(onPage.at(p)));
            QCOMPARE(gears.GetGearCurrentValue(stored, p), int(onPage.at(p)));
        }
    }

    void aNewListReplacesEveryLevel()
    {
        PageRig rig;
        rig.load(11, {800, 1600, 3200, 6400, 0, 0, 0});
        rig.page->slot_SetCpidListValueOnPage({800, 1600, 0, 0, 0, 0, 0});
        QCOMPARE(checkedLevels(rig), (QList<int>{0, 1}));
        QSignalSpy list(rig.page.get(), &MainSettingWidget::sig_ChangeCPIListValue);
        QTest::mouseClick(rig.form(0)->spinBox()->upButton(), Qt::LeftButton);
        // Levels 3 and 4 of the old list do not come back with the next change.
        QCOMPARE(sentList(list), (CpiList{850, 1600, 0, 0, 0, 0, 0}));
    }

    // A new list from the mouse (a profile switch) is kept in the gear file
    // with one write, however many levels changed.
    void aNewListIsKeptInOneWrite()
    {
        PageRig rig;
        rig.load(11, {800, 1600, 3200, 6400, 0, 0, 0});
        QStringList writes;
        SafeFile::setBeforeReplaceHook([&writes](const QString &path) {
            writes << path;
            return true;
        });
        rig.page->slot_SetCpidListValueOnPage({900, 1700, 3300, 6500, 7000, 8000, 9000});
        SafeFile::setBeforeReplaceHook({});
        QCOMPARE(writes, QStringList{GearHandle::gearFilePath(11, 1)});
        GearHandle gears;
        const QJsonObject kept = gears.ReadGearFile(11, 1);
        for (int level = 0; level < 7; ++level)
            QCOMPARE(gears.GetGearCurrentValue(kept, level), QList<int>({900, 1700, 3300, 6500, 7000, 8000, 9000}).at(level));
    }

    void sliderAndBoxSendTheWholeList()
    {
        PageRig rig;
        rig.load(11, {800, 1600, 3200, 0, 0, 0, 0});
        QSignalSpy list(rig.page.get(), &MainSettingWidget::sig_ChangeCPIListValue);
        QSignalSpy ga(rig.page.get(), &MainSettingWidget::sig_SendEventMessageToGA);
        CPISlider *slider = rig.form(1)->slider();
        QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(15, 5));
        QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(15, 5));
        QCOMPARE(sentList(list), (CpiList{800, 1200, 3200, 0, 0, 0, 0}));

        USpinBox *box = rig.form(2)->spinBox();
        box->lineEdit()->setFocus();
        box->lineEdit()->selectAll();
        QTest::keyClicks(box->lineEdit(), QStringLiteral("4321"));
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
        QCOMPARE(list.count(), 2);
        QCOMPARE(sentList(list), (CpiList{800, 1200, 4300, 0, 0, 0, 0}));
        QCOMPARE(actions(ga), (QStringList{"CPILevel2", "CPISlider", "CPILevel3", "CPISpinBox"}));
    }

    void reportRate()
    {
        PageRig rig;
        QSignalSpy rate(rig.page.get(), &MainSettingWidget::sig_ChangeUSBReportRate);
        QSignalSpy ga(rig.page.get(), &MainSettingWidget::sig_SendEventMessageToGA);
        auto radio = [&rig](const char *name) { return rig.page->findChild<QRadioButton *>(QLatin1String(name)); };
        QVERIFY(radio("USBReportRate_1000RadioButton")->isChecked());
        clickRadio(radio("USBReportRate_125RadioButton"));
        clickRadio(radio("USBReportRate_500RadioButton"));
        QCOMPARE(rate.count(), 2);
        QCOMPARE(rate.at(0).at(0).toInt(), 0);
        QCOMPARE(rate.at(1).at(0).toInt(), 2);
        QCOMPARE(ga.at(0).at(2).toString(), QStringLiteral("Hz125"));
        QCOMPARE(ga.at(1).at(2).toString(), QStringLiteral("Hz500"));

        // What the mouse holds is shown without being sent back.
        rate.clear();
        rig.page->slot_SetUSBReportRateOnPage(1);
        QVERIFY(radio("USBReportRate_250RadioButton")->isChecked());
        for (int invalid : {4, -1})
            rig.page->slot_SetUSBReportRateOnPage(invalid);
        QVERIFY(radio("USBReportRate_250RadioButton")->isChecked());
        QCOMPARE(rate.count(), 0);
    }

    void layoutPerModel_data()
    {
        QTest::addColumn<int>("mouseType");
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("screenButton");
        QTest::newRow("Kestrel: seven levels and a screen") << 11 << 7 << true;
        QTest::newRow("KestrelQ: seven levels and a screen") << 10 << 7 << true;
        QTest::newRow("KestrelEU: seven levels") << 14 << 7 << false;
        QTest::newRow("Merlin: five levels") << 12 << 5 << false;
        QTest::newRow("KestrelC: five levels") << 9 << 5 << false;
        QTest::newRow("Osprey: seven levels and a screen") << 3 << 7 << true;
    }

    void layoutPerModel()
    {
        QFETCH(int, mouseType);
        QFETCH(int, rows);
        QFETCH(bool, screenButton);
        PageRig rig;
        // From the other layout to this one: the model decides, not what was shown before.
        rig.page->setMouseType(rows == 7 ? 12 : 11);
        rig.page->setMouseType(mouseType);
        const int leftRows = rows == 7 ? 4 : 3;
        for (int level = 0; level < MainSettingWidget::CpiLevels; ++level) {
            CPIForm *form = rig.form(level);
            QCOMPARE(form->isVisible(), level < rows);
            QCOMPARE(form->isCheckable(), level < rows);
            QCOMPARE(form->mouseType(), mouseType);
        }
        // The first level of the right column sits level with level 1.
        QCOMPARE(rig.form(leftRows)->y(), rig.form(0)->y());
        QVERIFY(rig.form(leftRows)->x() > rig.form(0)->x() + rig.form(0)->width());
        QCOMPARE(rig.form(leftRows - 1)->x(), rig.form(0)->x());
        QCOMPARE(rig.page->findChild<QPushButton *>(QStringLiteral("DrawButton"))->isVisible(), screenButton);

        QSignalSpy draw(rig.page.get(), &MainSettingWidget::sig_showDrawDialog);
        if (screenButton) {
            QTest::mouseClick(rig.page->findChild<QPushButton *>(QStringLiteral("DrawButton")), Qt::LeftButton);
            QCOMPARE(draw.count(), 1);
        }
    }

    void pointerSpeedIsReadOnceAndSentOnRelease()
    {
        PageRig rig(nullptr, 7);
        MoveSlider *slider = rig.page->findChild<MoveSlider *>(QStringLiteral("PointSpeedSlider"));
        QCOMPARE(slider->value(), 7);
        QCOMPARE(slider->minimum(), 1);
        QCOMPARE(slider->maximum(), 20);
        // Our own file only: the page says so.
        QVERIFY(rig.page->findChild<QLabel *>(QStringLiteral("SpeedNoteLabel"))->isVisible());
        QSignalSpy speed(rig.page.get(), &MainSettingWidget::sig_SetPointSpeed);
        QSignalSpy ga(rig.page.get(), &MainSettingWidget::sig_SendEventMessageToGA);
        QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(150, 5));
        QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(150, 5));
        QCOMPARE(speed.count(), 1);
        QCOMPARE(speed.at(0).at(0).toInt(), 15);
        QCOMPARE(actions(ga), QStringList{"PointSpeed"});
    }

    void desktopSpeedNeedsNoNote()
    {
        TempAppFolder folder;
        std::unique_ptr<PointerSettings> gnome =
            PointerSettings::forDesktop(QStringLiteral("GNOME"), PointerSettings::keptSpeedPath());
        QVERIFY(gnome->setPointerSpeed(16));
        PointerSettings::setSystem(gnome.get());
        MainSettingWidget page;
        page.show();
        QCOMPARE(page.findChild<MoveSlider *>(QStringLiteral("PointSpeedSlider"))->value(), 16);
        QVERIFY(!page.findChild<QLabel *>(QStringLiteral("SpeedNoteLabel"))->isVisible());
        // GNOME has no wheel lines for programs: the controls say so and stay off.
        QVERIFY(page.findChild<QLabel *>(QStringLiteral("WheelNoteLabel"))->isVisible());
        QVERIFY(!page.findChild<QSpinBox *>(QStringLiteral("spinBox"))->isEnabled());
        QVERIFY(!page.findChild<QRadioButton *>(QStringLiteral("TrolleySpeed_RadioButton_1"))->isEnabled());
        QVERIFY(!page.findChild<QRadioButton *>(QStringLiteral("TrolleySpeed_RadioButton_2"))->isEnabled());
        PointerSettings::setSystem(nullptr);
    }

    void kdeWheelLines()
    {
        QTemporaryDir config;
        const QString kdeglobals = config.filePath(QStringLiteral("kdeglobals"));
        QFile f(kdeglobals);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[KDE]\nWheelScrollLines=5\n");
        f.close();
        PageRig rig(DesktopPointer::makeKdeWheelLines(kdeglobals));
        auto *lines = rig.page->findChild<QSpinBox *>(QStringLiteral("spinBox"));
        auto *linesRadio = rig.page->findChild<QRadioButton *>(QStringLiteral("TrolleySpeed_RadioButton_1"));
        auto *screenRadio = rig.page->findChild<QRadioButton *>(QStringLiteral("TrolleySpeed_RadioButton_2"));
        QCOMPARE(lines->value(), 5);
        QVERIFY(lines->isEnabled());
        QVERIFY(linesRadio->isChecked());
        QVERIFY(!screenRadio->isEnabled());
        QVERIFY(!rig.page->findChild<QLabel *>(QStringLiteral("WheelNoteLabel"))->isVisible());

        QSignalSpy wheel(rig.page.get(), &MainSettingWidget::sig_SetTrolleySpeed);
        lines->setFocus();
        lines->selectAll();
        QTest::keyClicks(lines, QStringLiteral("12"));
        QTest::keyClick(lines, Qt::Key_Return);
        // Typed in full, applied once.
        QCOMPARE(wheel.count(), 1);
        QCOMPARE(wheel.at(0).at(0).toInt(), 12);
    }

    void theBridgeFillsThePage()
    {
        PageRig rig;
        SharedGear::setCurrent(GearHandle().BuildDefaultGear(11));
        rig.page->setMouseType(11);
        DCDataHandle bridge;
        rig.page->connectBridge(&bridge);
        emit bridge.sig_SetCurrentCpiListValueOnPage({400, 800, 0, 0, 0, 0, 0});
        emit bridge.sig_SetCurrentReportRate(0);
        // In the order the managers report: the look, then what a changed button does.
        emit bridge.sig_CurrentButtonIsOriginalButton(false, 6);
        emit bridge.sig_TrueMouseValue(6, 29, 0x41, 1);
        emit bridge.sig_CurrentButtonIsOriginalButton(false, 7);
        emit bridge.sig_TrueMouseValue(7, 29, 0x42, 0);
        QCOMPARE(rig.page->cpiList(), (CpiList{400, 800, 0, 0, 0, 0, 0}));
        QVERIFY(rig.page->findChild<QRadioButton *>(QStringLiteral("USBReportRate_125RadioButton"))->isChecked());
        MyPushButton *button = rig.page->mouseButton(6);
        QCOMPARE(button->changeType(), 29);
        QCOMPARE(button->trueMouseValue(), 0x41);
        QCOMPARE(button->modifyKey(), 1);
        QVERIFY(!button->isOriginal());
        QCOMPARE(rig.page->mouseButton(8)->changeType(), -1);
        // Back to its factory function, a button no longer claims the key it had.
        emit bridge.sig_CurrentButtonIsOriginalButton(true, 7);
        QVERIFY(rig.page->mouseButton(7)->isOriginal());
        QCOMPARE(rig.page->mouseButton(7)->changeType(), -1);
    }

    // Every model's buttons on its own picture: each shown plate over its
    // place, captioned, inside the picture and clear of the others, and the
    // picture itself drawn and in the resources.
    void buttonsSitOnTheirModelsPicture_data()
    {
        QTest::addColumn<int>("mouseType");
        for (int type : {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 18, 19})
            QTest::addRow("type %d", type) << type;
    }
    void buttonsSitOnTheirModelsPicture()
    {
        QFETCH(int, mouseType);
        TextTable::loadTextTable(QStringLiteral(HARRIER_SOURCE_DIR "/resources/translate.json"),
                                 TextTable::kEnglishSlot);
        PageRig rig;
        rig.page->setMouseType(mouseType);
        const QString name = MouseButtonLayout::pictureName(mouseType);
        QVERIFY(!name.isEmpty());
        const QString file = QStringLiteral("picture/mouse/%1.png").arg(name);
        QCOMPARE(QImageReader(QStringLiteral(HARRIER_SOURCE_DIR "/resources/") + file).size(),
                 QSize(2 * MouseButtonLayout::PictureWidth, 2 * MouseButtonLayout::PictureHeight));
        QFile qrc(QStringLiteral(HARRIER_SOURCE_DIR "/resources/resources.qrc"));
        QVERIFY(qrc.open(QIODevice::ReadOnly));
        QVERIFY(qrc.readAll().contains(file.toUtf8()));
        QVERIFY(rig.page->findChild<QLabel *>(QStringLiteral("MousePictureLabel"))->styleSheet().contains(file));

        const QRect picture(0, 0, MouseButtonLayout::PictureWidth, MouseButtonLayout::PictureHeight);
        QList<MyPushButton *> shown;
        for (int index = MyPushButton::FirstButton; index <= MyPushButton::LastButton; ++index) {
            MyPushButton *button = rig.page->mouseButton(index);
            QCOMPARE(button->isVisible(), MyPushButton::isShown(mouseType, index));
            if (!button->isVisible())
                continue;
            QCOMPARE(button->geometry(), MouseButtonLayout::plate(mouseType, index));
            QVERIFY2(picture.contains(button->geometry()), qPrintable(QString::number(index)));
            QVERIFY(!button->text().isEmpty());
            QVERIFY(!MouseButtonLayout::dialogTitle(mouseType, index).isEmpty());
            // The caption fits its plate in the style sheet's type.
            QFont font(QStringLiteral("WenQuanYi Micro Hei"));
            font.setPixelSize(11);
            QVERIFY2(QFontMetrics(font).horizontalAdvance(button->text()) + 8 <= button->width(),
                     qPrintable(button->text()));
            for (MyPushButton *other : qAsConst(shown))
                QVERIFY2(!other->geometry().intersects(button->geometry()),
                         qPrintable(QStringLiteral("%1 and %2").arg(other->index()).arg(index)));
            shown << button;
        }
        TextTable::setTable({});
    }

    // Pointing at a plate shows that button's label alone: what it is and
    // what the mouse reported it does.
    void hoverShowsThatButtonsLabel()
    {
        TextTable::loadTextTable(QStringLiteral(HARRIER_SOURCE_DIR "/resources/translate.json"),
                                 TextTable::kEnglishSlot);
        PageRig rig;
        rig.page->setMouseType(19);
        DCDataHandle bridge;
        rig.page->connectBridge(&bridge);
        emit bridge.sig_CurrentButtonIsOriginalButton(false, 7);
        emit bridge.sig_TrueMouseValue(7, 29, 0x41, 3);
        emit bridge.sig_CurrentButtonIsOriginalButton(true, 8);
        auto label = [&](int index) { return rig.page->findChild<QLabel *>(QStringLiteral("KeyLabel_%1").arg(index)); };
        auto hover = [&](int index, QEvent::Type type) {
            QEvent event(type);
            QApplication::sendEvent(rig.page->mouseButton(index), &event);
        };

        hover(7, QEvent::Enter);
        QVERIFY(label(7)->isVisible());
        QCOMPARE(label(7)->text(), QStringLiteral("Forward\nKey: CTRL + SHIFT + A"));
        hover(7, QEvent::Leave);
        hover(8, QEvent::Enter);
        QVERIFY(!label(7)->isVisible());
        QCOMPARE(label(8)->text(), QStringLiteral("Back\nFactory setting"));
        hover(8, QEvent::Leave);
        for (int index = MyPushButton::FirstButton; index <= MyPushButton::LastButton; ++index)
            QVERIFY(!label(index)->isVisible());

        // Without hovering, a changed button's plate says what it does (cut
        // to the plate when long); a plain one and one set back say its name.
        QCOMPARE(rig.page->mouseButton(7)->assignmentText(), QStringLiteral("CTRL + SHIFT + A"));
        QVERIFY(rig.page->mouseButton(7)->text().startsWith(QStringLiteral("CTRL")));
        QCOMPARE(rig.page->mouseButton(8)->text(), QStringLiteral("Back"));
        emit bridge.sig_CurrentButtonIsOriginalButton(false, 8);
        emit bridge.sig_TrueMouseValue(8, 29, 0x74, 0);
        QCOMPARE(rig.page->mouseButton(8)->text(), QStringLiteral("F5"));
        emit bridge.sig_CurrentButtonIsOriginalButton(true, 7);
        QCOMPARE(rig.page->mouseButton(7)->text(), QStringLiteral("Forward"));
        TextTable::setTable({});
    }

    void screenPerNotchFromTheDesktop()
    {
        PageRig rig(std::make_unique<ScreenPerNotchWheel>());
        auto *lines = rig.page->findChild<QSpinBox *>(QStringLiteral("spinBox"));
        auto *linesRadio = rig.page->findChild<QRadioButton *>(QStringLiteral("TrolleySpeed_RadioButton_1"));
        auto *screenRadio = rig.page->findChild<QRadioButton *>(QStringLiteral("TrolleySpeed_RadioButton_2"));
        QVERIFY(screenRadio->isChecked());
        QVERIFY(!lines->isEnabled());
        QCOMPARE(lines->value(), 3);

        QSignalSpy wheel(rig.page.get(), &MainSettingWidget::sig_SetTrolleySpeed);
        clickRadio(linesRadio);
        QVERIFY(lines->isEnabled());
        clickRadio(screenRadio);
        QVERIFY(!lines->isEnabled());
        QCOMPARE(wheel.count(), 2);
        QCOMPARE(wheel.at(0).at(0).toInt(), 3);
        QCOMPARE(wheel.at(1).at(0).toInt(), -1);
    }
};

int main(int argc, char *argv[])
{
    // Before GIO is first used: the tests must never touch the user's own settings.
    qputenv("GSETTINGS_BACKEND", "memory");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestMainSettingWidget test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainsettingwidget.moc"
