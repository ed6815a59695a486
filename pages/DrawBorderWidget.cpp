#include "pages/DrawBorderWidget.h"

#include "store/TextTable.h"

#include "store/SafeFile.h"

#include <QBuffer>
#include <QDebug>
#include <QImageReader>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace {

// A background the user picks may be a photo, but not one without bound:
// the file is read whole, and the header's size is checked before decoding.
constexpr qint64 kMaxPictureFileBytes = 32 * 1024 * 1024;
constexpr int kMaxPictureSide = 8192;

// A canvas point in picture pixels (the canvas may report points left of or above it).
QPoint toPicture(const QPoint &p)
{
    return QPoint(int(std::floor(p.x() / double(DrawBorderWidget::Scale))),
                  int(std::floor(p.y() / double(DrawBorderWidget::Scale))));
}

bool isLit(QRgb pixel)
{
    return qGray(pixel) >= 128;
}

} // namespace

DrawBorderWidget::DrawBorderWidget(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("DrawBorderWidget"));
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
    m_textField = new QLineEdit(this);
    m_textField->setAccessibleName(TextTable::text(TextTable::TextDrawText));
    m_textField->setObjectName(QStringLiteral("DrawTextLineEdit"));
    m_textField->setFrame(false);
    m_textField->hide();
    m_textField->setEnabled(false);
    connect(m_textField, &QLineEdit::textChanged, this, [this] {
        placeTextField();
        changed();
    });
    updateTextStyle();
    setCanvasSize(192, 144);
}

void DrawBorderWidget::setCanvasSize(int width, int height)
{
    setFixedSize(width, height);
    m_pictureSize = QSize(width / Scale, height / Scale);
    prepareBackground();
    placeTextField();
    update();
}

// ---- modes

void DrawBorderWidget::setBrushMode(bool on)
{
    if (on && m_textMode)
        setTextMode(false);
    m_brushMode = on;
    m_drawing = false;
}

void DrawBorderWidget::setTextMode(bool on)
{
    if (on && m_brushMode)
        setBrushMode(false);
    if (on == m_textMode)
        return;
    m_textMode = on;
    if (on) {
        // The field takes over at the place the text is shown.
        if (m_following && m_hovering)
            m_textPos = m_hoverPos;
        m_following = false;
        placeTextField();
        m_textField->setEnabled(true);
        m_textField->show();
        m_textField->setFocus();
    } else {
        // The canvas keeps the focus the text had: hidden, the field would
        // pass it on to whichever button comes next, which then looks chosen.
        if (window()->focusWidget() == m_textField)
            setFocus(Qt::OtherFocusReason);
        m_textField->hide();
        m_textField->setEnabled(false);
        // Set down by a click, until then it follows the pointer.
        m_following = !text().isEmpty();
    }
    changed();
}

void DrawBorderWidget::fixText()
{
    setTextMode(false);
    m_following = false;
    m_hovering = false;
    update();
}

void DrawBorderWidget::setInvertedBackground(bool on)
{
    m_inverted = on;
    updateTextStyle();
    prepareBackground();
    changed();
}

QColor DrawBorderWidget::foreground() const
{
    return m_inverted ? Qt::white : Qt::black;
}

QColor DrawBorderWidget::background() const
{
    return m_inverted ? Qt::black : Qt::white;
}

// ---- text

QString DrawBorderWidget::text() const
{
    return m_textField->text();
}

void DrawBorderWidget::setTextFont(const QFont &font)
{
    m_font = font;
    updateTextStyle();
    changed();
}

void DrawBorderWidget::setTextSize(int pixels)
{
    m_textPixels = qMax(Scale, pixels);
    updateTextStyle();
    changed();
}

// The screen has no greys: the text is drawn without smoothing, as it will be lit.
QFont DrawBorderWidget::fieldFont() const
{
    QFont font = m_font;
    font.setPixelSize(m_textPixels);
    font.setBold(true);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

QFont DrawBorderWidget::pictureFont() const
{
    QFont font = fieldFont();
    font.setPixelSize(qMax(1, m_textPixels / Scale));
    return font;
}

void DrawBorderWidget::updateTextStyle()
{
    // Qt 5 style sheets read a numeric weight on the CSS scale (99 would be
    // hairline), so the bold the text is drawn with is named.
    m_textField->setStyleSheet(QStringLiteral("QLineEdit{border:none;background:transparent;font-weight:bold;")
                               + QStringLiteral("font-size:") + QString::number(m_textPixels) + QStringLiteral("px;")
                               + (m_inverted ? QStringLiteral("color:white;") : QStringLiteral("color:black;"))
                               + QStringLiteral("}"));
    m_textField->setFont(fieldFont());
    placeTextField();
}

QSize DrawBorderWidget::textSize() const
{
    return QFontMetrics(fieldFont()).size(Qt::TextSingleLine, text());
}

void DrawBorderWidget::placeTextField()
{
    // The field's text starts where the picture's does: past its two-pixel margin.
    const int height = QFontMetrics(fieldFont()).height() + 4;
    m_textField->setGeometry(m_textPos.x() - 2, m_textPos.y() - 2, qMax(width() - m_textPos.x() + 2, 40), height);
}

// ---- background picture

bool DrawBorderWidget::setBackgroundPicture(const QString &path)
{
    QByteArray bytes;
    bool tooLarge = false;
    if (!SafeFile::readAll(path, &bytes, &tooLarge, kMaxPictureFileBytes)) {
        qWarning() << "background picture refused:" << path << (tooLarge ? "too large" : "not readable");
        return false;
    }
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > kMaxPictureSide || size.height() > kMaxPictureSide)) {
        qWarning() << "background picture refused:" << path << size;
        return false;
    }
    QImage decoded;
    if (!reader.read(&decoded) || decoded.isNull()) {
        qWarning() << "background picture refused:" << path << reader.errorString();
        return false;
    }
    m_background = decoded;
    prepareBackground();
    changed();
    return true;
}

void DrawBorderWidget::prepareBackground()
{
    if (m_background.isNull() || m_pictureSize.isEmpty()) {
        m_backgroundPicture = QImage();
        return;
    }
    // Scaled down by area, laid on the background colour (for transparent
    // pictures), then dithered to the two colours the screen has.
    QImage base(m_pictureSize, QImage::Format_RGB32);
    base.fill(background());
    QPainter p(&base);
    p.drawImage(0, 0, m_background.scaled(m_pictureSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    p.end();
    m_backgroundPicture = base.convertToFormat(QImage::Format_Mono, Qt::MonoOnly | Qt::DiffuseDither)
                              .convertToFormat(QImage::Format_RGB32);
}

// ---- strokes

void DrawBorderWidget::undo()
{
    if (m_strokes.isEmpty())
        return;
    m_strokes.removeLast();
    changed();
}

void DrawBorderWidget::erase()
{
    m_strokes.clear();
    m_drawing = false;
    m_background = QImage();
    m_backgroundPicture = QImage();
    m_textField->blockSignals(true);
    m_textField->clear();
    m_textField->blockSignals(false);
    m_textPos = QPoint(0, 0);
    m_following = false;
    m_hovering = false;
    placeTextField();
    changed();
}

bool DrawBorderWidget::isEmpty() const
{
    return m_background.isNull() && m_strokes.isEmpty() && text().trimmed().isEmpty();
}

void DrawBorderWidget::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    if (m_brushMode) {
        m_strokes.append(QPolygon(QVector<QPoint>{event->pos()}));
        m_drawing = true;
        update();
    } else if (m_textMode) {
        // A click beside the field moves it there.
        m_textPos = event->pos();
        placeTextField();
        m_textField->setFocus();
    } else if (m_following) {
        m_textPos = event->pos() - QPoint(textSize().width() / 2, textSize().height() / 2);
        m_following = false;
        m_hovering = false;
        placeTextField();
        changed();
    }
    event->accept();
}

void DrawBorderWidget::mouseMoveEvent(QMouseEvent *event)
{
    if (m_drawing) {
        m_strokes.last().append(event->pos());
        update();
    } else if (m_following && !m_brushMode && !m_textMode) {
        m_hoverPos = event->pos() - QPoint(textSize().width() / 2, textSize().height() / 2);
        m_hovering = true;
        update();
    }
}

void DrawBorderWidget::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_drawing) {
        m_drawing = false;
        changed();
    }
}

void DrawBorderWidget::leaveEvent(QEvent *event)
{
    // The pointer went elsewhere: the text shows where it was last set down.
    if (m_hovering) {
        m_hovering = false;
        update();
    }
    QWidget::leaveEvent(event);
}

// ---- the picture

QImage DrawBorderWidget::picture() const
{
    QImage image(m_pictureSize, QImage::Format_RGB32);
    image.fill(background());
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    if (!m_backgroundPicture.isNull())
        p.drawImage(0, 0, m_backgroundPicture);
    p.setPen(QPen(foreground(), 1));
    for (const QPolygon &stroke : m_strokes) {
        if (stroke.size() == 1)
            p.drawPoint(toPicture(stroke.first())); // a click is a dot
        for (int i = 1; i < stroke.size(); ++i)
            p.drawLine(toPicture(stroke.at(i - 1)), toPicture(stroke.at(i)));
    }
    // While the field is open it shows the text itself.
    if (!m_textMode && !text().isEmpty()) {
        const QPoint at = toPicture(m_following && m_hovering ? m_hoverPos : m_textPos);
        p.setFont(pictureFont());
        p.drawText(QRect(at, m_pictureSize * 2), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text());
    }
    p.end();
    // Whatever the font engine did, the screen lights a pixel or leaves it dark.
    const QRgb lit = foreground().rgb();
    const QRgb dark = background().rgb();
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = isLit(line[x]) == isLit(lit) ? lit : dark;
    }
    return image;
}

QImage DrawBorderWidget::grabPicture()
{
    const QImage shot = grab().toImage().convertToFormat(QImage::Format_RGB32);
    QImage image(m_pictureSize, QImage::Format_RGB32);
    const int blockX = shot.width() / qMax(1, m_pictureSize.width());
    const int blockY = shot.height() / qMax(1, m_pictureSize.height());
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            int lit = 0;
            for (int dy = 0; dy < blockY; ++dy)
                for (int dx = 0; dx < blockX; ++dx)
                    lit += isLit(shot.pixel(x * blockX + dx, y * blockY + dy)) ? 1 : 0;
            image.setPixel(x, y, 2 * lit > blockX * blockY ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        }
    }
    emit sig_DrawImage(image);
    return image;
}

void DrawBorderWidget::changed()
{
    update();
    emit sig_DrawImage(picture());
}

void DrawBorderWidget::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    // Enlarged without smoothing: every picture pixel is a sharp square.
    p.drawImage(rect(), picture());
}
