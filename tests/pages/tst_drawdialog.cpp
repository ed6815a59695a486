// The screen editor driven as a user drives it, offscreen: strokes drawn
// with the pointer, text typed and set down, the background switched, a
// background picture taken or refused, undo and eraser, OK, the screen-mode
// buttons and the brightness slider; what it saves and what it asks of the
// mouse.
#include "pages/DrawBorderWidget.h"
#include "pages/DrawDialog.h"
#include "pages/MoveSlider.h"
#include "store/JsonHandle.h"
#include "store/TextTable.h"
#include "support/PageInput.h"
#include "support/TempAppFolder.h"

#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QtTest>

namespace {

using Points = QVector<QPoint>;

// A stroke along canvas row 31 from x 30 to 150: picture row 10, columns 10 to 50.
const Points kRow10 = {{30, 31}, {60, 31}, {90, 31}, {120, 31}, {150, 31}};
const Points kRow20 = {{30, 61}, {150, 61}};

// The lit (white) pixels of a picture, row by row.
Points litPixels(const QImage &image)
{
    Points lit;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == qRgb(255, 255, 255))
                lit << QPoint(x, y);
    return lit;
}

Points row(int y, int fromX, int toX)
{
    Points points;
    for (int x = fromX; x <= toX; ++x)
        points << QPoint(x, y);
    return points;
}

// Every pixel pure black or white, as the screen shows it.
bool isBlackAndWhite(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(0, 0, 0) && image.pixel(x, y) != qRgb(255, 255, 255))
                return false;
    return true;
}

// The headers of a 24-bit BMP file of the given size, without its pixels.
QByteArray bmpHeader(qint32 width, qint32 height)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("BM", 2);
    out << quint32(54) << quint32(0) << quint32(54);                    // file size, reserved, pixel offset
    out << quint32(40) << width << height << quint16(1) << quint16(24); // info header: size, planes, bits
    out << quint32(0) << quint32(0) << qint32(2835) << qint32(2835) << quint32(0) << quint32(0);
    return bytes;
}

} // namespace

class TestDrawDialog : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempAppFolder> m_folder;
    std::unique_ptr<DrawDialog> m_dialog;
    std::unique_ptr<QSignalSpy> m_pictures;
    std::unique_ptr<QSignalSpy> m_modes;
    std::unique_ptr<QSignalSpy> m_brightness;

    DrawBorderWidget *canvas() const { return m_dialog->canvas(); }
    void open(int mouseType, int configNumber = 2)
    {
        m_dialog->initDrawDialog(mouseType, configNumber);
        m_dialog->show();
    }
    void click(const char *name) { clickNamed(m_dialog.get(), name); }
    QStringList picturesSent() const
    {
        QStringList sent;
        for (const QList<QVariant> &args : *m_pictures)
            sent << args.at(0).toString();
        return sent;
    }
    QString picturePath(int mouseType, int configNumber = 2) const
    {
        return JsonHandle::currentPicturePath(mouseType, configNumber);
    }

private slots:
    void initTestCase()
    {
        TextTable::loadTextTable(QStringLiteral(HARRIER_SOURCE_DIR "/resources/translate.json"),
                                 TextTable::kEnglishSlot);
    }

    void init()
    {
        m_folder = std::make_unique<TempAppFolder>();
        m_dialog = std::make_unique<DrawDialog>();
        m_pictures = std::make_unique<QSignalSpy>(m_dialog.get(), &DrawDialog::sig_SetImageOnMouse);
        m_modes = std::make_unique<QSignalSpy>(m_dialog.get(), &DrawDialog::sig_OLEDScreenParameter);
        m_brightness = std::make_unique<QSignalSpy>(m_dialog.get(), &DrawDialog::sig_OLEDScreenLightIntensity);
    }

    void cleanup()
    {
        m_pictures.reset();
        m_modes.reset();
        m_brightness.reset();
        m_dialog.reset();
        m_folder.reset();
    }

    void okSavesTheStrokeAtTheScreensSize_data()
    {
        QTest::addColumn<int>("mouseType");
        QTest::addColumn<QSize>("canvasSize");
        QTest::addColumn<QSize>("pictureSize");
        QTest::newRow("type 3: a wide screen") << 3 << QSize(384, 96) << QSize(128, 32);
        QTest::newRow("type 10") << 10 << QSize(192, 144) << QSize(64, 48);
        QTest::newRow("type 11") << 11 << QSize(192, 144) << QSize(64, 48);
    }

    void okSavesTheStrokeAtTheScreensSize()
    {
        QFETCH(int, mouseType);
        QFETCH(QSize, canvasSize);
        QFETCH(QSize, pictureSize);
        open(mouseType);
        QCOMPARE(canvas()->size(), canvasSize);
        click("Brush_Button");
        dragThrough(canvas(), kRow10);
        click("DrawOkButton");

        QCOMPARE(picturesSent(), QStringList{"2"});
        QVERIFY(!m_dialog->isVisible());
        const QImage saved(picturePath(mouseType), "BMP");
        QCOMPARE(saved.size(), pictureSize);
        QVERIFY(isBlackAndWhite(saved));
        // White strokes on black: exactly the stroke's pixels are lit.
        QCOMPARE(litPixels(saved), row(10, 10, 50));
    }

    void undoAndEraser()
    {
        open(11);
        // Undo with nothing drawn does nothing.
        click("Recall_Button");
        QCOMPARE(canvas()->strokeCount(), 0);
        QVERIFY(litPixels(canvas()->picture()).isEmpty());

        click("Brush_Button");
        dragThrough(canvas(), kRow10);
        dragThrough(canvas(), kRow20);
        click("Recall_Button");
        QCOMPARE(litPixels(canvas()->picture()), row(10, 10, 50));

        // The eraser takes strokes, text and background: OK then asks for no picture, and saves nothing.
        click("TextEditButton");
        QTest::keyClicks(canvas()->textField(), QStringLiteral("GG"));
        QImage white(20, 20, QImage::Format_RGB32);
        white.fill(Qt::white);
        const QString picture = m_folder->filePath(QStringLiteral("white.png"));
        QVERIFY(white.save(picture));
        QVERIFY(m_dialog->loadBackgroundPicture(picture));
        click("Erase_Button");
        QVERIFY(canvas()->isEmpty());
        QCOMPARE(canvas()->textPosition(), QPoint(0, 0));
        click("DrawOkButton");
        QCOMPARE(picturesSent(), QStringList{"0"});
        QVERIFY(!QFile::exists(picturePath(11)));
        QVERIFY(!m_dialog->isVisible());
    }

    void textIsSetDownWhereTheUserClicks()
    {
        open(10);
        click("TextEditButton");
        QVERIFY(canvas()->textField()->isVisible());
        QTest::keyClicks(canvas()->textField(), QStringLiteral("HI"));
        // In text mode the field shows the text, the picture does not yet.
        QVERIFY(litPixels(canvas()->picture()).isEmpty());
        // Return ends the typing; it leaves the dialog open.
        QTest::keyClick(canvas()->textField(), Qt::Key_Return);
        QVERIFY(m_dialog->isVisible());
        QVERIFY(!canvas()->isTextMode());
        QVERIFY(!canvas()->textField()->isVisible());
        QVERIFY(canvas()->isTextFollowingPointer());
        // The focus stays on the canvas: passed on, it would mark a button as if chosen.
        QCOMPARE(m_dialog->focusWidget(), canvas());

        // The text follows the pointer over the canvas, and stays where it is clicked.
        const QPoint centre(96, 72);
        hoverTo(canvas(), centre);
        QTest::mouseClick(canvas(), Qt::LeftButton, Qt::NoModifier, centre);
        QVERIFY(!canvas()->isTextFollowingPointer());
        hoverTo(canvas(), QPoint(5, 5));
        const Points lit = litPixels(canvas()->picture());
        QVERIFY(lit.size() > 20);
        const QRect around(QPoint(32, 24) - QPoint(16, 10), QSize(32, 20));
        for (const QPoint &p : lit)
            QVERIFY2(around.contains(p), qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));

        // A larger size lights more; "switch background" gives a lit background with dark text.
        m_dialog->findChild<QSpinBox *>(QStringLiteral("spinBox"))->setValue(99);
        QVERIFY(litPixels(canvas()->picture()).size() > lit.size());
        click("ChangeBackground_CheckBox");
        QVERIFY(!canvas()->isInvertedBackground());
        QVERIFY(canvas()->textField()->styleSheet().contains(QStringLiteral("color:black;")));
        const int width = canvas()->pictureSize().width();
        const int height = canvas()->pictureSize().height();
        QVERIFY(litPixels(canvas()->picture()).size() > width * height / 2);

        click("DrawOkButton");
        QCOMPARE(picturesSent(), QStringList{"2"});
        QCOMPARE(QImage(picturePath(10), "BMP"), canvas()->picture());
    }

    void backgroundPictureIsScaledAndComesBack()
    {
        // A picture of another size and format: left half white.
        QImage photo(300, 200, QImage::Format_RGB32);
        photo.fill(Qt::black);
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 150; ++x)
                photo.setPixel(x, y, qRgb(255, 255, 255));
        const QString path = m_folder->filePath(QStringLiteral("photo.jpg"));
        QVERIFY(photo.save(path, "JPG", 100));
        open(10);
        QVERIFY(m_dialog->loadBackgroundPicture(path));
        QVERIFY(m_dialog->message().isEmpty());
        click("DrawOkButton");
        QCOMPARE(picturesSent(), QStringList{"2"});
        const QImage saved(picturePath(10), "BMP");
        QCOMPARE(saved.size(), QSize(64, 48));
        QCOMPARE(saved.pixel(5, 24), qRgb(255, 255, 255));
        QCOMPARE(saved.pixel(58, 24), qRgb(0, 0, 0));

        // Opened again, the saved picture is the background to go on from.
        open(10);
        QVERIFY(!canvas()->isEmpty());
        QCOMPARE(canvas()->picture(), saved);
    }

    void aPictureThatDoesNotLoadIsRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("name");
        QTest::newRow("not a picture") << QByteArray("this is no picture") << "notes.png";
        QTest::newRow("missing") << QByteArray() << "gone.bmp";
        // A BMP header claiming 10000 x 10000 pixels (400 MB decoded): refused before it is decoded.
        QTest::newRow("too large to decode") << bmpHeader(10000, 10000) << "huge.bmp";
    }

    void aPictureThatDoesNotLoadIsRefused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, name);
        const QString path = m_folder->filePath(name);
        if (!bytes.isEmpty()) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        }
        open(11);
        QVERIFY(!m_dialog->loadBackgroundPicture(path));
        QVERIFY(m_dialog->message().contains(name));
        QVERIFY(!canvas()->hasBackgroundPicture());
        // Nothing of it is sent: the canvas is still empty.
        click("DrawOkButton");
        QCOMPARE(picturesSent(), QStringList{"0"});
    }

    void aPictureThatCannotBeSavedIsNotSent()
    {
        open(11);
        // The picture's place is taken by a folder: the save fails.
        QVERIFY(QDir().mkpath(picturePath(11)));
        click("Brush_Button");
        dragThrough(canvas(), kRow10);
        click("DrawOkButton");
        QVERIFY(m_pictures->isEmpty());
        QVERIFY(m_dialog->isVisible());
        QVERIFY(!m_dialog->message().isEmpty());
    }

    void buttonsThatLeave_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("behaviour"); // 0: none sent
        QTest::newRow("show CPI") << "ShowCpiValueButton" << 1;
        QTest::newRow("show APM") << "ShowApmButton" << 2;
        QTest::newRow("screen off") << "CloseOLEDScreenButton" << 3;
        QTest::newRow("cancel") << "DrawCancleButton" << 0;
        QTest::newRow("close") << "closeButton" << 0;
    }

    void buttonsThatLeave()
    {
        QFETCH(QString, button);
        QFETCH(int, behaviour);
        open(11);
        click("Brush_Button");
        dragThrough(canvas(), kRow10);
        click(qPrintable(button));
        QVERIFY(!m_dialog->isVisible());
        QVERIFY(m_pictures->isEmpty());
        QVERIFY(!QFile::exists(picturePath(11)));
        QCOMPARE(m_modes->size(), behaviour ? 1 : 0);
        if (behaviour)
            QCOMPARE(m_modes->first().at(0).toInt(), behaviour);
    }

    void brightnessIsSentWhenLetGo()
    {
        open(3);
        auto *slider = m_dialog->findChild<MoveSlider *>(QStringLiteral("LightSlider"));
        QVERIFY(slider);
        const int y = slider->height() / 2;
        QTest::mouseClick(slider, Qt::LeftButton, Qt::NoModifier, QPoint(0, y));
        QTest::mouseClick(slider, Qt::LeftButton, Qt::NoModifier, QPoint(slider->width() - 1, y));
        QCOMPARE(m_brightness->size(), 2);
        QCOMPARE(m_brightness->at(0).at(0).toInt(), 5);
        QVERIFY(m_brightness->at(1).at(0).toInt() >= 99);
        QVERIFY(m_dialog->isVisible());
    }
};

QTEST_MAIN(TestDrawDialog)
#include "tst_drawdialog.moc"
