#pragma once
// The Karaoke Information dialog: asks for the language, song title and artist that the
// lyrics -> karaoke text conversion writes into the new "Words" track. One instance lives
// for the whole run of the program, so the boxes offer the texts last confirmed.

#include <QDialog>
#include <optional>

#include "lyrics/Lyrics.h"

class QLineEdit;
class QPushButton;

namespace quaverly::ui {

class KarInf : public QDialog {
  Q_OBJECT

 public:
  explicit KarInf(QWidget* parent = nullptr);

  // The one dialog of the window `owner`, created on first use.
  static KarInf& Of(QWidget* owner);

  // Shows the dialog modally. The texts once Done is pressed; nullopt when the dialog was
  // closed otherwise, and then the boxes return to what they held before.
  std::optional<KaraokeInfo> Ask();

 public slots:
  void Done_Click();

 private:
  QLineEdit* Lang_;
  QLineEdit* SongT_;
  QLineEdit* SongA_;
  QPushButton* Done_;
};

}  // namespace quaverly::ui
