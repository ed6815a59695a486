#pragma once
#include <QRect>

class QLabel;
class QWidget;

// The pieces the settings pages are laid out from: cards at fixed places on
// the page, with headings, labels and help lines from the text table.
namespace PageCards {

// A card: a panel at a fixed place of its page.
QWidget *card(QWidget *parent, const QRect &geometry, const char *objectName = nullptr);
// A label showing a text of the text table.
QLabel *label(QWidget *parent, int text, const QRect &geometry, const char *objectName = nullptr);
// A card's heading.
QLabel *title(QWidget *parent, int text, const QRect &geometry);
// A card's line of help, wrapped, from the top left.
QLabel *note(QWidget *parent, int text, const QRect &geometry, const char *objectName = nullptr);

} // namespace PageCards
