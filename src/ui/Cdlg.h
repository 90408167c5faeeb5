#pragma once
// The file dialog that every command of the window shares, and the seam through which the
// window asks the user anything (file dialogs and message boxes). Tests answer for the user
// with their own `UserDialogs`; the program uses `QtUserDialogs`.

#include <QMessageBox>
#include <QString>
#include <optional>

class QWidget;

namespace quaverly::ui {

enum class DialogAction { kOpen = 1, kSave = 2 };

// Option bits of the shared dialog.
inline constexpr unsigned kOverwritePrompt = 0x2;
inline constexpr unsigned kPathMustExist = 0x800;
inline constexpr unsigned kNoReadOnlyReturn = 0x8000;  // refuse read-only files and folders
inline constexpr unsigned kLongNames = 0x200000;

// What one command asks of the file dialog. `filter` is in the bar-separated form
// "Description|pattern;pattern|Description|pattern".
struct FileDialogRequest {
  QString file_name;
  QString filter;
  QString title;
  unsigned options = 0;
  DialogAction action = DialogAction::kOpen;
};

class UserDialogs {
 public:
  virtual ~UserDialogs() = default;
  // Shows a file dialog; the chosen full path, or nullopt when the user cancelled.
  virtual std::optional<QString> ChooseFile(QWidget* parent, const FileDialogRequest& request) = 0;
  // A question with the given buttons; returns the button pressed (Cancel or Escape when the
  // box is closed).
  virtual QMessageBox::StandardButton Ask(QWidget* parent, const QString& title,
                                          const QString& text, QMessageBox::StandardButtons buttons,
                                          QMessageBox::StandardButton default_button) = 0;
  // A message with an OK button.
  virtual void Tell(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                    const QString& text) = 0;
};

class QtUserDialogs : public UserDialogs {
 public:
  std::optional<QString> ChooseFile(QWidget* parent, const FileDialogRequest& request) override;
  QMessageBox::StandardButton Ask(QWidget* parent, const QString& title, const QString& text,
                                  QMessageBox::StandardButtons buttons,
                                  QMessageBox::StandardButton default_button) override;
  void Tell(QWidget* parent, QMessageBox::Icon icon, const QString& title,
            const QString& text) override;
};

// The shared dialog: file name and filter persist between commands; each command sets the
// title and options it needs before it shows the dialog.
class Cdlg {
 public:
  explicit Cdlg(UserDialogs& dialogs) : dialogs_(dialogs) {}

  const QString& FileName() const { return file_name_; }
  void SetFileName(const QString& name) { file_name_ = name; }
  const QString& Filter() const { return filter_; }
  void SetFilter(const QString& filter) { filter_ = filter; }
  const QString& DialogTitle() const { return title_; }
  void SetDialogTitle(const QString& title) { title_ = title; }
  unsigned Flags() const { return flags_; }
  void SetFlags(unsigned flags) { flags_ = flags; }

  // Shows the dialog. On OK FileName() holds the chosen path and the result is true; on
  // cancel FileName() keeps what it held and the result is false.
  bool Show(QWidget* parent, DialogAction action);

  // "Midi (*.mid)|*.mid|..." as Qt's "Midi (*.mid *.MID);;...". Upper-case patterns are added
  // because Linux file names are case-sensitive and many MIDI files end in ".MID".
  static QString ToQtFilter(const QString& filter);

 private:
  UserDialogs& dialogs_;
  QString file_name_;
  QString filter_;
  QString title_;
  unsigned flags_ = 0;
};

}  // namespace quaverly::ui
