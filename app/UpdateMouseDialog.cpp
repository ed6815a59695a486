#include "app/UpdateMouseDialog.h"
#include "app/WarningDialog.h"

#include "store/TextTable.h"
#include "model/ProductTable.h"
#include "platform/AppPaths.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDebug>
#include <QDesktopServices>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>
#include <QVariant>

namespace {
constexpr int kTileColumns = 5;
} // namespace

UpdateMouseDialog::UpdateMouseDialog(QWidget *parent) : QWidget(parent)
{
    using namespace TextTable;
    setObjectName(QStringLiteral("UpdateMouseDialog"));
    setAttribute(Qt::WA_StyledBackground);

    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("UpdatePanel"));
    panel->setAttribute(Qt::WA_StyledBackground);
    panel->setFixedSize(680, 440);

    auto *title = new QLabel(text(TextWarningFirmwareTitle), panel);
    title->setObjectName(QStringLiteral("UpdateTitleLabel"));
    m_sourceLabel = new QLabel(panel);
    m_sourceLabel->setObjectName(QStringLiteral("UpdateSourceLabel"));
    auto *choose = new QLabel(text(TextUpdateChooseModel), panel);
    choose->setObjectName(QStringLiteral("UpdateChooseLabel"));

    m_models = new QButtonGroup(this);
    m_models->setExclusive(true);
    auto *tiles = new QGridLayout;
    tiles->setSpacing(10);
    int index = 0;
    for (const ProductInfo *p = Products::begin(); p != Products::end(); ++p, ++index) {
        auto *tile = new QPushButton(displayName(QLatin1String(p->name)), panel);
        tile->setObjectName(QStringLiteral("ModelTile_") + QLatin1String(p->name));
        tile->setProperty("modelTile", true);
        tile->setCheckable(true);
        tile->setCursor(Qt::PointingHandCursor);
        tile->setFixedHeight(40);
        m_models->addButton(tile, p->mouseType);
        tiles->addWidget(tile, index / kTileColumns, index % kTileColumns);
    }

    m_statusLabel = new QLabel(panel);
    m_statusLabel->setObjectName(QStringLiteral("UpdateStatusLabel"));
    m_statusLabel->setWordWrap(true);
    m_statusLabel->setTextFormat(Qt::AutoText);
    m_statusLabel->setOpenExternalLinks(true);
    m_progress = new QProgressBar(panel);
    m_progress->setObjectName(QStringLiteral("UpdateProgressBar"));
    m_progress->setRange(0, 100);
    m_progress->setTextVisible(true);
    m_progress->hide();

    m_startButton = new QPushButton(text(TextUpdateStart), panel);
    m_startButton->setObjectName(QStringLiteral("StartUpdateButton"));
    m_closeButton = new QPushButton(text(TextUpdateClose), panel);
    m_closeButton->setObjectName(QStringLiteral("CloseButton"));
    for (QPushButton *button : {m_startButton, m_closeButton}) {
        button->setCursor(Qt::PointingHandCursor);
        button->setMinimumSize(120, 36);
    }

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_closeButton);
    buttons->addWidget(m_startButton);
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(32, 26, 32, 26);
    layout->setSpacing(12);
    layout->addWidget(title);
    layout->addWidget(m_sourceLabel);
    layout->addSpacing(6);
    layout->addWidget(choose);
    layout->addLayout(tiles);
    layout->addStretch();
    layout->addWidget(m_statusLabel);
    layout->addWidget(m_progress);
    layout->addLayout(buttons);

    auto *outer = new QVBoxLayout(this);
    outer->addWidget(panel, 0, Qt::AlignCenter);

    connect(m_startButton, &QPushButton::clicked, this, &UpdateMouseDialog::startUpdate);
    connect(m_closeButton, &QPushButton::clicked, this, &UpdateMouseDialog::on_CloseButton_clicked);
    connect(m_models, &QButtonGroup::idClicked, this, [this] {
        setStatus(QString(), false);
        refresh();
    });
    refresh();
}

QString UpdateMouseDialog::displayName(const QString &modelName)
{
    // A variant's name is its base model's name and a suffix ("kestrel" + "eu").
    QString base;
    for (const ProductInfo *p = Products::begin(); p != Products::end(); ++p) {
        const QString other = QLatin1String(p->name);
        if (other.size() < modelName.size() && modelName.startsWith(other) && other.size() > base.size())
            base = other;
    }
    if (modelName.isEmpty())
        return modelName;
    const QString stem = base.isEmpty() ? modelName : base;
    return stem.left(1).toUpper() + stem.mid(1) + modelName.mid(stem.size()).toUpper();
}

QString UpdateMouseDialog::firmwareFolder(bool isLocalUpdateState, int mouseType)
{
    return AppPaths::dataRoot() + QStringLiteral("/Update/")
        + (isLocalUpdateState ? QStringLiteral("Local/") : QStringLiteral("Clouds/")) + Products::modelName(mouseType);
}

void UpdateMouseDialog::setChangeable(bool isChangeable)
{
    m_changeable = isChangeable;
    refresh();
}

void UpdateMouseDialog::setLocalUpdateState(bool isLocalUpdateState)
{
    m_local = isLocalUpdateState;
    refresh();
}

void UpdateMouseDialog::selectModel(int mouseType)
{
    if (QAbstractButton *tile = m_models->button(mouseType))
        tile->setChecked(true);
    refresh();
}

int UpdateMouseDialog::selectedModel() const
{
    return m_models->checkedId() > 0 ? m_models->checkedId() : 0;
}

void UpdateMouseDialog::refresh()
{
    using namespace TextTable;
    m_sourceLabel->setText(text(m_local ? TextUpdateLocalSource : TextUpdateCloudSource));
    for (QAbstractButton *tile : m_models->buttons())
        tile->setEnabled(!m_updating && (m_changeable || tile->isChecked()));
    m_startButton->setEnabled(!m_updating && selectedModel() != 0);
    m_closeButton->setEnabled(!m_updating);
}

void UpdateMouseDialog::setStatus(const QString &text, bool isError)
{
    m_statusLabel->setText(text);
    m_statusLabel->setProperty("error", isError);
    m_statusLabel->style()->unpolish(m_statusLabel);
    m_statusLabel->style()->polish(m_statusLabel);
}

void UpdateMouseDialog::startUpdate()
{
    using namespace TextTable;
    const int mouseType = selectedModel();
    const ProductInfo *product = Products::byType(mouseType);
    if (!product || m_updating)
        return;
    const QString folder = firmwareFolder(m_local, mouseType);
    const QString model = QLatin1String(product->name);

    if (product->family == Family::First) {
        const QString path = folder + QStringLiteral("/Nuc123.bin");
        // Without an image the mouse would be switched to its boot loader for nothing.
        if (!QFile::exists(path)) {
            qWarning() << "UpdateMouseDialog no firmware" << path;
            setStatus(textWith(TextUpdateNoFirmware, path), true);
            return;
        }
        m_updating = true;
        m_progress->setValue(0);
        m_progress->show();
        setStatus(text(TextUpdateRunning), false);
        refresh();
        emit sig_SendEventMessageToGA(QStringLiteral("UpdateMouseDialog"), QStringLiteral("UpdateFirmware"),
                                      model, QStringLiteral("UpdateMouseDialog"));
        emit sig_UpdateFirmwareKorvan(path, model);
        return;
    }

    const QString updater = folder + QStringLiteral("/KorvanUpdataOnce.exe");
    const QUrl url = QUrl::fromLocalFile(updater); // "file:///..."
    qDebug() << "runUpdateExe " << url;
    if (QFile::exists(updater) && QDesktopServices::openUrl(url)) {
        qDebug() << "runUpdateExe ok1";
        setStatus(text(TextUpdateUpdaterStarted), false);
    } else {
        qDebug() << "runUpdateExe fail1";
#ifdef Q_OS_WIN
        setStatus(textWith(TextUpdateUpdaterFailed, updater), true);
#else
        // The updater is the vendor's Windows program; say so and point at where it is found.
        const QString page = WarningDialog::vendorDownloadPage();
        setStatus(textWith(TextUpdateUpdaterWindowsOnly,
                           QStringLiteral("<a href=\"%1\">%1</a>").arg(page.toHtmlEscaped())),
                  true);
#endif
    }
}

void UpdateMouseDialog::slot_ProcessValue(int percent)
{
    m_progress->setValue(qBound(0, percent, 100));
}

void UpdateMouseDialog::slot_UpdateFinished()
{
    m_updating = false;
    m_progress->hide();
    setStatus(QString(), false);
    refresh();
}

void UpdateMouseDialog::slot_EnableUpdateButton()
{
    m_updating = false;
    refresh();
}

void UpdateMouseDialog::on_CloseButton_clicked()
{
    if (!m_updating)
        hide();
}

void UpdateMouseDialog::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    emit sig_Closed();
}
