#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <functional>

#include "MidiBuilder.h"
#include "UiFakes.h"
#include "ui/BatchCommand.h"
#include "ui/CatAsk.h"
#include "ui/Form1.h"

namespace quaverly {
namespace {

namespace fs = std::filesystem;
using testing::App;
using testing::FakeDialogs;
using testing::FakeSequencer;
using testing::MidiBuilder;
using testing::ReadAll;
using testing::TempDir;
using testing::WriteBytes;
using ui::CatAsk;

std::vector<uint8_t> KaraokeSong() {
  MidiBuilder b;
  b.Header(1, 2, 480).BeginTrack().Tempo(0, 500000).EndTrack();
  b.BeginTrack().Meta(0, 0x01, "@KMIDI KARAOKE FILE").Event(0, {0x90, 60, 1}).EndTrack();
  return b.bytes();
}

QString Q(const fs::path& path) { return QString::fromStdString(path.string()); }

struct Window {
  FakeDialogs* dialogs = new FakeDialogs;
  ui::Form1 form{std::unique_ptr<ui::UserDialogs>(dialogs), std::make_unique<FakeSequencer>()};

  CatAsk* Ask() { return form.findChild<CatAsk*>(QStringLiteral("CatAsk")); }
  // Runs the command; while its dialog is shown, act on it and press the named button.
  void Run(const std::function<void(CatAsk&)>& act, const char* button,
           const ui::BatchCommandHooks& hooks = {}) {
    QTimer::singleShot(0, &form, [this, act, button] {
      CatAsk* ask = Ask();
      ASSERT_NE(ask, nullptr);
      EXPECT_TRUE(ask->isVisible());
      if (act) act(*ask);
      ask->findChild<QPushButton*>(QLatin1String(button))->click();
    });
    ui::RunBatchCommand(form, hooks);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
};

bool Checked(CatAsk& ask, const char* name) {
  return ask.findChild<QAbstractButton*>(QLatin1String(name))->isChecked();
}

TEST(BatchDialogTest, EveryControlStartsInItsInitialState) {
  App();
  CatAsk ask;
  EXPECT_EQ(ask.windowTitle(), "Batch Processing (*.Mid)");
  struct Expected {
    const char* name;
    const char* caption;
    bool checked;
    bool enabled;
  };
  const Expected controls[] = {
      {"DoSubs", "&Include Subfolders", true, true},
      {"RenKar", "Rename Karaoke files", true, true},
      {"Catalog", "Create Catalog", true, true},
      {"IFType", "File Type", true, false},
      {"IFTracks", "# of Tracks", true, false},
      {"IFRes", "Resoloution", true, false},
      {"IFTempo", "Tempo", true, false},
      {"IFKey", "Key Signature", true, false},
      {"IfTime", "Time Signature", true, false},
      {"IFCopy", "Copyright Text", false, false},
      {"IFMarker", "1st Marker", false, false},
      {"IFKar", "Karaoke", true, false},
      {"IFLyrics", "Lyrics", false, false},
      {"Delimit_0", "Tab Delimited", true, false},
      {"Delimit_1", "Comma Delimited", false, false},
      {"Confirm", "Confirm Name Changes", false, false},
      {"ConvExt", "Change File Type", false, false},
      {"ConvSpace", "Convert Spaces", false, true},
      {"Ext_1", "Convert .mid to .MID", false, false},
      {"Ext_0", "Convert .MID to .mid", true, false},
      {"Spaces_1", "Convert Space \" \" to Underscore \"_\"", false, true},
      {"Spaces_0", "Convert Underscore \"_\" To Space \" \"", true, true},
      {"Start", "&Start", false, true},
      {"Cancel", "&Cancel", false, true},
  };
  for (const Expected& c : controls) {
    auto* button = ask.findChild<QAbstractButton*>(QLatin1String(c.name));
    ASSERT_NE(button, nullptr) << c.name;
    EXPECT_EQ(button->text(), c.caption) << c.name;
    EXPECT_EQ(button->isChecked(), c.checked) << c.name;
    EXPECT_EQ(button->isEnabled(), c.enabled) << c.name;
  }
  EXPECT_TRUE(ask.findChild<QPushButton*>("Start")->isDefault());
  EXPECT_EQ(ask.Folder(), QDir::currentPath());
  EXPECT_EQ(ask.findChild<QGroupBox*>("Frame2")->title(), "Options");
  EXPECT_EQ(ask.findChild<QGroupBox*>("Frame6")->title(), "File Name Processing");

  // File1 lists the folder's MIDI files in any letter case, by name, without hidden ones.
  TempDir dir;
  for (const char* name : {"b.MID", "a.mid", ".hidden.mid", "notes.txt"}) {
    WriteBytes(dir / name, KaraokeSong());
  }
  ask.SetFolder(Q(dir.path()));
  auto* files = ask.findChild<QListWidget*>("File1");
  ASSERT_EQ(files->count(), 2);
  EXPECT_EQ(files->item(0)->text(), "a.mid");
  EXPECT_EQ(files->item(1)->text(), "b.MID");
}

TEST(BatchDialogTest, SettingsLastUntilARunCompletes) {
  App();
  TempDir dir;
  const fs::path m = dir / "M";
  fs::create_directories(m);
  WriteBytes(m / "a_b.mid", KaraokeSong());
  const QString old_current = QDir::currentPath();
  QDir::setCurrent(Q(dir.path()));
  Window w;

  w.Run([](CatAsk& ask) { ask.findChild<QCheckBox*>("DoSubs")->setChecked(false); }, "Cancel");
  EXPECT_TRUE(w.dialogs->requests.empty());
  EXPECT_TRUE(w.dialogs->questions.empty());
  EXPECT_FALSE(w.form.findChild<QAction*>("PlayMidi")->isEnabled());

  // Start, then a cancelled save dialog: the command ends, nothing is written or renamed.
  w.dialogs->file_answers = {std::nullopt};
  w.Run(
      [&](CatAsk& ask) {
        EXPECT_FALSE(Checked(ask, "DoSubs"));
        ask.SetFolder(Q(m));
      },
      "Start");
  ASSERT_EQ(w.dialogs->requests.size(), 1u);
  EXPECT_EQ(w.dialogs->requests[0].title, "Save Catalog As");
  EXPECT_EQ(w.dialogs->requests[0].file_name, "FileInfo.TXT");
  EXPECT_EQ(w.dialogs->requests[0].options,
            ui::kOverwritePrompt | ui::kPathMustExist | ui::kNoReadOnlyReturn | ui::kLongNames);
  EXPECT_EQ(w.dialogs->requests[0].action, ui::DialogAction::kSave);
  EXPECT_FALSE(fs::exists(dir / "FileInfo.TXT"));
  EXPECT_TRUE(fs::exists(m / "a_b.mid"));
  EXPECT_TRUE(w.dialogs->questions.empty());

  // A completed run: the catalog, the rename, the closing question, the editor.
  const fs::path catalog = dir / "my files" / "File Info.TXT";
  fs::create_directories(catalog.parent_path());
  w.dialogs->file_answers = {Q(catalog)};
  w.dialogs->button_answers = {QMessageBox::Yes};
  std::vector<QUrl> opened;
  ui::BatchCommandHooks hooks;
  hooks.open_url = [&](const QUrl& url) {
    opened.push_back(url);
    return true;
  };
  w.Run([&](CatAsk& ask) { EXPECT_EQ(ask.Folder(), Q(m)); }, "Start", hooks);
  EXPECT_EQ(ReadAll(catalog), "------- Catalog of Midi Information -------\r\nStarting from " +
                                  m.string() + "\r\n\r\n" + m.string() +
                                  "\r\n\r\na_b.mid\r\n Type: 1kar 120BPM  0/0 Key:C Res: 480 "
                                  "Tracks: 2\r\n");
  EXPECT_TRUE(fs::exists(m / "a_b.kar.mid"));
  EXPECT_EQ(w.dialogs->questions, std::vector<QString>{"Load Catalog with Notepad?"});
  EXPECT_EQ(opened, std::vector<QUrl>{QUrl::fromLocalFile(Q(catalog))});
  EXPECT_EQ(w.Ask(), nullptr);

  // The next command starts from the initial settings again.
  w.Run([](CatAsk& ask) { EXPECT_TRUE(Checked(ask, "DoSubs")); }, "Cancel");
  QDir::setCurrent(old_current);
}

TEST(BatchDialogTest, ARunLeavesTheOpenSongAlone) {
  App();
  TempDir dir;
  const fs::path open = dir / "open.mid";
  WriteBytes(open, KaraokeSong());
  const fs::path m = dir / "M";
  fs::create_directories(m);
  WriteBytes(m / "x_y.mid", KaraokeSong());
  Window w;
  w.form.OpenFile(Q(open));
  const Song before = w.form.song();
  const bool save_enabled = w.form.findChild<QAction*>("Save")->isEnabled();

  // Catalog off: nothing asked, nothing read, but spaces are still converted.
  w.Run(
      [&](CatAsk& ask) {
        ask.SetFolder(Q(m));
        ask.findChild<QCheckBox*>("Catalog")->setChecked(false);
        ask.findChild<QCheckBox*>("ConvSpace")->setChecked(true);
      },
      "Start");
  EXPECT_TRUE(w.dialogs->requests.empty());
  EXPECT_TRUE(w.dialogs->questions.empty());
  EXPECT_TRUE(fs::exists(m / "x y.mid"));
  EXPECT_EQ(w.form.DocumentPath(), open);
  EXPECT_EQ(w.form.song(), before);
  EXPECT_EQ(w.form.findChild<QLabel*>("FName")->text(), Q(open));
  EXPECT_EQ(w.form.findChild<QAction*>("Save")->isEnabled(), save_enabled);
  EXPECT_TRUE(w.form.findChild<QAction*>("Open")->isEnabled());
  EXPECT_TRUE(w.form.findChild<QAction*>("Bprocess")->isEnabled());
}

TEST(BatchDialogTest, CreateDatabaseNamesAnExistingFile) {
  App();
  TempDir dir;
  const QString old_current = QDir::currentPath();
  QDir::setCurrent(Q(dir.path()));
  Window w;
  w.form.MkDB_Click();
  EXPECT_TRUE(w.dialogs->messages.empty());
  const std::string created = ReadAll(dir / "Midi1.db");
  w.form.MkDB_Click();
  ASSERT_EQ(w.dialogs->messages.size(), 1u);
  EXPECT_TRUE(w.dialogs->messages[0].contains(Q(dir / "Midi1.db")));
  EXPECT_EQ(ReadAll(dir / "Midi1.db"), created);
  QDir::setCurrent(old_current);
}

}  // namespace
}  // namespace quaverly
