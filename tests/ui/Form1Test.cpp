#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QUrl>
#include <cstdlib>

#include "MidiBuilder.h"
#include "UiFakes.h"
#include "ui/Form1.h"
#include "ui/frmSplash.h"
#include "writer/WriteMidiFile.h"

namespace quaverly::ui {
namespace {

using testing::App;
using testing::FakeDialogs;
using testing::FakeSequencer;
using testing::MidiBuilder;
using testing::ReadAll;
using testing::TempDir;
using testing::WriteBytes;

struct Window {
  Window() {
    App();
    auto fake_dialogs = std::make_unique<FakeDialogs>();
    auto fake_sequencer = std::make_unique<FakeSequencer>();
    dialogs = fake_dialogs.get();
    sequencer = fake_sequencer.get();
    form = std::make_unique<Form1>(std::move(fake_dialogs), std::move(fake_sequencer));
  }
  QString Text(const char* name) const {
    if (auto* label = form->findChild<QLabel*>(name)) return label->text();
    if (auto* edit = form->findChild<QLineEdit*>(name)) return edit->text();
    if (auto* box = form->findChild<QPlainTextEdit*>(name)) return box->toPlainText();
    ADD_FAILURE() << "no control " << name;
    return {};
  }
  // The report without its timing line, which varies.
  QString FileInfoBeforeTime() const {
    QString text = Text("FileInfo");
    static const QRegularExpression kTime(QStringLiteral(" File Open Time: [0-9.]+$"));
    EXPECT_TRUE(text.contains(kTime)) << text.toStdString();
    return text.remove(kTime);
  }
  bool On(const char* name) const {
    if (auto* action = form->findChild<QAction*>(name)) return action->isEnabled();
    if (auto* widget = form->findChild<QWidget*>(name)) return widget->isEnabled();
    ADD_FAILURE() << "no control " << name;
    return false;
  }
  FakeDialogs* dialogs;
  FakeSequencer* sequencer;
  std::unique_ptr<Form1> form;
};

QString Q(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

std::vector<uint8_t> LyricsSong() {
  return MidiBuilder()
      .Header(0, 1, 96)
      .BeginTrack()
      .Meta(0, 2, "(c) Me")
      .Meta(0, 3, "Canci\xC3\xB3n")  // UTF-8
      .Tempo(0, 500000)
      .Meta(0, 0x58, std::string("\x04\x02\x18\x08", 4))
      .Meta(0, 0x59, std::string("\xFD\x00", 2))
      .Meta(0, 5, "Hel")
      .Meta(10, 5, "lo")
      .Meta(10, 5, "\r")
      .Meta(10, 5, "Caf\xE9")  // Windows-1252
      .Event(0, {0x90, 60, 100})
      .Event(96, {0x80, 60, 0})
      .EndTrack()
      .bytes();
}

std::vector<uint8_t> MarkersSong() {
  return MidiBuilder()
      .Header(1, 2, 120)
      .BeginTrack()
      .Meta(0, 6, "Verse")
      .Meta(480, 6, "Chorus")
      .EndTrack()
      .BeginTrack()
      .Event(0, {0x90, 64, 90})
      .Event(240, {0x80, 64, 0})
      .EndTrack()
      .bytes();
}

TEST(Form1, StartsWithEmptySummaryAndOnlySonglessCommandsEnabled) {
  qputenv("TEMP", "/var/tmp/q");
  Window w;
  EXPECT_EQ(w.form->windowTitle(), "Quaverly[*]");
  EXPECT_EQ(w.Text("FName"), "No File Open");
  EXPECT_EQ(w.Text("FType"), "Type --");
  EXPECT_EQ(w.Text("FTracks"), "0");
  EXPECT_EQ(w.Text("FTimeSig"), "?/?");
  EXPECT_EQ(w.Text("FKeySig"), "?");
  EXPECT_EQ(w.Text("FTempo"), "???");
  EXPECT_EQ(w.Text("FCopyTxt"), "");
  EXPECT_EQ(w.Text("Label2"), "Tracks:");
  EXPECT_EQ(w.Text("Label6"), "Copyright Text:");
  for (const char* box : {"FileInfo", "GenText", "Lyrics", "Markers"}) EXPECT_EQ(w.Text(box), "");
  for (const char* on : {"Open", "Bprocess", "exitmenu", "About", "Command3", "Command4"}) {
    EXPECT_TRUE(w.On(on)) << on;
  }
  for (const char* off :
       {"PlayMidi", "StopMidi", "Save", "SaveAs", "ConvLyr", "MkDB", "WriteOut", "MidiPlay"}) {
    EXPECT_FALSE(w.On(off)) << off;
  }
  // The test controls exist with their texts but are never shown or focused.
  w.form->show();
  EXPECT_EQ(w.Text("testfile"), "D:\\ZUR30\\alonenow.mid");
  EXPECT_EQ(w.Text("OutFile"), "d:\\zur30\\Test.mid");
  EXPECT_EQ(w.Text("Label1"), "Output file:");
  for (const char* name : {"Command3", "testfile", "Command4", "WriteOut", "OutFile", "Command1"}) {
    auto* control = w.form->findChild<QWidget*>(name);
    ASSERT_NE(control, nullptr) << name;
    EXPECT_FALSE(control->isVisible()) << name;
    EXPECT_EQ(control->focusPolicy(), Qt::NoFocus) << name;
  }

  EXPECT_EQ(w.form->TempDir(), "/var/tmp/q/");
  qputenv("TEMP", "/var/tmp/q/");
  EXPECT_EQ(Window().form->TempDir(), "/var/tmp/q/");
  qunsetenv("TEMP");
  EXPECT_EQ(Window().form->TempDir(), QDir::tempPath() + "/");
}

TEST(Form1, OpenShowsSummaryReportAndTextsAndEnablesByContent) {
  TempDir dir;
  const auto lyrics_bytes = LyricsSong();
  WriteBytes(dir / "lyrics.mid", lyrics_bytes);
  WriteBytes(dir / "markers.mid", MarkersSong());
  Window w;
  w.dialogs->file_answers = {Q(dir / "lyrics.mid"), Q(dir / "markers.mid")};

  w.form->Open_Click();
  ASSERT_EQ(w.dialogs->requests.size(), 1u);
  const FileDialogRequest& open = w.dialogs->requests[0];
  EXPECT_EQ(open.file_name, "D:\\ZUR30\\alonenow.mid");
  EXPECT_EQ(open.filter, kMidiFilter);
  EXPECT_EQ(open.title, "Open");
  EXPECT_EQ(open.action, DialogAction::kOpen);
  EXPECT_EQ(open.options & kNoReadOnlyReturn, 0u);

  EXPECT_EQ(w.Text("FName"), Q(dir / "lyrics.mid"));
  EXPECT_EQ(w.Text("testfile"), Q(dir / "lyrics.mid"));
  EXPECT_EQ(w.Text("FType"), "Type 0");
  EXPECT_EQ(w.Text("FTracks"), " 1");
  EXPECT_EQ(w.Text("FTempo"), "120 BPM");
  EXPECT_EQ(w.Text("FTimeSig"), "4/4");
  EXPECT_EQ(w.Text("FKeySig"), "Eb");
  EXPECT_EQ(w.Text("FCopyTxt"), "(c) Me");
  const int length = static_cast<int>(lyrics_bytes.size()) - 22;
  EXPECT_EQ(w.FileInfoBeforeTime(),
            QString("Delta Time format 96 Ticks per Quarter Note (If Positive)\n"
                    "Track 0  Length: %1\nCopyright Text: (c) Me\n"
                    "Sequence/Track Name: Canci\u00F3n\n")
                .arg(length));
  EXPECT_EQ(w.Text("Lyrics"), "Hello\nCaf\u00E9");
  EXPECT_EQ(w.Text("GenText"), "");
  for (const char* on : {"Save", "SaveAs", "PlayMidi", "ConvLyr", "WriteOut", "Command3"}) {
    EXPECT_TRUE(w.On(on)) << on;
  }
  EXPECT_FALSE(w.On("MkDB"));
  // Display decodes; the song keeps the file's bytes.
  EXPECT_EQ(SerializeMidi(w.form->song()), lyrics_bytes);

  w.form->Open_Click();
  EXPECT_EQ(w.dialogs->requests[1].file_name, Q(dir / "lyrics.mid"));
  EXPECT_EQ(w.Text("FType"), "Type 1");
  EXPECT_EQ(w.Text("FTracks"), " 2");
  EXPECT_EQ(w.Text("FTempo"), "???");
  EXPECT_EQ(w.Text("FKeySig"), "?");
  EXPECT_EQ(w.Text("FCopyTxt"), "");
  EXPECT_EQ(w.Text("Markers"), "Verse\nChorus\n");
  EXPECT_EQ(w.Text("Lyrics"), "");
  EXPECT_FALSE(w.On("ConvLyr"));
  EXPECT_TRUE(w.On("Save"));
}

TEST(Form1, FailedReadsEnableNothingThatCouldOverwriteTheFile) {
  TempDir dir;
  WriteBytes(dir / "good.mid", LyricsSong());
  WriteBytes(dir / "notmidi.mid", std::vector<uint8_t>{'R', 'I', 'F', 'F', 0, 0, 0, 4, 'W'});
  auto damaged = MidiBuilder()
                     .Header(1, 1, 96)
                     .BeginTrack()
                     .Meta(0, 1, "@KTitle")
                     .Raw({0x00, 0x90, 60})
                     .EndChunk()
                     .bytes();
  WriteBytes(dir / "damaged.mid", damaged);
  Window w;
  w.form->OpenFile(Q(dir / "good.mid"));

  w.form->OpenFile(Q(dir / "notmidi.mid"));
  EXPECT_EQ(w.FileInfoBeforeTime(), "Not a standard MIDI file.");
  EXPECT_EQ(w.Text("FName"), Q(dir / "notmidi.mid"));
  EXPECT_EQ(w.Text("FType"), "Type --");
  EXPECT_EQ(w.Text("FTracks"), "0");
  EXPECT_EQ(w.Text("FTempo"), "???");
  for (const char* off : {"Save", "SaveAs", "PlayMidi", "MidiPlay", "WriteOut", "ConvLyr"}) {
    EXPECT_FALSE(w.On(off)) << off;
  }
  EXPECT_TRUE(w.On("Command3"));
  EXPECT_TRUE(w.On("Open"));

  w.form->OpenFile(Q(dir / "damaged.mid"));
  EXPECT_EQ(w.FileInfoBeforeTime(), "Cound not read entire file!");
  EXPECT_EQ(w.Text("FType"), "Type 1");
  EXPECT_EQ(w.Text("GenText"), " @KTitle\n");
  EXPECT_FALSE(w.On("Save"));
  for (const char* on : {"SaveAs", "PlayMidi", "MidiPlay", "WriteOut", "ConvLyr"}) {
    EXPECT_TRUE(w.On(on)) << on;
  }

  // A missing file reads as not MIDI and says why in the status bar.
  w.form->OpenFile(Q(dir / "missing.mid"));
  EXPECT_EQ(w.FileInfoBeforeTime(), "Not a standard MIDI file.");
  EXPECT_TRUE(w.form->statusBar()->currentMessage().contains("missing.mid"));
  EXPECT_FALSE(w.On("SaveAs"));

  // Read Midi File enables nothing of its own but also limits Save after a failed read.
  w.form->OpenFile(Q(dir / "good.mid"));
  w.form->findChild<QLineEdit*>("testfile")->setText(Q(dir / "damaged.mid"));
  w.form->Command3_Click();
  EXPECT_FALSE(w.On("Save"));
  EXPECT_TRUE(w.On("SaveAs"));
  EXPECT_EQ(w.Text("FileInfo"), "Cound not read entire file!");
  EXPECT_EQ(w.Text("FType"), "Type 1");
}

TEST(Form1, CancelledDialogsChangeNothing) {
  TempDir dir;
  WriteBytes(dir / "a.mid", LyricsSong());
  Window w;
  w.form->OpenFile(Q(dir / "a.mid"));
  w.form->song().Header.Division = 192;  // would show if the file were read again
  const QString report = w.Text("FileInfo");

  w.form->Open_Click();  // no answer queued: the user cancels
  EXPECT_EQ(w.Text("FileInfo"), report);
  EXPECT_EQ(w.form->song().Header.Division, 192);
  EXPECT_EQ(w.Text("testfile"), Q(dir / "a.mid"));

  w.form->SaveAs_Click();
  EXPECT_EQ(w.Text("OutFile"), "d:\\zur30\\Test.mid");
  EXPECT_EQ(w.Text("FName"), Q(dir / "a.mid"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(Form1, SaveAsMakesTheChosenFileTheDocument) {
  TempDir dir;
  const auto original = LyricsSong();
  WriteBytes(dir / "a.mid", original);
  Window w;
  w.form->OpenFile(Q(dir / "a.mid"));
  // A batch run leaves its own title and options in the shared dialog.
  w.form->cdlg().SetDialogTitle("Save Catalog As");
  w.form->cdlg().SetFlags(kOverwritePrompt | kPathMustExist | kNoReadOnlyReturn | kLongNames);

  w.dialogs->file_answers = {Q(dir / "b.mid")};
  w.form->SaveAs_Click();
  const FileDialogRequest& save_as = w.dialogs->requests.back();
  EXPECT_EQ(save_as.title, "Save As");
  EXPECT_EQ(save_as.file_name, "");
  EXPECT_EQ(save_as.filter, "All Files (*.*)|*.*");
  EXPECT_EQ(save_as.action, DialogAction::kSave);
  EXPECT_NE(save_as.options & kOverwritePrompt, 0u);
  EXPECT_NE(save_as.options & kNoReadOnlyReturn, 0u);
  EXPECT_EQ(w.Text("FName"), Q(dir / "b.mid"));
  EXPECT_EQ(w.Text("OutFile"), Q(dir / "b.mid"));
  EXPECT_EQ(w.form->DocumentPath(), dir / "b.mid");
  EXPECT_EQ(ReadAll(dir / "b.mid"), ReadAll(dir / "a.mid"));

  w.form->song().Header.Division = 192;
  w.form->SongEdited();
  EXPECT_TRUE(w.form->isWindowModified());
  w.form->Save_Click();
  EXPECT_FALSE(w.form->isWindowModified());
  EXPECT_EQ(ReadAll(dir / "a.mid"), std::string(original.begin(), original.end()));
  EXPECT_EQ(static_cast<uint8_t>(ReadAll(dir / "b.mid")[13]), 192);

  // The next Open neither keeps Save As's title nor refuses read-only files.
  w.form->Open_Click();
  EXPECT_EQ(w.dialogs->requests.back().title, "Open");
  EXPECT_EQ(w.dialogs->requests.back().options & (kNoReadOnlyReturn | kOverwritePrompt), 0u);
  EXPECT_TRUE(w.dialogs->messages.empty());
}

TEST(Form1, FailedWriteIsToldWithFileAndReasonAndKeepsDocument) {
  TempDir dir;
  const auto original = LyricsSong();
  WriteBytes(dir / "a.mid", original);
  WriteBytes(dir / "blocker", original);  // a file where a folder should be
  Window w;
  w.form->OpenFile(Q(dir / "a.mid"));
  w.form->song().Header.Division = 192;
  w.form->SongEdited();

  const QString target = Q(dir / "blocker" / "b.mid");
  w.dialogs->file_answers = {target};
  w.form->SaveAs_Click();
  ASSERT_EQ(w.dialogs->messages.size(), 1u);
  EXPECT_TRUE(w.dialogs->messages[0].contains(target));
  EXPECT_TRUE(w.dialogs->messages[0].contains("Not a directory"));
  EXPECT_EQ(w.Text("FName"), Q(dir / "a.mid"));
  EXPECT_EQ(w.form->DocumentPath(), dir / "a.mid");
  EXPECT_TRUE(w.form->isWindowModified());

  // A folder in the document's place cannot be replaced: the message names it, it stays.
  std::filesystem::remove(dir / "a.mid");
  std::filesystem::create_directory(dir / "a.mid");
  w.form->Save_Click();
  ASSERT_EQ(w.dialogs->messages.size(), 2u);
  EXPECT_TRUE(w.dialogs->messages[1].contains(Q(dir / "a.mid")));
  EXPECT_TRUE(std::filesystem::is_directory(dir / "a.mid"));
  EXPECT_TRUE(w.form->isWindowModified());
  EXPECT_EQ(ReadAll(dir / "blocker"), std::string(original.begin(), original.end()));
}

TEST(Form1, PlayReleasesTheSequencerBeforeReplacingTheTemporaryFile) {
  TempDir dir;
  WriteBytes(dir / "a.mid", LyricsSong());
  qputenv("TEMP", QByteArray::fromStdString(dir.path().string()));
  Window w;
  qunsetenv("TEMP");
  w.form->OpenFile(Q(dir / "a.mid"));
  const auto temp_file = dir / "TEMPMIDI.MID";
  const auto first = SerializeMidi(w.form->song());

  w.form->PlayMidi_Click();
  EXPECT_EQ(w.sequencer->log, (std::vector<std::string>{"open " + temp_file.string(), "play"}));
  EXPECT_EQ(ReadAll(temp_file), std::string(first.begin(), first.end()));
  EXPECT_TRUE(w.On("StopMidi"));
  EXPECT_TRUE(w.On("MidiStop"));

  w.form->song().Header.Division = 192;
  w.form->PlayMidi_Click();
  EXPECT_EQ(w.sequencer->log.size(), 5u);
  EXPECT_EQ(w.sequencer->log[2].substr(0, 5), "close");
  ASSERT_EQ(w.sequencer->file_at_close.size(), 1u);
  EXPECT_EQ(w.sequencer->file_at_close[0], std::string(first.begin(), first.end()));
  const auto second = SerializeMidi(w.form->song());
  EXPECT_EQ(ReadAll(temp_file), std::string(second.begin(), second.end()));

  w.form->StopMidi_Click();
  EXPECT_EQ(w.sequencer->log.back(), "stop");
  EXPECT_FALSE(w.On("StopMidi"));
  EXPECT_TRUE(w.On("PlayMidi"));

  // No sound output: the status bar says so and the commands stay as they were.
  w.sequencer->open_error = "No SoundFont found";
  w.form->PlayMidi_Click();
  EXPECT_TRUE(w.form->statusBar()->currentMessage().contains("No SoundFont found"));
  EXPECT_FALSE(w.On("StopMidi"));
  EXPECT_TRUE(w.On("PlayMidi"));

  // Closing the window releases the sequencer.
  w.sequencer->open_error.clear();
  w.form->PlayMidi_Click();
  EXPECT_TRUE(w.form->close());
  EXPECT_FALSE(w.sequencer->IsOpen());
}

TEST(Form1, AboutBoxIsTheHiddenSplashAndReloadsAfterClose) {
  Window w;
  w.form->ShowSplash();
  QPointer<frmSplash> splash = w.form->findChild<frmSplash*>();
  ASSERT_TRUE(splash);
  w.form->HideSplash();
  EXPECT_FALSE(splash->isVisible());

  w.form->About_Click();
  EXPECT_EQ(w.form->findChild<frmSplash*>(), splash.data());
  EXPECT_TRUE(splash->isVisible());
  EXPECT_EQ(splash->windowModality(), Qt::ApplicationModal);
  EXPECT_EQ(splash->findChild<QLabel*>("lblVersion")->text(), "Version 0.0.18");
  EXPECT_EQ(splash->findChild<QLabel*>("lblPlatform")->text(), "Linux");
  EXPECT_EQ(splash->findChild<QLabel*>("lblProductName")->text(), "Quaverly");
  EXPECT_FALSE(splash->findChild<QLabel*>("AppDesc")->text().isEmpty());

  splash->findChild<QPushButton*>("Command1")->click();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(splash.isNull());

  w.form->About_Click();
  QPointer<frmSplash> again = w.form->findChild<frmSplash*>();
  ASSERT_TRUE(again);
  EXPECT_TRUE(again->isVisible());
  EXPECT_EQ(again->findChild<QLabel*>("lblVersion")->text(), "Version 0.0.18");
  again->reject();  // Escape
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(again.isNull());
}

TEST(Form1, UnsavedChangesAreAskedAboutBeforeOpenExitAndClose) {
  TempDir dir;
  WriteBytes(dir / "a.mid", LyricsSong());
  Window w;
  w.form->show();
  w.form->OpenFile(Q(dir / "a.mid"));
  w.form->song().Header.Division = 192;
  w.form->SongEdited();
  EXPECT_EQ(w.Text("Lyrics"), "Hello\nCaf\u00E9");

  w.dialogs->button_answers = {QMessageBox::Cancel};
  w.form->Open_Click();
  EXPECT_EQ(w.dialogs->questions.size(), 1u);
  EXPECT_TRUE(w.dialogs->requests.empty());
  w.dialogs->button_answers = {QMessageBox::Cancel};
  w.form->exitmenu_Click();
  EXPECT_TRUE(w.form->isVisible());
  w.dialogs->button_answers = {QMessageBox::Cancel};
  EXPECT_FALSE(w.form->close());

  w.dialogs->button_answers = {QMessageBox::Cancel};
  w.form->Command3_Click();  // Read Midi File would replace the edited song
  EXPECT_EQ(w.form->song().Header.Division, 192);

  w.dialogs->button_answers = {QMessageBox::Discard};
  w.form->Open_Click();  // then cancels the file dialog
  EXPECT_EQ(w.dialogs->requests.size(), 1u);

  w.dialogs->button_answers = {QMessageBox::Save};
  EXPECT_TRUE(w.form->close());
  EXPECT_EQ(static_cast<uint8_t>(ReadAll(dir / "a.mid")[13]), 192);
  EXPECT_EQ(w.dialogs->questions.size(), 6u);
}

TEST(Form1, DroppedFileIsOpenedAndBatchDisablesSongCommands) {
  TempDir dir;
  WriteBytes(dir / "a.mid", LyricsSong());
  Window w;
  w.form->show();
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(Q(dir / "a.mid"))});
  QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  // Straight to the window: the application's drag-and-drop routing needs a real drag.
  static_cast<QObject*>(w.form.get())->event(&drop);
  EXPECT_EQ(w.Text("testfile"), Q(dir / "a.mid"));
  EXPECT_EQ(w.Text("FName"), Q(dir / "a.mid"));
  EXPECT_EQ(w.Text("FType"), "Type 0");

  w.form->BeginBatch();
  w.form->ShowInFName("/music/other.mid");
  for (const char* off : {"Open", "Save", "SaveAs", "PlayMidi", "ConvLyr", "Bprocess", "Command3",
                          "WriteOut", "MidiPlay"}) {
    EXPECT_FALSE(w.On(off)) << off;
  }
  w.form->EndBatch();
  EXPECT_EQ(w.Text("FName"), Q(dir / "a.mid"));
  for (const char* on : {"Open", "Save", "SaveAs", "PlayMidi", "ConvLyr", "Bprocess", "WriteOut"}) {
    EXPECT_TRUE(w.On(on)) << on;
  }
}

TEST(Form1, OpensEveryCorpusFileWithAConsistentState) {
  const std::filesystem::path corpus = QUAVERLY_CORPUS;
  if (!std::filesystem::is_directory(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
  Window w;
  int opened = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(corpus)) {
    if (!entry.is_regular_file()) continue;
    const std::string ext = entry.path().extension().string();
    if (ext != ".mid" && ext != ".MID" && ext != ".kar" && ext != ".midi") continue;
    w.form->OpenFile(Q(entry.path()));
    ++opened;
    const QString report = w.Text("FileInfo");
    EXPECT_TRUE(report.contains(" File Open Time: ")) << entry.path();
    // Save implies a complete read, which Save As and Play allow as well.
    if (w.On("Save")) {
      EXPECT_TRUE(w.On("SaveAs") && w.On("PlayMidi")) << entry.path();
    }
    if (report.startsWith("Cound not read")) {
      EXPECT_FALSE(w.On("Save")) << entry.path();
    }
  }
  EXPECT_GT(opened, 100);
}

}  // namespace
}  // namespace quaverly::ui
