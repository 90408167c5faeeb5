#pragma once
// Stand-ins for the user and the sound output in window tests, and the application object
// that Qt widgets need.

#include <QApplication>
#include <deque>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "TempDir.h"
#include "playback/Sequencer.h"
#include "ui/Cdlg.h"

// Readable failure messages for Qt strings.
inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}

namespace quaverly::testing {

inline QApplication& App() {
  static int argc = 1;
  static char name[] = "test_ui";
  static char* argv[] = {name, nullptr};
  // Never destroyed: at exit Qt's own statics may already be gone.
  static auto* app = new QApplication(argc, argv);
  return *app;
}

// Answers file dialogs and message boxes from queues and records what was asked.
class FakeDialogs : public ui::UserDialogs {
 public:
  std::deque<std::optional<QString>> file_answers;
  std::deque<QMessageBox::StandardButton> button_answers;
  std::vector<ui::FileDialogRequest> requests;
  std::vector<QString> questions;
  std::vector<QString> messages;

  std::optional<QString> ChooseFile(QWidget*, const ui::FileDialogRequest& request) override {
    requests.push_back(request);
    if (file_answers.empty()) return std::nullopt;
    auto answer = file_answers.front();
    file_answers.pop_front();
    return answer;
  }
  QMessageBox::StandardButton Ask(QWidget*, const QString&, const QString& text,
                                  QMessageBox::StandardButtons,
                                  QMessageBox::StandardButton) override {
    questions.push_back(text);
    if (button_answers.empty()) return QMessageBox::Cancel;
    auto answer = button_answers.front();
    button_answers.pop_front();
    return answer;
  }
  void Tell(QWidget*, QMessageBox::Icon, const QString&, const QString& text) override {
    messages.push_back(text);
  }
};

// Records the commands it gets; on Close it notes what the file it held contained then.
class FakeSequencer : public playback::Sequencer {
 public:
  std::vector<std::string> log;
  std::vector<std::string> file_at_close;
  std::string open_error;
  bool open = false;
  bool playing = false;
  std::filesystem::path file;

  std::string Open(const std::filesystem::path& path) override {
    log.push_back("open " + path.string());
    if (!open_error.empty()) return open_error;
    file = path;
    open = true;
    return {};
  }
  std::string Play() override {
    log.push_back("play");
    playing = open;
    return {};
  }
  void Stop() override {
    log.push_back("stop");
    playing = false;
  }
  void Close() override {
    if (!open) return;
    log.push_back("close");
    file_at_close.push_back(ReadAll(file));
    open = playing = false;
  }
  bool IsOpen() const override { return open; }
  bool IsPlaying() const override { return playing; }
};

}  // namespace quaverly::testing
