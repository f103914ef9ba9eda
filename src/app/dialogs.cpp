#include "app/dialogs.h"

#include <algorithm>

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include "app/captions.h"
#include "reader/rounding.h"

namespace kestrel::app {

namespace {

// The Japanese system fonts the windows were laid out with, and their free look-alikes.
QFont FixedPitchFont(double points) {  // "ＭＳ ゴシック"
    QFont font(QStringLiteral("IPAGothic"));
    font.setPointSizeF(points);
    return font;
}
QFont ProportionalFont(double points) {  // "ＭＳ Ｐゴシック"
    QFont font(QStringLiteral("IPAPGothic"));
    font.setPointSizeF(points);
    return font;
}

}  // namespace

QString ManualPath(const QString& programDir) {
    const QString beside = programDir + QStringLiteral("/help/index.htm");
    if (QFileInfo::exists(beside)) return beside;
    const QString shared = QDir::cleanPath(
        programDir + QStringLiteral("/" KESTREL_DATA_FROM_BIN "/kestrel/help/index.htm"));
    return QFileInfo::exists(shared) ? shared : beside;
}

TwipsForm::TwipsForm(double twipsPerPixel, double clientWidth, double clientHeight)
    : QWidget(nullptr, Qt::Dialog), twipsPerPixel_(twipsPerPixel) {
    // Each window is unloaded when it closes; the next use builds it afresh.
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(QIcon(QStringLiteral(":/kestrel.png")));
    setFixedSize(Px(clientWidth), Px(clientHeight));
}

void TwipsForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

int TwipsForm::Px(double twips) const { return reader::TwipsToPixels(twips, twipsPerPixel_); }

void TwipsForm::Place(QWidget* control, double left, double top, double width,
                      double height) const {
    control->setGeometry(Px(left), Px(top), Px(width), Px(height));
}

OptionForm::OptionForm(view::DisplaySettings& settings, double twipsPerPixel)
    : TwipsForm(twipsPerPixel, 4725, 3600), settings_(settings) {
    setObjectName(QStringLiteral("OptionForm"));
    setWindowTitle(QString::fromUtf8(OptionFormCaption));

    auto* optionFrame =
        Add<QGroupBox>(this, "OptionFrame", OptionFrameCaption, 135, 60, 4455, 1335);
    Add<QLabel>(optionFrame, "Label1", OptionLabel1Caption, 120, 225, 4215, 480)->setWordWrap(true);
    adjustViewOn_ = Add<QRadioButton>(optionFrame, "Option1", OnCaption, 360, 660, 1875, 315);
    adjustViewOff_ = Add<QRadioButton>(optionFrame, "Option2", OffCaption, 360, 960, 1875, 315);

    // Radio buttons exclude each other per parent, so the two frames stay independent.
    auto* frame1 = Add<QGroupBox>(this, "Frame1", Frame1Caption, 135, 1665, 4455, 675);
    rangeFrameOn_ = Add<QRadioButton>(frame1, "Option3", OnCaption, 360, 240, 855, 315);
    rangeFrameOff_ = Add<QRadioButton>(frame1, "Option4", OffCaption, 1380, 240, 1215, 315);

    auto* frame2 = Add<QGroupBox>(this, "Frame2", Frame2Caption, 135, 2400, 4455, 675);
    penWidthsOn_ = Add<QRadioButton>(frame2, "Option5", OnCaption, 360, 240, 855, 315);
    penWidthsOff_ = Add<QRadioButton>(frame2, "Option6", OffCaption, 1380, 240, 1215, 315);

    auto* command1 = Add<QPushButton>(this, "Command1", OkCaption, 1770, 3135, 1335, 375);
    connect(command1, &QPushButton::clicked, this, &OptionForm::Command1_Click);

    Form_Load();
}

void OptionForm::Form_Load() {
    (settings_.AdjustViewOff == 0 ? adjustViewOn_ : adjustViewOff_)->setChecked(true);
    (settings_.RangeFrameOff == 0 ? rangeFrameOn_ : rangeFrameOff_)->setChecked(true);
    (settings_.PenWidthOff == 0 ? penWidthsOn_ : penWidthsOff_)->setChecked(true);
}

void OptionForm::Command1_Click() {
    settings_.AdjustViewOff = adjustViewOn_->isChecked() ? 0 : 1;
    settings_.RangeFrameOff = rangeFrameOn_->isChecked() ? 0 : 1;
    const std::int16_t penWidthOff = penWidthsOn_->isChecked() ? 0 : 1;
    const bool changed = penWidthOff != settings_.PenWidthOff;
    settings_.PenWidthOff = penWidthOff;
    if (changed && penWidthsChanged) penWidthsChanged();
    close();
}

ComdForm::ComdForm(double twipsPerPixel) : TwipsForm(twipsPerPixel, 2640, 2445) {
    setObjectName(QStringLiteral("ComdForm"));
    setWindowTitle(QString::fromUtf8(ComdFormCaption));

    // The list above the OK button, in columns; the window can be resized.
    commandList_ = new QListWidget(this);
    commandList_->setObjectName(QStringLiteral("List1"));
    commandList_->setFont(FixedPitchFont(9));
    commandList_->setFlow(QListView::TopToBottom);
    commandList_->setWrapping(true);
    commandList_->setResizeMode(QListView::Adjust);
    commandList_->setUniformItemSizes(true);
    auto* command1 = Add<QPushButton>(this, "Command1", OkCaption, 720, 1800, 1155, 375);
    connect(command1, &QPushButton::clicked, this, &ComdForm::Command1_Click);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(commandList_, 1);
    layout->addWidget(command1, 0, Qt::AlignHCenter);

    Form_Load();
    FitAllLines();
}

void ComdForm::FitAllLines() {
    ensurePolished();  // the sizes the style gives the controls count
    // As many rows as fit in most of the screen's height, in as many columns as that takes.
    const int count = commandList_->count();
    const int row = std::max(1, commandList_->sizeHintForRow(0));
    const QScreen* screen = this->screen();
    const int room = screen != nullptr ? screen->availableGeometry().height() * 3 / 5 : 480;
    const int columns = std::max(1, (count * row + room - 1) / room);
    const int rows = (count + columns - 1) / columns;
    // Every line as wide as the widest, so that none is cut short.
    int width = 0;
    for (int i = 0; i < count; ++i) {
        width = std::max(
            width, commandList_->fontMetrics().horizontalAdvance(commandList_->item(i)->text()));
    }
    width += 16;
    commandList_->setGridSize(QSize(width, row));
    const int frame = 2 * commandList_->frameWidth();
    // Room for a scroll bar to spare: a list a pixel short would wrap a line more and show
    // one, taking room in turn.
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, commandList_);
    commandList_->setMinimumSize(columns * width + frame + 4, rows * row + frame + bar + 4);
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    layout()->activate();
    resize(layout()->totalMinimumSize());
    // Smaller than that once shown, if the user likes; the list then scrolls. Without its
    // minimum the list may get less of the height than it had: the window makes up for it.
    const QSize wanted = commandList_->minimumSize();
    commandList_->setMinimumSize(0, 0);
    layout()->activate();
    resize(this->width() + std::max(0, wanted.width() - commandList_->width()),
           height() + std::max(0, wanted.height() - commandList_->height()));
}

void ComdForm::Form_Load() {
    commandList_->clear();
    for (const char* entry : CommandListEntries) commandList_->addItem(QString::fromUtf8(entry));
}

void ComdForm::Command1_Click() { close(); }

VersForm::VersForm(double twipsPerPixel) : TwipsForm(twipsPerPixel, 6540, 2520) {
    setObjectName(QStringLiteral("VersForm"));

    Add<QLabel>(this, "picIcon", nullptr, 240, 240, 510, 510)
        ->setPixmap(QPixmap(QStringLiteral(":/kestrel.png")));
    title_ = Add<QLabel>(this, "lblTitle", nullptr, 960, 360, 1605, 465);
    title_->setFont(ProportionalFont(14.25));
    version_ = Add<QLabel>(this, "lblVersion", nullptr, 2640, 360, 1665, 465);
    version_->setFont(ProportionalFont(14.25));
    author_ = Add<QLabel>(this, "lblDescription", nullptr, 1245, 1020, 5055, 660);
    author_->setFont(FixedPitchFont(12));
    okButton_ = Add<QPushButton>(this, "cmdOK", OkCaption, 2790, 2010, 1035, 345);
    connect(okButton_, &QPushButton::clicked, this, &VersForm::cmdOK_Click);

    Form_Load();
}

void VersForm::Form_Load() {
    const QString title = QString::fromUtf8(AppCaption);
    setWindowTitle(title + QString::fromUtf8(VersionCaptionSuffix));
    // The numbers are the build's project version.
    version_->setText(QString::fromUtf8(VersionPrefix) + QStringLiteral("%1.%2.%3")
                                                             .arg(KESTREL_VERSION_MAJOR)
                                                             .arg(KESTREL_VERSION_MINOR)
                                                             .arg(KESTREL_VERSION_PATCH));
    title_->setText(title);
    author_->setText(QString::fromUtf8(AuthorLine));
    // The substitute fonts run wider than the originals; a label grows rather than cut its text.
    for (QLabel* label : {title_, version_, author_}) {
        label->resize(std::max(label->width(), label->sizeHint().width()), label->height());
    }
}

void VersForm::cmdOK_Click() { close(); }

void VersForm::keyPressEvent(QKeyEvent* event) {
    // OK is both the default and the cancel button.
    switch (event->key()) {
        case Qt::Key_Escape:
        case Qt::Key_Return:
        case Qt::Key_Enter: okButton_->click(); return;
        default: TwipsForm::keyPressEvent(event);
    }
}

void VersForm::paintEvent(QPaintEvent* event) {
    TwipsForm::paintEvent(event);
    // The etched separator: a grey line with a white one, 2 pixels wide, just below it.
    QPainter painter(this);
    const int y = Px(1815);
    painter.fillRect(QRect(Px(120), y, Px(6480) - Px(120), 1), QColor(128, 128, 128));
    painter.fillRect(QRect(Px(120), y + 1, Px(6465) - Px(120), 2), Qt::white);
}

}  // namespace kestrel::app
