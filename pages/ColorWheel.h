#pragma once
#include <QImage>
#include <QWidget>

// The round colour picker of the lighting page: hue around the circle,
// white at the centre. A click inside the circle picks the colour of the
// wheel's own image under the pointer; the screen is never read, so the
// pick is the same on every desktop and under any capture rule.
class ColorWheel : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kSize = 138;
    static constexpr int kRadius = 69;

    explicit ColorWheel(QWidget *parent = nullptr);

    // The wheel as drawn; a pick reads its pixel.
    const QImage &image() const { return m_image; }

    // Marks where a colour sits on the wheel (its hue and saturation; the
    // wheel shows full brightness only). An invalid colour removes the mark.
    void setColor(const QColor &colour);
    // The centre of the mark; null without one.
    QPoint markerPosition() const { return m_marker; }

signals:
    void redValue(int red);
    void greenValue(int green);
    void blueValue(int blue);
    void sigColor(int red, int green, int blue);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QImage m_image;
    QPoint m_marker;
    bool m_hasMarker = false;
};
