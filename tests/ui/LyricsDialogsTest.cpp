#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <memory>

#include "MidiBuilder.h"
#include "TempDir.h"
#include "UiFakes.h"
#include "lyrics/Lyrics.h"
#include "ui/Form1.h"
#include "ui/KarInf.h"
#include "ui/LyrCopy.h"

namespace quaverly::ui {
namespace {

using testing::MidiBuilder;
using testing::TempDir;

// Runs `act` on the modal dialog once it is shown by the call that follows.
void WhenModal(std::function<void(QWidget*)> act) {
  auto* timer = new QTimer;
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [timer, act] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      timer->stop();
      timer->deleteLater();
      act(modal);
    }
  });
  timer->start();
}

template <typename T>
T* Child(QObject* parent, const char* name) {
  T* child = parent->findChild<T*>(QLatin1String(name));
  EXPECT_NE(child, nullptr) << name;
  return child;
}

class LyricsDialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::App();
    form_ = std::make_unique<Form1>(std::make_unique<testing::FakeDialogs>(),
                                    std::make_unique<testing::FakeSequencer>());
  }

  // Writes a format 1 file of named tracks; "Words" holds karaoke text, "Vocal" lyrics.
  QString File(const std::string& name, std::vector<std::string> tracks) {
    MidiBuilder b;
    b.Header(1, static_cast<int>(tracks.size()), 96);
    for (const std::string& track : tracks) {
      b.BeginTrack().Meta(0, 3, track);
      if (track == "Words") b.Meta(0, 1, "@LENGL").Meta(96, 1, "\\Hel").Meta(96, 1, "/lo");
      if (track == "Vocal") b.Meta(96, 5, "Hel").Meta(96, 5, "lo\r");
      b.EndTrack(96);
    }
    const auto path = dir_ / name;
    testing::WriteBytes(path, b.bytes());
    return QString::fromStdString(path.string());
  }

  LyrCopy* Open(const QString& path) {
    form_->OpenFile(path);
    return &LyrCopy::Show(*form_);
  }

  TempDir dir_;
  std::unique_ptr<Form1> form_;
};

TEST_F(LyricsDialogsTest, KarInfKeepsConfirmedTextsAndCancelsOnClose) {
  KarInf& dialog = KarInf::Of(form_.get());
  EXPECT_EQ(&KarInf::Of(form_.get()), &dialog);
  auto* title = Child<QLineEdit>(&dialog, "SongT");
  EXPECT_EQ(title->text(), "YOUR SONG");
  EXPECT_EQ(title->toolTip(), "Enter the song name here.");

  WhenModal([](QWidget* modal) {
    modal->findChild<QLineEdit*>("SongT")->setText("My Song");
    modal->findChild<QLineEdit*>("SongA")->setText(QString::fromUtf8("Sängerin"));
    modal->findChild<QPushButton*>("Done")->click();
  });
  const std::optional<KaraokeInfo> info = dialog.Ask();
  ASSERT_TRUE(info);
  EXPECT_EQ(info->Language, "ENGL");
  EXPECT_EQ(info->Title, "My Song");
  EXPECT_EQ(info->Artist, "S\xC3\xA4ngerin");

  WhenModal([](QWidget* modal) {
    EXPECT_EQ(modal->findChild<QLineEdit*>("SongT")->text(), "My Song");
    modal->findChild<QLineEdit*>("SongT")->setText("Typed, then closed");
    modal->close();
  });
  EXPECT_FALSE(KarInf::Of(form_.get()).Ask());
  EXPECT_EQ(title->text(), "My Song");
}

TEST_F(LyricsDialogsTest, TrackListFollowsTheSongAndConversionsNeedASelection) {
  LyrCopy* dialog = Open(File("a.kar", {"Tempo", "Soft Karaoke", "Words", "Melody"}));
  EXPECT_FALSE(dialog->isModal());
  auto* tracks = Child<QComboBox>(dialog, "Tracks");
  auto* to_lyrics = Child<QPushButton>(dialog, "Command1");
  auto* to_text = Child<QPushButton>(dialog, "Command2");
  EXPECT_TRUE(Child<QCheckBox>(dialog, "KeepKar")->isChecked());
  ASSERT_EQ(tracks->count(), 3);
  EXPECT_EQ(tracks->itemText(0), " 1 Soft Karaoke");
  EXPECT_EQ(tracks->currentIndex(), 1);
  EXPECT_TRUE(to_lyrics->isEnabled() && to_text->isEnabled());

  // Another file read while the dialog is open: the list describes it at once.
  form_->OpenFile(File("b.mid", {"Tempo", "Piano"}));
  ASSERT_EQ(tracks->count(), 1);
  EXPECT_EQ(tracks->itemText(0), " 1 Piano");
  EXPECT_EQ(tracks->currentIndex(), -1);
  EXPECT_FALSE(to_lyrics->isEnabled() || to_text->isEnabled());
  tracks->setCurrentIndex(0);
  EXPECT_TRUE(to_lyrics->isEnabled() && to_text->isEnabled());
  EXPECT_EQ(&LyrCopy::Show(*form_), dialog);  // Convert Lyrics again raises the same dialog
}

TEST_F(LyricsDialogsTest, ConversionsEditTheWindowsSongUnlessCancelled) {
  LyrCopy* dialog = Open(File("c.kar", {"Tempo", "Soft Karaoke", "Words"}));
  ASSERT_FALSE(form_->isWindowModified());
  auto* lyrics_tab = Child<QPlainTextEdit>(form_.get(), "Lyrics");
  EXPECT_TRUE(lyrics_tab->toPlainText().isEmpty());
  Child<QPushButton>(dialog, "Command1")->click();
  EXPECT_EQ(CountMeta(form_->song(), 2, meta::kLyric), 3);
  EXPECT_EQ(CountMeta(form_->song(), 2, meta::kText), 3);
  EXPECT_TRUE(form_->isWindowModified());
  EXPECT_FALSE(lyrics_tab->toPlainText().isEmpty());
  EXPECT_FALSE(dialog->isVisible());

  // Lyrics -> Text, cancelled through the close box: nothing changes.
  form_->OpenFile(File("d.mid", {"Tempo", "Piano", "Vocal"}));
  dialog = &LyrCopy::Show(*form_);
  const Song before = form_->song();
  WhenModal([](QWidget* modal) { modal->close(); });
  Child<QPushButton>(dialog, "Command2")->click();
  EXPECT_EQ(form_->song(), before);
  EXPECT_FALSE(form_->isWindowModified());
  ASSERT_TRUE(dialog->isVisible());

  WhenModal([](QWidget* modal) { modal->findChild<QPushButton*>("Done")->click(); });
  Child<QPushButton>(dialog, "Command2")->click();
  EXPECT_EQ(form_->song().Header.TrackCount, 5);
  EXPECT_EQ(form_->song().TrackNameEntry(2), " 2 Words");
  EXPECT_EQ(form_->song().Tracks[4], before.Tracks[2]);
  EXPECT_EQ(CountMeta(form_->song(), 2, meta::kText), 6 + 2);
  EXPECT_TRUE(form_->isWindowModified());
  EXPECT_FALSE(dialog->isVisible());
}

}  // namespace
}  // namespace quaverly::ui
