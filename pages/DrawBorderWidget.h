#pragma once
#include <QFont>
#include <QImage>
#include <QList>
#include <QPolygon>
#include <QWidget>

class QLineEdit;

// The drawing surface of the screen editor. It shows the mouse's screen
// picture three times enlarged, exactly as the screen will light it: one
// colour on the other, no greys. Brush strokes, a line of text and a
// background picture make up the drawing.
class DrawBorderWidget : public QWidget
{
    Q_OBJECT
public:
    // Widget pixels per picture pixel.
    static constexpr int Scale = 3;

    explicit DrawBorderWidget(QWidget *parent = nullptr);

    // Canvas size in widget pixels; the picture is a third of it each way.
    void setCanvasSize(int width, int height);
    QSize pictureSize() const { return m_pictureSize; }

    // Brush and text mode exclude each other: turning one on turns the other off.
    void setBrushMode(bool on);
    bool isBrushMode() const { return m_brushMode; }
    void setTextMode(bool on);
    bool isTextMode() const { return m_textMode; }

    // On: white strokes and text on black, the screen's own look; off: black on white.
    void setInvertedBackground(bool on);
    bool isInvertedBackground() const { return m_inverted; }

    // The text's typeface and its height in widget pixels (a multiple of 3).
    void setTextFont(const QFont &font);
    void setTextSize(int pixels);
    QLineEdit *textField() const { return m_textField; }
    QString text() const;
    // Top left of the text in widget pixels, where it sits once placed.
    QPoint textPosition() const { return m_textPos; }
    bool isTextFollowingPointer() const { return m_following; }

    // A picture of any size and format Qt reads, scaled over the whole
    // picture. False, nothing changed and the reason logged, when the file
    // does not load.
    bool setBackgroundPicture(const QString &path);
    bool hasBackgroundPicture() const { return !m_background.isNull(); }

    // Removes the last stroke; nothing when there is none.
    void undo();
    // Clears the text, every stroke and the background picture; the text goes back to the top left.
    void erase();
    int strokeCount() const { return m_strokes.size(); }
    // No background picture, no stroke and no visible text: nothing to send.
    bool isEmpty() const;

    // Leaves text mode with the text where it is shown, no longer following the pointer.
    void fixText();

    // The picture the screen will show, at picture size, pure black and white.
    QImage picture() const;
    // Grabs the canvas as shown and reduces it to the picture size: a pixel is
    // lit where most of its three-by-three block is.
    QImage grabPicture();

signals:
    // The drawing changed (a stroke ended, undo, eraser, text, background).
    void sig_DrawImage(QImage image);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    QColor foreground() const;
    QColor background() const;
    QFont pictureFont() const;
    QFont fieldFont() const;
    void updateTextStyle();
    void placeTextField();
    QSize textSize() const;
    void prepareBackground();
    void changed();

    QSize m_pictureSize;
    QList<QPolygon> m_strokes; // widget pixels, drawn in order
    bool m_drawing = false;
    bool m_brushMode = false;
    bool m_textMode = false;
    bool m_inverted = true;
    QLineEdit *m_textField = nullptr;
    QFont m_font;
    int m_textPixels = 66;
    QPoint m_textPos;
    // While neither mode is on, the text follows the pointer over the canvas
    // until a click sets it down; m_hoverPos is where it is shown meanwhile.
    bool m_following = false;
    bool m_hovering = false;
    QPoint m_hoverPos;
    QImage m_background;        // as loaded, at most the read limit
    QImage m_backgroundPicture; // scaled to the picture and made black and white
};
