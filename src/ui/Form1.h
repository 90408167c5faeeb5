#pragma once
// The main window: shows what the open MIDI file holds (header summary, chunk report, text,
// lyric and marker events), and holds every command of the program in its menus: Open, Play,
// Stop, Save, Save As, the lyrics and batch commands, About. It owns the open song and its
// path; the reader, writer and sequencer do the work.

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <filesystem>
#include <memory>

#include "playback/Sequencer.h"
#include "reader/ReadMidiFile.h"
#include "song/Song.h"
#include "ui/Cdlg.h"

class QAction;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace quaverly::ui {

class frmSplash;

// The filter list of the open dialogs, in the shared dialog's bar-separated form.
inline constexpr const char* kMidiFilter =
    "All Midi Files (*.mid;*.kar;*.kar.mid)|*.mid;*.kar;*.kar.mid|Midi (*.mid)|*.mid|Karaoke "
    "(*.kar)|*.kar|Karaoke With Midi Type (*.kar.mid)|*.kar.mid";
inline constexpr const char* kNoFileOpen = "No File Open";

// The folder for the playback file: TEMP when set, else the system's temporary folder;
// always ending in "/".
QString TempDirFrom(const QByteArray& temp_variable);

class Form1 : public QMainWindow {
  Q_OBJECT

 public:
  // Null arguments take the real dialogs and the FluidSynth sequencer.
  explicit Form1(std::unique_ptr<UserDialogs> dialogs = nullptr,
                 std::unique_ptr<playback::Sequencer> sequencer = nullptr,
                 QWidget* parent = nullptr);
  ~Form1() override;

  // Start-up: the About box as a splash screen; HideSplash ends it.
  void ShowSplash();
  void HideSplash();

  // Reads the file as Open does after its dialog (also for a file given on the command line
  // or dropped on the window). Does not ask about unsaved changes; see MaySaveChanges.
  void OpenFile(const QString& path);

  // The open song. Whoever edits it calls SongEdited afterwards.
  Song& song() { return song_; }
  const Song& song() const { return song_; }
  // Path of the open document: what Save writes to; empty before the first read.
  const std::filesystem::path& DocumentPath() const { return path_; }
  // Re-renders the Text, Lyrics and Markers tabs from the song, updates Convert Lyrics and
  // marks the window as holding unsaved changes.
  void SongEdited();
  // Asks whether unsaved changes are saved first (Save, Discard, Cancel) and saves them on
  // Save. False when the user cancelled or the save failed: the caller must not go on.
  bool MaySaveChanges();

  const QString& TempDir() const { return temp_dir_; }
  UserDialogs& dialogs() { return *dialogs_; }
  Cdlg& cdlg() { return cdlg_; }
  void ShowStatus(const QString& message);
  // The batch run shows its current file where the open file's path stands.
  void ShowInFName(const QString& text);
  // While a batch runs, the commands that read, write or play the song are disabled;
  // EndBatch restores them and shows the open document's path again.
  void BeginBatch();
  void EndBatch();

 signals:
  // A new song was read into the window (Open, Read Midi File, drop).
  void SongRead();

 public slots:
  void Open_Click();
  void PlayMidi_Click();
  void StopMidi_Click();
  void Save_Click();
  void SaveAs_Click();
  void ConvLyr_Click();
  void Bprocess_Click();
  void MkDB_Click();
  void exitmenu_Click();
  void About_Click();
  void Command3_Click();
  void Command4_Click();
  void WriteOut_Click();
  void Command1_Click();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildMenus();
  QWidget* BuildGeneralTab();
  QWidget* BuildTestControls();
  void ClearFileInfoDisplay();
  void ShowReport(const ReadReport& report);
  // Enables what a read allows: nothing that writes after a non-MIDI file, no Save after a
  // damaged one (only Save As may salvage it). Open also enables; Read Midi File only limits.
  void ApplyReadOutcome(ReadOutcome outcome, bool enable);
  void UpdateConvLyr();
  void UpdateTransport();
  bool SaveDocument();
  bool SaveDocumentAs();
  // Writes the song; a failure is told in a message box. True on success.
  bool WriteSongTo(const QString& path, const QString& command);

  std::unique_ptr<UserDialogs> dialogs_;
  std::unique_ptr<playback::Sequencer> sequencer_;
  Cdlg cdlg_;
  Song song_;
  std::filesystem::path path_;
  QString temp_dir_;
  QPointer<frmSplash> splash_;
  QTimer playback_poll_;
  bool closing_confirmed_ = false;
  bool batch_running_ = false;
  std::vector<std::pair<QObject*, bool>> before_batch_;

  QTabWidget* SSTab1_;
  QLabel* FName_;
  QLabel* FType_;
  QLabel* FTracks_;
  QLabel* FTimeSig_;
  QLabel* FKeySig_;
  QLabel* FTempo_;
  QLabel* FCopyTxt_;
  QPlainTextEdit* FileInfo_;
  QPlainTextEdit* GenText_;
  QPlainTextEdit* Lyrics_;
  QPlainTextEdit* Markers_;
  QPushButton* MidiPlay_;
  QPushButton* MidiStop_;
  QLineEdit* testfile_;
  QLineEdit* OutFile_;
  QPushButton* Command3_;
  QPushButton* Command4_;
  QPushButton* WriteOut_;
  QPushButton* Command1_;
  QAction* Open_;
  QAction* PlayMidi_;
  QAction* StopMidi_;
  QAction* Save_;
  QAction* SaveAs_;
  QAction* ConvLyr_;
  QAction* Bprocess_;
  QAction* MkDB_;
  QAction* exitmenu_;
  QAction* About_;
};

}  // namespace quaverly::ui
