#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include "MidiBuilder.h"
#include "TempDir.h"
#include "ui/BatchCommand.h"
#include "ui/CatAsk.h"
#include "ui/Form1.h"
#include "ui/KarInf.h"
#include "ui/LyrCopy.h"
#include "ui/frmSplash.h"
#include "writer/WriteMidiFile.h"

void PrintTo(const QString& text, std::ostream* os) { *os << text.toStdString(); }

namespace quaverly::testing {
namespace {

namespace fs = std::filesystem;

// Answers from queues (nothing queued: Cancel) and records what was asked.
struct FakeDialogs : ui::UserDialogs {
  QList<std::optional<QString>> file_answers;
  QList<QMessageBox::StandardButton> button_answers;
  std::vector<ui::FileDialogRequest> requests;
  QStringList questions, messages;

  std::optional<QString> ChooseFile(QWidget*, const ui::FileDialogRequest& request) override {
    requests.push_back(request);
    return file_answers.isEmpty() ? std::nullopt : file_answers.takeFirst();
  }
  QMessageBox::StandardButton Ask(QWidget*, const QString&, const QString& text,
                                  QMessageBox::StandardButtons,
                                  QMessageBox::StandardButton) override {
    questions << text;
    return button_answers.isEmpty() ? QMessageBox::Cancel : button_answers.takeFirst();
  }
  void Tell(QWidget*, QMessageBox::Icon, const QString&, const QString& text) override {
    messages << text;
  }
};

// Logs its commands; "close" notes what the file it held contained at that moment.
struct FakeSequencer : playback::Sequencer {
  std::vector<std::string> log;
  std::string open_error;
  fs::path file;  // empty while closed

  std::string Open(const fs::path& path) override {
    log.push_back("open " + path.string());
    file = open_error.empty() ? path : fs::path();
    return open_error;
  }
  std::string Play() override {
    log.push_back("play");
    return {};
  }
  void Stop() override { log.push_back("stop"); }
  void Close() override {
    if (IsOpen()) log.push_back("close " + ReadAll(file));
    file.clear();
  }
  bool IsOpen() const override { return !file.empty(); }
  bool IsPlaying() const override { return IsOpen() && log.back() == "play"; }
};

QString Q(const fs::path& p) { return QString::fromStdString(p.string()); }

QString Put(const TempDir& dir, const std::string& name, std::span<const uint8_t> bytes) {
  WriteBytes(dir / name, bytes);
  return Q(dir / name);
}

struct Window {
  QApplication* app = [] {
    static int argc = 1;
    static char name[] = "test_ui", *argv[] = {name, nullptr};
    return qApp ? qApp : new QApplication(argc, argv);  // never destroyed: Qt's statics go first
  }();
  FakeDialogs* dialogs = new FakeDialogs;
  FakeSequencer* sequencer = new FakeSequencer;
  ui::Form1 form{std::unique_ptr<ui::UserDialogs>(dialogs),
                 std::unique_ptr<playback::Sequencer>(sequencer)};

  // The texts of the space-separated labels and boxes, joined by "|".
  QString Text(const QString& names) const {
    QStringList texts;
    for (const QString& name : names.split(' ')) {
      if (auto* label = form.findChild<QLabel*>(name)) texts << label->text();
      if (auto* edit = form.findChild<QLineEdit*>(name)) texts << edit->text();
      if (auto* box = form.findChild<QPlainTextEdit*>(name)) texts << box->toPlainText();
    }
    return texts.join('|');
  }
  // Expects the space-separated menu items and buttons enabled, those marked "!" disabled.
  void ExpectOn(const QString& names) const {
    for (const QString& name : names.split(' ')) {
      const QObject* control = form.findChild<QObject*>(name.mid(name.startsWith('!') ? 1 : 0));
      ASSERT_TRUE(control) << name.toStdString();
      EXPECT_NE(control->property("enabled").toBool(), name.startsWith('!')) << name.toStdString();
    }
  }
};

const QString kShown = "FType FTracks FTimeSig FKeySig FTempo FCopyTxt GenText Lyrics Markers";

// Lyric lines in UTF-8 and in Windows-1252: each line is decoded on its own.
std::vector<uint8_t> LyricsSong() {
  MidiBuilder b;
  b.Header(0, 1, 96).BeginTrack().Meta(0, 2, "(c) Me").Meta(0, 3, "Canci\xC3\xB3n");
  b.Tempo(0, 500000).Meta(0, 0x58, {"\x04\x02\x18\x08", 4}).Meta(0, 0x59, {"\xFD\x00", 2});
  b.Meta(0, 5, "H\xC3\xA9l").Meta(10, 5, "lo").Meta(10, 5, "\r");
  b.Meta(10, 5, "Caf\xE9 \x93\x80\x94").Event(0, {0x90, 60, 100});
  return b.Event(96, {0x80, 60, 0}).EndTrack().bytes();
}

QString Asked(const Window& w) {
  const ui::FileDialogRequest& r = w.dialogs->requests.back();
  return r.title + "|" + r.file_name + "|" + r.filter;
}

TEST(Form1, StartsWithNoSongHiddenTestControlsATempDirAndAnAboutBoxThatNamesLinux) {
  Window w;
  EXPECT_EQ(
      w.Text("FName Label2 Label3 Label4 Label5 Label6 Label1 testfile OutFile FileInfo " + kShown),
      "No File Open|Tracks:|Time Signature:|Key Signature:|Tempo:|Copyright Text:|"
      "Output file:|D:\\ZUR30\\alonenow.mid|d:\\zur30\\Test.mid||Type --|0|?/?|?|???||||");
  w.ExpectOn(
      "Open Bprocess exitmenu About Command3 Command4 !PlayMidi !StopMidi !Save "
      "!SaveAs !ConvLyr !MkDB !WriteOut !MidiPlay !MidiStop");
  w.form.show();
  EXPECT_FALSE(w.form.findChild<QWidget*>("TestControls")->isVisible());
  for (const char* name : {"Command3", "testfile", "Command4", "WriteOut", "OutFile", "Command1"})
    EXPECT_EQ(w.form.findChild<QWidget*>(name)->focusPolicy(), Qt::NoFocus) << name;
  for (const char* temp : {"/tmp/q", "/tmp/q/"}) EXPECT_EQ(ui::TempDirFrom(temp), "/tmp/q/");
  EXPECT_EQ(ui::TempDirFrom(""), QDir::tempPath() + "/");  // not the root folder
  for (bool escape : {false, true}) {                      // About, Close, About again, Escape
    w.form.About_Click();
    QPointer<ui::frmSplash> about = w.form.findChild<ui::frmSplash*>();
    ASSERT_TRUE(about && about->isVisible() && about->windowModality() == Qt::ApplicationModal);
    EXPECT_EQ(w.Text("lblProductName lblPlatform lblVersion"), "Quaverly|Linux|Version 0.0.18");
    escape ? about->reject() : about->findChild<QPushButton*>("Command1")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(about.isNull());
  }
}

TEST(Form1, OpenShowsWhatWasReadAndEnablesOnlyWhatTheReadAllows) {
  TempDir dir;
  MidiBuilder markers, damaged;
  // A cut-off UTF-8 sequence is not UTF-8; a lone carriage return breaks the line too.
  markers.Header(1, 2, 120).BeginTrack().Meta(0, 6, "Verse").Meta(480, 6, "Chorus\xC3").EndTrack();
  markers.BeginTrack().Event(0, {0x90, 64, 90}).Event(240, {0x80, 64, 0}).EndTrack();
  damaged.Header(1, 1, 96).BeginTrack().Meta(0, 1, "@KTitle\rMe").Raw({0, 0x90, 60}).EndChunk();
  const std::tuple<const char*, std::vector<uint8_t>, const char*, const char*, const char*>
      cases[] = {
          // each failed read follows one that enabled Save
          {"lyrics.mid", LyricsSong(),
           "Type 0| 1|4/4|Eb|120 BPM|(c) Me||H\u00E9llo\nCaf\u00E9 \u201C\u20AC\u201D|",
           "Delta Time format 96 Ticks per Quarter Note (If Positive)\nTrack 0  Length: 86\n"
           "Copyright Text: (c) Me\nSequence/Track Name: Canci\u00F3n\n",
           "Save SaveAs PlayMidi MidiPlay ConvLyr WriteOut Command3 !MkDB !StopMidi"},
          {"notmidi.mid", MidiBuilder().Text("RIFF").Long(4).Text("W").bytes(),
           "Type --|0|?/?|?|???||||", "Not a standard MIDI file.",
           "Open Command3 !Save !SaveAs !PlayMidi !MidiPlay !WriteOut !ConvLyr"},
          {"markers.mid", markers.bytes(), "Type 1| 2|?/?|?|???||||Verse\nChorus\u00C3\n",
           "Delta Time format 120 Ticks per Quarter Note (If Positive)\nTrack 0  Length: 25\n"
           "Track 1  Length: 13\n",
           "Save SaveAs PlayMidi !ConvLyr"},
          {"damaged.mid", damaged.bytes(), "Type 1| 1|?/?|?|???|| @KTitle\nMe\n||",
           "Cound not read entire file!", "SaveAs PlayMidi MidiPlay WriteOut ConvLyr !Save"},
          {"missing.mid", {}, "Type --|0|?/?|?|???||||", "Not a standard MIDI file.", "!SaveAs"},
      };
  Window w;
  QString proposed = w.Text("testfile");
  for (const auto& [file, bytes, shown, report, enabled] : cases) {
    SCOPED_TRACE(file);
    const QString path = bytes.empty() ? Q(dir / file) : Put(dir, file, bytes);
    w.dialogs->file_answers = {path};
    w.form.Open_Click();
    EXPECT_EQ(Asked(w), "Open|" + proposed + "|" + ui::kMidiFilter);
    EXPECT_EQ(w.Text("FName testfile"), (proposed = path) + "|" + path);
    EXPECT_EQ(w.Text(kShown), QString(shown));  // Qt 6.4's == char* can miss a difference
    const QStringList info = w.Text("FileInfo").split(" File Open Time: ");  // the time varies
    EXPECT_EQ(info.size() == 2 ? info[0] : "no time: " + info[0], QString(report));
    w.ExpectOn(enabled);
  }
  EXPECT_TRUE(w.form.statusBar()->currentMessage().contains("missing.mid"));  // and says why

  // Display decodes, but the song keeps the file's bytes; a cancelled Open reads nothing.
  w.form.OpenFile(Q(dir / "lyrics.mid"));
  EXPECT_EQ(SerializeMidi(w.form.song()), std::get<1>(cases[0]));
  w.form.song().Header.Division = 192;
  const QString report = w.Text("FileInfo");
  w.form.Open_Click();
  EXPECT_TRUE(w.Text("FileInfo") == report && w.form.song().Header.Division == 192);
  // Read Midi File enables nothing of its own, but a damaged read still takes Save away.
  w.form.findChild<QLineEdit*>("testfile")->setText(Q(dir / "damaged.mid"));
  w.form.Command3_Click();
  EXPECT_EQ(w.Text("FileInfo"), "Cound not read entire file!");
  w.ExpectOn("!Save SaveAs");
}

TEST(Form1, SaveAsMovesTheDocumentAndNoChangeIsLostOrWrittenAstray) {
  TempDir dir;
  const QString a = Put(dir, "a.mid", LyricsSong()), b = Q(dir / "b.mid");
  const QString blocked = Put(dir, "blocker", {}) + "/b.mid";  // a file as its folder
  Window w;
  w.form.show();
  w.form.OpenFile(a);
  // A batch run leaves its own title and options in the shared dialog.
  w.form.cdlg().SetDialogTitle("Save Catalog As");
  w.form.cdlg().SetFlags(ui::kOverwritePrompt | ui::kNoReadOnlyReturn);
  w.form.SaveAs_Click();  // cancelled
  EXPECT_EQ(Asked(w), "Save As||All Files (*.*)|*.*");
  const unsigned save_only = ui::kOverwritePrompt | ui::kNoReadOnlyReturn;
  EXPECT_EQ(w.dialogs->requests.back().options & save_only, save_only);
  EXPECT_EQ(w.Text("FName OutFile"), a + "|d:\\zur30\\Test.mid");

  // Unsaved changes: Open, Exit, the close box and Read Midi File ask first; Cancel keeps them.
  w.form.song().Header.Division = 192;
  w.form.SongEdited();
  w.form.Open_Click();
  w.form.exitmenu_Click();
  EXPECT_FALSE(w.form.close());
  w.form.Command3_Click();
  EXPECT_EQ(w.dialogs->questions.size(), 4);
  EXPECT_EQ(w.dialogs->requests.size(), 1u);  // only the cancelled Save As
  EXPECT_TRUE(w.form.isVisible() && w.form.song().Header.Division == 192);

  w.dialogs->file_answers = {blocked, b};
  w.form.SaveAs_Click();
  ASSERT_EQ(w.dialogs->messages.size(), 1u);
  EXPECT_TRUE(w.dialogs->messages[0].contains(blocked + ": Not a directory"));
  EXPECT_TRUE(w.Text("FName") == a && w.form.isWindowModified());
  w.form.SaveAs_Click();
  EXPECT_EQ(w.Text("FName OutFile"), b + "|" + b);
  EXPECT_FALSE(w.form.isWindowModified());
  // Saving on close goes to the chosen file, never back to the old one.
  w.form.song().Header.Division = 240;
  w.form.SongEdited();
  w.dialogs->button_answers = {QMessageBox::Save};
  EXPECT_TRUE(w.form.close());
  EXPECT_EQ(ReadAll(b.toStdString()).at(13), '\xF0');  // division 240
  fs::remove(b.toStdString());
  fs::create_directory(b.toStdString());  // a folder in its place cannot be replaced
  w.form.SongEdited();
  w.form.Save_Click();
  EXPECT_TRUE(w.dialogs->messages.value(1).contains(b) && w.form.isWindowModified());

  // Discard goes on; the next Open neither keeps Save As's title nor refuses read-only files.
  w.dialogs->button_answers = {QMessageBox::Discard};
  w.form.Open_Click();
  EXPECT_TRUE(Asked(w).startsWith("Open|"));
  EXPECT_EQ(w.dialogs->requests.back().options & save_only, 0u);
}

TEST(Form1, DroppedFilePlaysAndTheTemporaryFileIsReleasedBeforeItIsReplaced) {
  TempDir dir;
  const QString a = Put(dir, "a.mid", LyricsSong());
  const std::string temp = (dir / "TEMPMIDI.MID").string(), first = ReadAll(dir / "a.mid");
  qputenv("TEMP", QByteArray::fromStdString(dir.path().string()));
  Window w;
  qunsetenv("TEMP");
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(a)});
  QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  static_cast<QObject&>(w.form).event(&drop);  // drag-and-drop routing needs a real drag
  EXPECT_EQ(w.Text("testfile FName FType"), a + "|" + a + "|Type 0");
  w.form.PlayMidi_Click();
  w.ExpectOn("StopMidi MidiStop");
  w.form.song().Header.Division = 192;
  w.form.PlayMidi_Click();
  EXPECT_EQ(w.sequencer->log, std::vector<std::string>({"open " + temp, "play", "close " + first,
                                                        "open " + temp, "play"}));
  EXPECT_EQ(ReadAll(temp).at(13), '\xC0');  // division 192
  w.form.StopMidi_Click();
  EXPECT_EQ(w.sequencer->log.back(), "stop");
  w.ExpectOn("!StopMidi !MidiStop PlayMidi MidiPlay");
  const QString commands = "Open Save SaveAs PlayMidi ConvLyr Bprocess Command3 WriteOut MidiPlay";
  w.form.BeginBatch();  // a run disables what reads, writes or plays the song
  w.form.ShowInFName("/music/other.mid");
  w.ExpectOn("!" + commands.split(' ').join(" !"));
  w.form.EndBatch();
  EXPECT_EQ(w.Text("FName"), a);
  w.ExpectOn(commands);

  w.sequencer->open_error = "No SoundFont found";  // Play says so; nothing else changes
  w.form.PlayMidi_Click();
  EXPECT_TRUE(w.form.statusBar()->currentMessage().contains("No SoundFont found"));
  w.ExpectOn("!StopMidi PlayMidi");
  w.sequencer->open_error.clear();
  w.form.PlayMidi_Click();
  EXPECT_TRUE(w.form.close() && !w.sequencer->IsOpen());  // closing releases the sequencer
}

TEST(Cdlg, FilterListBecomesQtFiltersWithUpperCaseNames) {
  EXPECT_EQ(ui::Cdlg::ToQtFilter("Karaoke (*.kar;*.kar.mid)|*.kar;*.kar.mid|All Files (*.*)|*.*"),
            "Karaoke (*.kar *.KAR *.kar.mid *.KAR.MID);;All Files (*)");
}

// Runs the batch command. Once its dialog shows, notes whether DoSubs is ticked and the folder,
// sets the folder when one is given and the boxes of `ticks` ("Catalog=0"), and presses `button`.
QString Command(Window& w, const char* button, const QString& folder = {},
                const QString& ticks = {}, const ui::BatchCommandHooks& hooks = {}) {
  QString shown;
  QTimer::singleShot(0, &w.form, [&] {
    auto* ask = w.form.findChild<ui::CatAsk*>("CatAsk");
    shown = ask->findChild<QCheckBox*>("DoSubs")->isChecked() ? "ticked " : "clear ";
    shown += ask->Folder();
    if (!folder.isEmpty()) ask->SetFolder(folder);
    for (const QString& tick : ticks.split(' ', Qt::SkipEmptyParts))
      ask->findChild<QCheckBox*>(tick.chopped(2))->setChecked(tick.endsWith('1'));
    ask->findChild<QPushButton*>(button)->click();
  });
  ui::RunBatchCommand(w.form, hooks);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  return shown;
}

TEST(BatchDialog, EveryControlStartsInItsInitialState) {
  Window w;  // for the application object
  ui::CatAsk ask;
  // Each button as name, ticked, enabled and caption, in the order the dialog makes them.
  QStringList states = {ask.windowTitle(), ask.findChild<QGroupBox*>("Frame2")->title(),
                        ask.findChild<QGroupBox*>("Frame6")->title()};
  for (auto* b : ask.findChildren<QAbstractButton*>()) {
    states << b->objectName() + (b->isChecked() ? " 1" : " 0") + (b->isEnabled() ? "1 " : "0 ") +
                  b->text() + (b->property("default").toBool() ? " (default)" : "");
  }
  EXPECT_EQ(states.join('|'),
            "Batch Processing (*.Mid)|Options|File Name Processing|DoSubs 11 &Include Subfolders|"
            "RenKar 11 Rename Karaoke files|Catalog 11 Create Catalog|IFType 10 File Type|"
            "IFTracks 10 # of Tracks|IFRes 10 Resoloution|IFTempo 10 Tempo|IFKey 10 Key Signature|"
            "IfTime 10 Time Signature|IFCopy 00 Copyright Text|IFMarker 00 1st Marker|"
            "IFKar 10 Karaoke|IFLyrics 00 Lyrics|Delimit_0 10 Tab Delimited|"
            "Delimit_1 00 Comma Delimited|Confirm 00 Confirm Name Changes|"
            "ConvExt 00 Change File Type|Ext_1 00 Convert .mid to .MID|"
            "Ext_0 10 Convert .MID to .mid|ConvSpace 01 Convert Spaces|"
            "Spaces_1 01 Convert Space \" \" to Underscore \"_\"|"
            "Spaces_0 11 Convert Underscore \"_\" To Space \" \"|Start 01 &Start (default)|"
            "Cancel 01 &Cancel");
}

TEST(BatchDialog, SettingsLastUntilARunCompletesAndRunsLeaveTheOpenSongAlone) {
  TempDir dir;
  MidiBuilder karaoke;
  karaoke.Header(1, 2, 480).BeginTrack().Tempo(0, 500000).EndTrack().BeginTrack();
  karaoke.Meta(0, 1, "@KMIDI KARAOKE FILE").Event(0, {0x90, 60, 1}).EndTrack();
  const QString m = Q(dir / "M"), open = Put(dir, "open.mid", karaoke.bytes());
  fs::create_directories(dir / "M");
  Put(dir, "M/a_b.mid", karaoke.bytes());
  const QString old_current = QDir::currentPath();
  QDir::setCurrent(Q(dir.path()));
  Window w;
  w.form.OpenFile(open);
  const Song song = w.form.song();

  EXPECT_EQ(Command(w, "Cancel", m, "DoSubs=0"), "ticked " + Q(dir.path()));
  // Start, then a cancelled save dialog: the command ends, nothing is written or renamed.
  EXPECT_EQ(Command(w, "Start"), "clear " + m);
  ASSERT_EQ(w.dialogs->requests.size(), 1u);  // the Cancel asked nothing
  EXPECT_TRUE(Asked(w).startsWith("Save Catalog As|FileInfo.TXT|"));
  EXPECT_EQ(w.dialogs->requests[0].options,
            ui::kOverwritePrompt | ui::kPathMustExist | ui::kNoReadOnlyReturn | ui::kLongNames);
  EXPECT_TRUE(fs::exists(dir / "M" / "a_b.mid") && !fs::exists(dir / "FileInfo.TXT"));

  // A completed run: the catalog, the rename, the closing question, the editor.
  const fs::path catalog = dir / "my files" / "File Info.TXT";
  fs::create_directories(catalog.parent_path());
  w.dialogs->file_answers = {Q(catalog)};
  w.dialogs->button_answers = {QMessageBox::Yes};
  QUrl opened;
  const ui::BatchCommandHooks hooks{[&](const QUrl& url) { return (opened = url).isValid(); }};
  EXPECT_EQ(Command(w, "Start", {}, {}, hooks), "clear " + m);
  EXPECT_EQ(QString::fromStdString(ReadAll(catalog)),
            "------- Catalog of Midi Information -------\r\nStarting from " + m + "\r\n\r\n" + m +
                "\r\n\r\na_b.mid\r\n Type: 1kar 120BPM  0/0 Key:C Res: 480 Tracks: 2\r\n");
  EXPECT_TRUE(fs::exists(dir / "M" / "a_b.kar.mid"));
  EXPECT_EQ(w.dialogs->questions, QStringList{"Load Catalog with Notepad?"});
  EXPECT_EQ(opened, QUrl::fromLocalFile(Q(catalog)));
  EXPECT_EQ(w.form.findChild<ui::CatAsk*>("CatAsk"), nullptr);  // a finished dialog is not reused
  EXPECT_EQ(w.form.song(), song);
  EXPECT_EQ(w.Text("FName"), open);
  w.ExpectOn("Open Save SaveAs Bprocess !PlayMidi");  // Play waits for the next Open

  // Initial settings again; catalog off: nothing asked or read, spaces still converted.
  EXPECT_EQ(Command(w, "Start", m, "Catalog=0 ConvSpace=1"), "ticked " + Q(dir.path()));
  EXPECT_EQ(w.dialogs->requests.size() + w.dialogs->questions.size(), 3u);
  EXPECT_TRUE(fs::exists(dir / "M" / "a b.kar.mid"));

  // Create Database where "Midi1.db" exists: a message names it, the file stays.
  w.form.MkDB_Click();
  const std::string created = ReadAll(dir / "Midi1.db");
  w.form.MkDB_Click();
  EXPECT_EQ(w.dialogs->messages.filter(Q(dir / "Midi1.db")).size(), 1);
  EXPECT_EQ(ReadAll(dir / "Midi1.db"), created);
  QDir::setCurrent(old_current);
}

// Opens a format 1 file of named tracks; "Words" holds karaoke text, "Vocal" lyrics.
void Open(Window& w, const TempDir& dir, const std::vector<std::string>& tracks) {
  MidiBuilder b;
  b.Header(1, static_cast<int>(tracks.size()), 96);
  for (const std::string& track : tracks) {
    b.BeginTrack().Meta(0, 3, track);
    if (track == "Words") b.Meta(0, 1, "@LENGL").Meta(96, 1, "\\Hel").Meta(96, 1, "/lo");
    if (track == "Vocal") b.Meta(96, 5, "Hel").Meta(96, 5, "lo\r");
    b.EndTrack(96);
  }
  w.form.OpenFile(Put(dir, tracks.back() + ".mid", b.bytes()));
}

// The selected index and the listed tracks of the Convert Lyrics dialog.
QString Listed(Window& w) {
  auto* tracks = ui::LyrCopy::Show(w.form).findChild<QComboBox*>("Tracks");
  QStringList items = {QString::number(tracks->currentIndex())};
  for (int i = 0; i < tracks->count(); ++i) items << tracks->itemText(i);
  return items.join('|');
}

// Once a conversion shows KarInf, types the song title and presses Done, or closes the box.
void AnswerKarInf(const QString& title, bool done) {
  QTimer::singleShot(0, [title, done] {
    QWidget* modal = QApplication::activeModalWidget();
    modal->findChild<QLineEdit*>("SongT")->setText(title);
    done ? modal->findChild<QPushButton*>("Done")->click() : void(modal->close());
  });
}

TEST(LyricsDialogs, FollowTheSongConvertOnlyASelectedTrackAndCancelOnClose) {
  TempDir dir;
  Window w;
  Open(w, dir, {"Tempo", "Vocal"});  // two tracks: none is proposed
  ui::LyrCopy* dialog = &ui::LyrCopy::Show(w.form);
  EXPECT_TRUE(!dialog->isModal() && dialog->findChild<QCheckBox*>("KeepKar")->isChecked());
  auto* to_text = dialog->findChild<QPushButton*>("Command2");
  EXPECT_EQ(Listed(w), "-1| 1 Vocal");
  EXPECT_FALSE(to_text->isEnabled() || dialog->findChild<QPushButton*>("Command1")->isEnabled());
  dialog->findChild<QComboBox*>("Tracks")->setCurrentIndex(0);
  const Song before = w.form.song();
  AnswerKarInf("Typed, then closed", false);
  to_text->click();
  EXPECT_TRUE(w.form.song() == before && !w.form.isWindowModified() && dialog->isVisible());
  auto* title = ui::KarInf::Of(&w.form).findChild<QLineEdit*>("SongT");
  EXPECT_EQ(title->text() + "|" + title->toolTip(), "YOUR SONG|Enter the song name here.");

  AnswerKarInf("S\u00E4ngerin", true);
  to_text->click();
  EXPECT_TRUE(w.form.isWindowModified() && !dialog->isVisible());
  EXPECT_TRUE(w.Text("GenText").contains("\n @LENGL\n @TS\u00E4ngerin\n @TARTIST\n"));
  const ByteBuffer song = SerializeMidi(w.form.song());  // typed text is stored as UTF-8
  EXPECT_NE(std::string(song.begin(), song.end()).find("@TS\xC3\xA4ngerin"), std::string::npos);
  EXPECT_EQ(title->text(), QString("S\u00E4ngerin"));  // offered again next time
  // The new tracks are listed under their own names and the old ones keep theirs.
  EXPECT_EQ(Listed(w), "1| 1 Soft Karaoke| 2 Words| 3 Vocal");
  // Another file read while the dialog is open: the list describes it at once.
  Open(w, dir, {"Tempo", "Soft Karaoke", "Words", "Melody"});
  EXPECT_EQ(Listed(w), "1| 1 Soft Karaoke| 2 Words| 3 Melody");
  ASSERT_FALSE(w.form.isWindowModified());  // a song just read has nothing unsaved
  ui::LyrCopy::Show(w.form).findChild<QPushButton*>("Command1")->click();
  EXPECT_TRUE(w.form.isWindowModified());
  EXPECT_TRUE(w.Text("GenText").contains("\\Hel"));   // KeepKar keeps the text events
  EXPECT_EQ(w.Text("Lyrics"), "@LENGL \nHel \nlo ");  // "@LENGL \r", "Hel \r", "lo "
}

}  // namespace
}  // namespace quaverly::testing
