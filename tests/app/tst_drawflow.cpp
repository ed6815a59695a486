// The screen editor in the whole program: an emulated mouse with a screen on
// the bus, the settings page's screen button, the window opening the editor,
// the bridge on its worker thread. A drawing made with the pointer must reach
// the mouse's screen memory as the device packs it, and the screen mode and
// brightness must reach the mouse.
#include "emulator/kestrel/EmulatedKestrelMouse.h"
#include "emulator/osprey/EmulatedOspreyMouse.h"
#include "pages/DrawBorderWidget.h"
#include "pages/DrawDialog.h"
#include "pages/MoveSlider.h"
#include "support/PageInput.h"
#include "support/WindowRig.h"

#include <QPushButton>
#include <QtTest>
#include <memory>

namespace {

// A stroke along canvas row 31 from x 30 to 150: screen row 10, columns 10 to 50.
const QVector<QPoint> kStroke = {{30, 31}, {70, 31}, {110, 31}, {150, 31}};
constexpr int kRow = 10;
constexpr int kFirstColumn = 10;
constexpr int kLastColumn = 50;

// First family: picture 0 at 4096 * 34, 64 columns a page of eight rows, row
// page * 8 + k in bit k. The screen word, the behaviour byte and the
// brightness byte of bank 1.
constexpr quint32 kKestrelPicture = 4096 * 34;
constexpr quint32 kKestrelScreenWord = 2208;
constexpr quint32 kKestrelBehaviour = 1024 + 1196;
constexpr quint32 kKestrelBrightness = 1024 + 1180;

// Second family: a 128 x 32 picture, 128 columns a page, the top row of a
// page in the high bit, written twice into the screen block; the screen
// mode and brightness bytes of the profile.
constexpr int kOspreyModeAt = 253;
constexpr int kOspreyBrightnessAt = 254;

QByteArray expectedKestrelPicture()
{
    QByteArray bytes(384, '\0');
    for (int x = kFirstColumn; x <= kLastColumn; ++x)
        bytes[(kRow / 8) * 64 + x] = char(1 << (kRow % 8));
    return bytes;
}

QByteArray expectedOspreyBlock()
{
    QByteArray bytes(512, '\0');
    for (int x = kFirstColumn; x <= kLastColumn; ++x)
        bytes[(kRow / 8) * 128 + x] = char(0x80 >> (kRow % 8));
    return bytes + bytes;
}

} // namespace

class TestDrawFlow : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<WindowRig> m_rig;
    std::shared_ptr<EmulatedKestrelMouse> m_kestrel;
    std::shared_ptr<EmulatedOspreyMouse> m_osprey;

    DrawDialog *dialog() const { return m_rig->window->findChild<DrawDialog *>(); }

    bool plugAndOpen(const QString &model)
    {
        if (model == QLatin1String("osprey")) {
            m_osprey = std::make_shared<EmulatedOspreyMouse>(model);
            return m_rig->plugAndOpen(m_osprey);
        }
        m_kestrel = std::make_shared<EmulatedKestrelMouse>(model);
        return m_rig->plugAndOpen(m_kestrel);
    }

    // The screen button of the settings page, as the user presses it.
    DrawDialog *openEditor()
    {
        clickNamed(m_rig->page(), "DrawButton");
        DrawDialog *d = dialog();
        if (d && !d->isVisible())
            return nullptr;
        return d;
    }

    QByteArray screen() const { return m_osprey ? m_osprey->screenBlock() : m_kestrel->memory(kKestrelPicture, 384); }
    int screenMode() const
    {
        return m_osprey ? quint8(m_osprey->profile().at(kOspreyModeAt))
                        : quint8(m_kestrel->memory(kKestrelBehaviour, 1).at(0));
    }
    int brightness() const
    {
        return m_osprey ? quint8(m_osprey->profile().at(kOspreyBrightnessAt))
                        : quint8(m_kestrel->memory(kKestrelBrightness, 1).at(0));
    }

private slots:
    void init() { m_rig = std::make_unique<WindowRig>(); }

    void cleanup()
    {
        m_rig.reset();
        m_kestrel.reset();
        m_osprey.reset();
    }

    void drawingAndScreenSettingsReachTheMouse_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QSize>("canvasSize");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<int>("pictureMode"); // the behaviour as the mouse keeps it
        QTest::addColumn<int>("apmMode");
        QTest::newRow("first family (Kestrel, 64 x 48)")
            << "kestrel" << QSize(192, 144) << expectedKestrelPicture() << 8 << 2;
        QTest::newRow("type 3 (Osprey, 128 x 32)") << "osprey" << QSize(384, 96) << expectedOspreyBlock() << 7 << 4;
    }

    void drawingAndScreenSettingsReachTheMouse()
    {
        QFETCH(QString, model);
        QFETCH(QSize, canvasSize);
        QFETCH(QByteArray, expected);
        QFETCH(int, pictureMode);
        QFETCH(int, apmMode);
        QVERIFY(plugAndOpen(model));

        DrawDialog *editor = openEditor();
        QVERIFY(editor);
        QCOMPARE(editor->canvas()->size(), canvasSize);
        QVERIFY(screen() != expected);
        clickNamed(editor, "Brush_Button");
        dragThrough(editor->canvas(), kStroke);
        clickNamed(editor, "DrawOkButton");
        QTRY_COMPARE_WITH_TIMEOUT(screen(), expected, WindowRig::kWaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(screenMode(), pictureMode, WindowRig::kWaitMs);
        if (m_kestrel)
            QCOMPARE(quint8(m_kestrel->memory(kKestrelScreenWord, 1).at(0)), quint8(8));

        editor = openEditor();
        QVERIFY(editor);
        clickNamed(editor, "ShowApmButton");
        QTRY_COMPARE_WITH_TIMEOUT(screenMode(), apmMode, WindowRig::kWaitMs);

        editor = openEditor();
        QVERIFY(editor);
        auto *slider = editor->findChild<MoveSlider *>(QStringLiteral("LightSlider"));
        QTest::mouseClick(slider, Qt::LeftButton, Qt::NoModifier, QPoint(0, slider->height() / 2));
        QTRY_COMPARE_WITH_TIMEOUT(brightness(), 5, WindowRig::kWaitMs);
    }
};

QTEST_MAIN(TestDrawFlow)
#include "tst_drawflow.moc"
