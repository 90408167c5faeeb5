#include "ui/frmSplash.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>
#include <QVersionNumber>

namespace quaverly::ui {

QPixmap QuaverlyLogo(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / 64.0, size / 64.0);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x2b, 0x4c, 0x7e));
  painter.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
  painter.setBrush(QColor(0xf5, 0xc5, 0x42));
  painter.save();
  painter.translate(25, 46);
  painter.rotate(-20);
  painter.drawEllipse(QRectF(-9, -6.5, 18, 13));
  painter.restore();
  painter.drawRect(QRectF(31, 12, 4, 34));
  QPainterPath flag;
  flag.moveTo(35, 12);
  flag.cubicTo(37, 20, 48, 22, 46, 34);
  flag.cubicTo(45, 26, 40, 24, 35, 22);
  flag.closeSubpath();
  painter.drawPath(flag);
  return pixmap;
}

frmSplash::frmSplash(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmSplash"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(tr("About Quaverly"));

  Frame1_ = new QFrame(this);
  Frame1_->setObjectName(QStringLiteral("Frame1"));
  Frame1_->setFrameShape(QFrame::StyledPanel);
  imgLogo_ = new QLabel(Frame1_);
  imgLogo_->setObjectName(QStringLiteral("imgLogo"));
  imgLogo_->setPixmap(QuaverlyLogo(96));
  lblProductName_ = new QLabel(tr("Product"), Frame1_);
  lblProductName_->setObjectName(QStringLiteral("lblProductName"));
  QFont large = lblProductName_->font();
  large.setPointSizeF(large.pointSizeF() * 2);
  large.setBold(true);
  lblProductName_->setFont(large);
  AppDesc_ = new QLabel(tr("Product"), Frame1_);
  AppDesc_->setObjectName(QStringLiteral("AppDesc"));
  AppDesc_->setWordWrap(true);
  lblPlatform_ = new QLabel(tr("Linux"), Frame1_);
  lblPlatform_->setObjectName(QStringLiteral("lblPlatform"));
  lblVersion_ = new QLabel(tr("Version"), Frame1_);
  lblVersion_->setObjectName(QStringLiteral("lblVersion"));
  for (QLabel* label : {lblPlatform_, lblVersion_}) {
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
  }
  Command1_ = new QPushButton(tr("&Close"), this);
  Command1_->setObjectName(QStringLiteral("Command1"));
  Command1_->setDefault(true);
  connect(Command1_, &QPushButton::clicked, this, &frmSplash::Command1_Click);

  auto* texts = new QVBoxLayout;
  texts->addWidget(lblProductName_);
  texts->addWidget(AppDesc_);
  texts->addStretch();
  texts->addWidget(lblPlatform_);
  texts->addWidget(lblVersion_);
  auto* frame_layout = new QHBoxLayout(Frame1_);
  frame_layout->addWidget(imgLogo_, 0, Qt::AlignTop);
  frame_layout->addSpacing(12);
  frame_layout->addLayout(texts, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Command1_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Frame1_);
  layout->addLayout(buttons);
  setFixedWidth(440);

  Form_Load();
}

void frmSplash::Form_Load() {
  lblProductName_->setText(QStringLiteral("Quaverly"));
  AppDesc_->setText(
      tr("Shows, plays, saves and converts Standard MIDI and karaoke files, and catalogs "
         "folders of them."));
  const QVersionNumber version = QVersionNumber::fromString(QStringLiteral(QUAVERLY_VERSION));
  lblVersion_->setText(tr("Version ") + QStringLiteral("%1.%2.%3")
                                            .arg(version.majorVersion())
                                            .arg(version.minorVersion())
                                            .arg(version.microVersion()));
}

// Escape rejects the dialog, which closes it the same way.
void frmSplash::Command1_Click() { accept(); }

}  // namespace quaverly::ui
