#pragma once
#include <QTimer>
#include <QWidget>

// Covers the window while the mouse is being read or written, so no second
// change is started meanwhile. Shown only when the work takes long enough to
// notice, so quick writes do not flicker.
class LoadingDialog : public QWidget
{
    Q_OBJECT
public:
    explicit LoadingDialog(QWidget *parent);

    // True from a show request until its end, whether or not it is drawn yet.
    bool isPending() const { return m_pending; }
    // Where the spinning ring is drawn; each frame repaints this square alone.
    QRectF ringRect() const;

public slots:
    void slot_Show();
    void slot_End();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRectF panelRect() const;

    QTimer m_delay;
    QTimer m_spin;
    int m_angle = 0;
    bool m_pending = false;
};
