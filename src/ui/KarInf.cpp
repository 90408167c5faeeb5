#include "ui/KarInf.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace quaverly::ui {
namespace {

QLineEdit* Box(const char* name, const QString& text, const QString& tip, QWidget* parent) {
  auto* box = new QLineEdit(text, parent);
  box->setObjectName(QLatin1String(name));
  box->setToolTip(tip);
  return box;
}

QLabel* Label(const char* name, const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QLatin1String(name));
  return label;
}

// UTF-8, which the text tabs decode back as it was typed.
std::string Bytes(const QLineEdit* box) { return box->text().toUtf8().toStdString(); }

}  // namespace

KarInf::KarInf(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("KarInf"));
  setWindowTitle(tr("Karaoke Information"));
  Lang_ =
      Box("Lang", QStringLiteral("ENGL"), tr("Enter the lyric language here, usually ENGL."), this);
  SongT_ = Box("SongT", QStringLiteral("YOUR SONG"), tr("Enter the song name here."), this);
  SongA_ = Box("SongA", QStringLiteral("ARTIST"),
               tr("Enter the name of the artist that wrote or performed the song."), this);
  Done_ = new QPushButton(tr("&Done"), this);
  Done_->setObjectName(QStringLiteral("Done"));
  Done_->setDefault(true);
  connect(Done_, &QPushButton::clicked, this, &KarInf::Done_Click);

  auto* layout = new QGridLayout(this);
  layout->addWidget(Label("Label1", tr("Language"), this), 0, 0);
  layout->addWidget(Lang_, 1, 0);
  layout->addWidget(Done_, 0, 1, 2, 1, Qt::AlignRight | Qt::AlignVCenter);
  layout->addWidget(Label("Label2", tr("Song Title"), this), 2, 0, 1, 2);
  layout->addWidget(SongT_, 3, 0, 1, 2);
  layout->addWidget(Label("Label3", tr("Song Artist"), this), 4, 0, 1, 2);
  layout->addWidget(SongA_, 5, 0, 1, 2);
  layout->setColumnStretch(0, 1);
  layout->setColumnStretch(1, 2);
  // The design size of 4680 x 2745 twips, at 15 twips to the pixel.
  setMinimumWidth(312);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

KarInf& KarInf::Of(QWidget* owner) {
  auto* dialog = owner->findChild<KarInf*>(QStringLiteral("KarInf"), Qt::FindDirectChildrenOnly);
  if (!dialog) dialog = new KarInf(owner);
  return *dialog;
}

std::optional<KaraokeInfo> KarInf::Ask() {
  const QString lang = Lang_->text();
  const QString title = SongT_->text();
  const QString artist = SongA_->text();
  Lang_->setFocus();
  if (exec() != QDialog::Accepted) {
    Lang_->setText(lang);
    SongT_->setText(title);
    SongA_->setText(artist);
    return std::nullopt;
  }
  return KaraokeInfo{Bytes(Lang_), Bytes(SongT_), Bytes(SongA_)};
}

void KarInf::Done_Click() { accept(); }

}  // namespace quaverly::ui
