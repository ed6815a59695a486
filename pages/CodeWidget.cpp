#include "pages/CodeWidget.h"

#include "store/TextTable.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

struct Step
{
    const char *picture; // below the pairing pictures
    const char *label;
    int text;
};

// The steps of each page, in the order the user follows them.
constexpr Step kBeforeSteps[] = {
    {"pair_bg1", "receiverLabel", TextTable::TextPairPlugInReceiver},
    {"pair_bg2", "closeMousePowerLabel", TextTable::TextPairSwitchMouseOff},
    {"pair_bg3", "clickMacthButtonLabel", TextTable::TextPairClickPairButton},
};
constexpr Step kWaitingSteps[] = {
    {"pair_bg4", "openMousePowerLabel", TextTable::TextPairSwitchMouseOn},
    {"pair_bg5", "pressLeftMiddleRightLabel", TextTable::TextPairPressThreeButtons},
};

// One step: its number, its picture and what to do.
QWidget *stepCard(int number, const Step &step)
{
    auto *card = new QWidget;
    card->setProperty("pairStep", true);
    auto *picture = new QLabel(card);
    picture->setObjectName(QLatin1String(step.picture));
    picture->setFixedSize(200, 150);
    // The picture comes from the window's style sheet (QLabel#pair_bg1 ...).
    picture->setProperty("pairPicture", true);
    auto *label = new QLabel(QStringLiteral("%1. %2").arg(number).arg(TextTable::text(step.text)), card);
    label->setObjectName(QLatin1String(step.label));
    label->setProperty("pairStepText", true);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setFixedWidth(220);
    auto *layout = new QVBoxLayout(card);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(14);
    layout->addWidget(picture, 0, Qt::AlignHCenter);
    layout->addWidget(label, 1, Qt::AlignHCenter | Qt::AlignTop);
    return card;
}

template <size_t N>
QWidget *stepPage(const char *name, const Step (&steps)[N], int firstNumber, const QList<QPushButton *> &buttons)
{
    auto *page = new QWidget;
    page->setObjectName(QLatin1String(name));
    auto *row = new QHBoxLayout;
    row->setSpacing(36);
    row->addStretch(1);
    for (size_t i = 0; i < N; ++i)
        row->addWidget(stepCard(firstNumber + int(i), steps[i]));
    row->addStretch(1);
    auto *buttonRow = new QHBoxLayout;
    buttonRow->setSpacing(20);
    buttonRow->addStretch(1);
    for (QPushButton *button : buttons) {
        button->setMinimumSize(150, 38);
        button->setCursor(Qt::PointingHandCursor);
        buttonRow->addWidget(button);
    }
    buttonRow->addStretch(1);
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(24, 48, 24, 36);
    layout->addLayout(row);
    layout->addStretch(1);
    layout->addLayout(buttonRow);
    return page;
}

QPushButton *button(const char *name, int text)
{
    auto *b = new QPushButton(TextTable::text(text));
    b->setObjectName(QLatin1String(name));
    return b;
}

} // namespace

CodeWidget::CodeWidget(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("CodeWidget"));
    setAttribute(Qt::WA_StyledBackground);

    m_pairButton = button("pushButton_code", TextTable::TextPairStart);
    QPushButton *stop = button("pushButton_stopCode", TextTable::TextPairLeave);
    QPushButton *stopWaiting = button("pushButton_stopCode_3", TextTable::TextPairLeaveWhileWaiting);
    connect(m_pairButton, &QPushButton::clicked, this, &CodeWidget::on_pushButton_code_clicked);
    connect(stop, &QPushButton::clicked, this, &CodeWidget::on_pushButton_stopCode_clicked);
    connect(stopWaiting, &QPushButton::clicked, this, &CodeWidget::on_pushButton_stopCode_3_clicked);

    m_stackedWidget = new QStackedWidget(this);
    m_stackedWidget->setObjectName(QStringLiteral("stackedWidget_Code"));
    m_stackedWidget->addWidget(stepPage("page_code_1", kBeforeSteps, 1, {m_pairButton, stop}));
    m_stackedWidget->addWidget(stepPage("page_code_2", kWaitingSteps, 4, {stopWaiting}));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_stackedWidget);
}

void CodeWidget::connectBridge(DCDataHandle *)
{
    // The window carries the requests and the results: it switches the
    // pages around them and shows the outcome.
}

void CodeWidget::showCodeStep(int step)
{
    m_stackedWidget->setCurrentIndex(step == 1 ? 1 : 0);
    m_pairButton->setEnabled(true);
}

int CodeWidget::codeStep() const
{
    return m_stackedWidget->currentIndex();
}

void CodeWidget::on_pushButton_code_clicked()
{
    sendEvent(QStringLiteral("StartCode"));
    // One start until the bridge answers: a second would give the receiver a new address.
    m_pairButton->setEnabled(false);
    emit sig_startCode();
}

void CodeWidget::on_pushButton_stopCode_clicked()
{
    sendEvent(QStringLiteral("StopCode"));
    emit sig_stopCode();
}

void CodeWidget::on_pushButton_stopCode_3_clicked()
{
    sendEvent(QStringLiteral("StopCode"));
    emit sig_stopCode();
}

void CodeWidget::sendEvent(const QString &action)
{
    emit sig_SendUIEventMessageToGA(QStringLiteral("CodeWidget"), action, QString(), QStringLiteral("CodeWidget"));
}
