#include "app/UpdateMouseDialog.h"

#include "store/TextTable.h"
#include "model/ProductTable.h"
#include "platform/AppPaths.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDebug>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
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

    // The first family's image: the shipped file by default, or one the user chose.
    m_imageRow = new QWidget(panel);
    auto *imageLabel = new QLabel(text(TextUpdateImage), m_imageRow);
    imageLabel->setObjectName(QStringLiteral("UpdateImageLabel"));
    m_imageField = new QLineEdit(m_imageRow);
    m_imageField->setObjectName(QStringLiteral("UpdateImageField"));
    m_imageField->setReadOnly(true);
    // An empty field says there is nothing stored, beside the button that chooses one.
    m_imageField->setPlaceholderText(text(TextUpdateNoStoredImage));
    // Read only, but Tab reaches it, so the path can be read out or copied.
    m_imageField->setFocusPolicy(Qt::TabFocus);
    m_chooseButton = new QPushButton(text(TextUpdateChooseImage), m_imageRow);
    m_chooseButton->setObjectName(QStringLiteral("ChooseImageButton"));
    m_chooseButton->setCursor(Qt::PointingHandCursor);
    m_chooseButton->setMinimumHeight(30);
    auto *imageLayout = new QHBoxLayout(m_imageRow);
    imageLayout->setContentsMargins(0, 0, 0, 0);
    imageLayout->setSpacing(8);
    imageLayout->addWidget(imageLabel);
    imageLayout->addWidget(m_imageField, 1);
    imageLayout->addWidget(m_chooseButton);

    m_statusLabel = new QLabel(panel);
    m_statusLabel->setObjectName(QStringLiteral("UpdateStatusLabel"));
    m_statusLabel->setWordWrap(true);
    m_statusLabel->setTextFormat(Qt::PlainText);
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
    layout->addSpacing(6);
    layout->addWidget(m_imageRow);
    layout->addStretch();
    layout->addWidget(m_statusLabel);
    layout->addWidget(m_progress);
    layout->addLayout(buttons);

    auto *outer = new QVBoxLayout(this);
    outer->addWidget(panel, 0, Qt::AlignCenter);

    connect(m_startButton, &QPushButton::clicked, this, &UpdateMouseDialog::startUpdate);
    connect(m_closeButton, &QPushButton::clicked, this, &UpdateMouseDialog::on_CloseButton_clicked);
    connect(m_chooseButton, &QPushButton::clicked, this, &UpdateMouseDialog::chooseImage);
    connect(m_models, &QButtonGroup::idClicked, this, &UpdateMouseDialog::modelChanged);
    modelChanged();
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
    modelChanged();
}

void UpdateMouseDialog::selectModel(int mouseType)
{
    if (QAbstractButton *tile = m_models->button(mouseType)) {
        tile->setChecked(true);
    } else if (QAbstractButton *checked = m_models->checkedButton()) {
        m_models->setExclusive(false);
        checked->setChecked(false);
        m_models->setExclusive(true);
    }
    modelChanged();
}

void UpdateMouseDialog::setImagePath(const QString &path)
{
    m_imagePath = path;
    m_imageField->setText(QDir::toNativeSeparators(path));
    m_imageField->setToolTip(m_imageField->text());
    m_imageField->setCursorPosition(m_imageField->text().size());
}

void UpdateMouseDialog::modelChanged()
{
    using namespace TextTable;
    const ProductInfo *product = Products::byType(selectedModel());
    const bool sentByUs = product && product->family == Family::First;
    m_imageRow->setVisible(sentByUs);
    QString image;
    if (sentByUs) {
        const QString shipped = firmwareFolder(m_local, product->mouseType) + QStringLiteral("/Nuc123.bin");
        if (QFileInfo(shipped).isFile())
            image = shipped;
    }
    setImagePath(image);
    if (sentByUs && image.isEmpty())
        setStatus(text(TextUpdatePleaseChooseImage), false);
#ifndef Q_OS_WIN
    else if (product && !sentByUs)
        setStatus(text(TextUpdateUpdaterWindowsOnly), false);
#endif
    else
        setStatus(QString(), false);
    refresh();
}

void UpdateMouseDialog::chooseImage()
{
    using namespace TextTable;
    const ProductInfo *product = Products::byType(selectedModel());
    if (!product || m_updating)
        return;
    const QString start = m_imagePath.isEmpty() ? firmwareFolder(m_local, product->mouseType)
                                                : QFileInfo(m_imagePath).absolutePath();
    auto *dialog = new QFileDialog(this, text(TextUpdateChooseImageTitle), start);
    dialog->setObjectName(QStringLiteral("FirmwareImageFileDialog"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setNameFilters({text(TextUpdateImageFilter), QStringLiteral("*")});
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString &path) {
        setImagePath(path);
        setStatus(QString(), false);
        refresh();
    });
    dialog->open();
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
    const ProductInfo *product = Products::byType(selectedModel());
    const bool sentByUs = product && product->family == Family::First;
#ifdef Q_OS_WIN
    m_startButton->setVisible(true);
    m_startButton->setEnabled(!m_updating && product);
#else
    // The other families' updater does not run here: nothing to start.
    m_startButton->setVisible(!product || sentByUs);
    m_startButton->setEnabled(!m_updating && sentByUs && !m_imagePath.isEmpty());
#endif
    m_chooseButton->setEnabled(!m_updating);
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
        const QString path = m_imagePath;
        if (path.isEmpty()) {
            setStatus(text(TextUpdatePleaseChooseImage), true);
            return;
        }
        // Without an image the mouse would be switched to its boot loader for nothing.
        if (!QFileInfo(path).isFile()) {
            qWarning() << "UpdateMouseDialog no firmware" << path;
            setStatus(textWith(TextUpdateNoFirmware, QDir::toNativeSeparators(path)), true);
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

#ifdef Q_OS_WIN
    const QString updater = folder + QStringLiteral("/KorvanUpdataOnce.exe");
    const QUrl url = QUrl::fromLocalFile(updater); // "file:///..."
    qDebug() << "runUpdateExe " << url;
    if (QFile::exists(updater) && QDesktopServices::openUrl(url)) {
        qDebug() << "runUpdateExe ok1";
        setStatus(text(TextUpdateUpdaterStarted), false);
    } else {
        qDebug() << "runUpdateExe fail1";
        setStatus(textWith(TextUpdateUpdaterFailed, updater), true);
    }
#else
    // The updater is the vendor's Windows program: say so, start nothing.
    setStatus(text(TextUpdateUpdaterWindowsOnly), false);
#endif
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

void UpdateMouseDialog::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Keys go to the view at once, so Escape closes it without a click first.
    if (m_startButton->isVisible() && m_startButton->isEnabled())
        m_startButton->setFocus();
    else
        m_closeButton->setFocus();
}

void UpdateMouseDialog::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        on_CloseButton_clicked();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void UpdateMouseDialog::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    emit sig_Closed();
}
