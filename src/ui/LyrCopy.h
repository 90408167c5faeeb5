#pragma once
// The Convert Lyrics dialog: lists the tracks of the main window's song, proposes the one
// that holds the words, and runs either lyrics conversion on the chosen track. Modeless; a
// conversion closes it. The list follows every new song the window reads.

#include <QDialog>

class QCheckBox;
class QComboBox;
class QPushButton;

namespace quaverly::ui {

class Form1;

class LyrCopy : public QDialog {
  Q_OBJECT

 public:
  explicit LyrCopy(Form1& form);

  // Shows the dialog of `form`, creating and filling it when none is open.
  static LyrCopy& Show(Form1& form);

 public slots:
  // Fills Tracks from the song and preselects the likely words track.
  void Form_Load();
  void Command1_Click();
  void Command2_Click();

 private:
  void UpdateCommands();
  // The chosen track, or -1 when no track is selected.
  int SelectedTrack() const;

  Form1& form_;
  QComboBox* Tracks_;
  QPushButton* Command1_;
  QPushButton* Command2_;
  QCheckBox* KeepKar_;
};

}  // namespace quaverly::ui
