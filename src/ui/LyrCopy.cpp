#include "ui/LyrCopy.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "lyrics/Lyrics.h"
#include "song/NumberText.h"
#include "ui/Form1.h"
#include "ui/KarInf.h"
#include "ui/TextDecode.h"

namespace quaverly::ui {

LyrCopy::LyrCopy(Form1& form) : QDialog(&form), form_(form) {
  setObjectName(QStringLiteral("LyrCopy"));
  setWindowTitle(tr("Convert Lyrics"));
  setAttribute(Qt::WA_DeleteOnClose);
  setModal(false);

  auto* label = new QLabel(tr("Copy lyrics from:"), this);
  label->setObjectName(QStringLiteral("Label1"));
  Tracks_ = new QComboBox(this);
  Tracks_->setObjectName(QStringLiteral("Tracks"));
  Tracks_->setMinimumWidth(209);  // 3135 twips of the design layout
  label->setBuddy(Tracks_);
  Command1_ = new QPushButton(tr("Convert Karaoke Text -> Lyrics"), this);
  Command1_->setObjectName(QStringLiteral("Command1"));
  Command2_ = new QPushButton(tr("Convert Lyrics -> Text"), this);
  Command2_->setObjectName(QStringLiteral("Command2"));
  KeepKar_ = new QCheckBox(tr("Keep Karaoke Lyrics"), this);
  KeepKar_->setObjectName(QStringLiteral("KeepKar"));
  KeepKar_->setChecked(true);

  auto* layout = new QGridLayout(this);
  layout->addWidget(label, 0, 0);
  layout->addWidget(Tracks_, 0, 1);
  layout->addWidget(Command1_, 1, 0);
  layout->addWidget(Command2_, 1, 1);
  layout->addWidget(KeepKar_, 2, 0, 1, 2);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(Command1_, &QPushButton::clicked, this, &LyrCopy::Command1_Click);
  connect(Command2_, &QPushButton::clicked, this, &LyrCopy::Command2_Click);
  connect(Tracks_, &QComboBox::currentIndexChanged, this, &LyrCopy::UpdateCommands);
  connect(&form_, &Form1::SongRead, this, &LyrCopy::Form_Load);
  Form_Load();
}

LyrCopy& LyrCopy::Show(Form1& form) {
  // A closed dialog may still wait for its deletion; only an open one is reused.
  LyrCopy* dialog = nullptr;
  for (LyrCopy* child : form.findChildren<LyrCopy*>(Qt::FindDirectChildrenOnly)) {
    if (child->isVisible()) dialog = child;
  }
  if (!dialog) dialog = new LyrCopy(form);
  dialog->show();
  dialog->raise();
  dialog->activateWindow();
  return *dialog;
}

void LyrCopy::Form_Load() {
  const Song& song = form_.song();
  Tracks_->clear();
  for (int t = 1; t < song.ListTrackCount; ++t) {
    const std::string entry = song.TrackNameEntry(t);
    // A track without a name is listed by its number.
    Tracks_->addItem(DecodeForDisplay(entry.empty() ? NumberText(t) : entry));
  }
  Tracks_->setCurrentIndex(ProposedWordsIndex(song));
  UpdateCommands();
}

int LyrCopy::SelectedTrack() const {
  return Tracks_->currentIndex() < 0 ? -1 : Tracks_->currentIndex() + 1;
}

void LyrCopy::UpdateCommands() {
  const bool selected = SelectedTrack() > 0;
  Command1_->setEnabled(selected);
  Command2_->setEnabled(selected);
}

void LyrCopy::Command1_Click() {
  const int track = SelectedTrack();
  if (track <= 0 || !TextToLyrics(form_.song(), track, KeepKar_->isChecked())) return;
  form_.SongEdited();
  close();
}

void LyrCopy::Command2_Click() {
  const int track = SelectedTrack();
  if (track <= 0) return;
  const std::optional<KaraokeInfo> info = KarInf::Of(&form_).Ask();
  if (!info) return;  // cancelled: the song stays as it was
  if (!LyricsToText(form_.song(), track, *info)) {
    form_.dialogs().Tell(this, QMessageBox::Warning, windowTitle(),
                         tr("The song has no room for two more tracks."));
    return;
  }
  form_.SongEdited();
  close();
}

}  // namespace quaverly::ui
