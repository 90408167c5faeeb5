#include "ui/BatchCommand.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <atomic>
#include <mutex>
#include <thread>

#include "batch/ProcessFolder.h"
#include "catalogdb/CatalogDatabase.h"
#include "ui/CatAsk.h"
#include "ui/Form1.h"

namespace quaverly::ui {
namespace {

QString FromLocal(const std::string& text) {
  return QFile::decodeName(QByteArray::fromStdString(text));
}

// Shared between the walk on its worker thread and the window, which polls it: the walk may
// pass thousands of files a second, more than a window can show.
class SharedProgress : public BatchListener {
 public:
  void FileStarted(int files_done, const std::filesystem::path& file) override {
    const std::lock_guard lock(mutex_);
    files_done_ = files_done;
    current_ = file.string();
  }
  bool CancelRequested() override { return cancel_.load(); }

  void Cancel() { cancel_.store(true); }
  bool Cancelling() const { return cancel_.load(); }
  std::pair<int, std::string> Current() {
    const std::lock_guard lock(mutex_);
    return {files_done_, current_};
  }

 private:
  std::mutex mutex_;
  int files_done_ = 0;
  std::string current_;
  std::atomic<bool> cancel_{false};
};

BatchResult RunWithProgress(Form1& form, const std::filesystem::path& start,
                            const BatchOptions& options, const std::filesystem::path& catalog) {
  SharedProgress progress;
  QProgressDialog dialog(QObject::tr("Starting..."), QObject::tr("&Cancel"), 0, 0, &form);
  dialog.setObjectName(QStringLiteral("BatchProgress"));
  dialog.setWindowTitle(QObject::tr("Batch Processing"));
  dialog.setWindowModality(Qt::NonModal);
  dialog.setAutoClose(false);
  dialog.setAutoReset(false);
  dialog.setMinimumDuration(0);
  QObject::connect(&dialog, &QProgressDialog::canceled, &dialog, [&] {
    progress.Cancel();
    dialog.setLabelText(QObject::tr("Stopping after the current file..."));
  });
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &dialog, [&] {
    if (progress.Cancelling()) return;
    const auto [done, current] = progress.Current();
    if (current.empty()) return;
    const QString file = FromLocal(current);
    dialog.setLabelText(QObject::tr("%n file(s) done\n%1", nullptr, done).arg(file));
    form.ShowInFName(file);
  });
  poll.start(100);
  dialog.show();

  QEventLoop loop;
  BatchResult result;
  std::atomic<bool> finished{false};
  std::thread worker([&] {
    result = RunBatch(start, options, catalog, &progress);
    finished.store(true);
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  loop.exec();
  // The loop also ends when the application quits: stop the walk after its current file.
  if (!finished.load()) progress.Cancel();
  worker.join();
  return result;
}

void TellProblems(Form1& form, const BatchResult& result) {
  const QString title = QObject::tr("Batch Processing");
  if (!result.ok()) {
    form.dialogs().Tell(&form, QMessageBox::Warning, title, FromLocal(result.error));
  }
  QStringList lines;
  for (const std::string& line : result.refused) lines << FromLocal(line);
  for (const std::string& line : result.folder_errors) lines << FromLocal(line);
  if (lines.isEmpty()) return;
  constexpr int kShown = 20;
  const qsizetype total = lines.size();
  if (total > kShown) {
    lines = lines.mid(0, kShown);
    lines << QObject::tr("... and %1 more").arg(total - kShown);
  }
  const QString head = QObject::tr("%n rename(s) refused; those files keep their names.", nullptr,
                                   static_cast<int>(result.refused.size()));
  form.dialogs().Tell(&form, QMessageBox::Warning, title,
                      head + QStringLiteral("\n\n") + lines.join(QLatin1Char('\n')));
}

// The open song stays as it was, but Play stays off until a file is opened again, as after
// every batch command.
void DisablePlay(Form1& form) {
  if (auto* play = form.findChild<QAction*>(QStringLiteral("PlayMidi"))) play->setEnabled(false);
  if (auto* button = form.findChild<QPushButton*>(QStringLiteral("MidiPlay"))) {
    button->setEnabled(false);
  }
}

class BusyCursor {
 public:
  explicit BusyCursor(QWidget& window) : window_(window) { window_.setCursor(Qt::BusyCursor); }
  ~BusyCursor() { window_.unsetCursor(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  QWidget& window_;
};

}  // namespace

void RunBatchCommand(Form1& form, const BatchCommandHooks& hooks) {
  const BusyCursor busy(form);
  DisablePlay(form);

  // Kept while hidden so that a cancelled command shows the same settings next time.
  auto* ask = form.findChild<CatAsk*>(QStringLiteral("CatAsk"), Qt::FindDirectChildrenOnly);
  if (ask == nullptr) ask = new CatAsk(&form);
  ask->SetResultTag(QString());
  ask->exec();
  if (ask->ResultTag().toInt() == 0) return;

  const BatchOptions options = ask->Options();
  QString catalog;
  if (options.catalog) {
    Cdlg& cdlg = form.cdlg();
    cdlg.SetDialogTitle(QObject::tr("Save Catalog As"));
    cdlg.SetFileName(QStringLiteral("FileInfo.TXT"));
    cdlg.SetFlags(kOverwritePrompt | kPathMustExist | kNoReadOnlyReturn | kLongNames);
    // A cancelled save dialog ends the command: nothing is written or renamed.
    if (!cdlg.Show(&form, DialogAction::kSave)) return;
    catalog = cdlg.FileName();
  }

  const bool was_visible = form.isVisible();
  form.BeginBatch();
  const BatchResult result =
      RunWithProgress(form, ask->StartFolder(), options,
                      std::filesystem::path(QFile::encodeName(catalog).toStdString()));
  form.EndBatch();
  DisablePlay(form);
  // A completed run starts the next command from the initial settings.
  ask->setObjectName(QString());
  ask->deleteLater();
  // The window was closed during the run: the program is ending, so ask nothing more.
  if (was_visible && !form.isVisible()) return;
  TellProblems(form, result);

  if (options.catalog && result.ok()) {
    const auto answer = form.dialogs().Ask(&form, QObject::tr("Quaverly"),
                                           QObject::tr("Load Catalog with Notepad?"),
                                           QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer == QMessageBox::Yes) {
      const QUrl url = QUrl::fromLocalFile(catalog);
      const bool opened = hooks.open_url ? hooks.open_url(url) : QDesktopServices::openUrl(url);
      if (!opened) {
        form.dialogs().Tell(&form, QMessageBox::Warning, QObject::tr("Batch Processing"),
                            QObject::tr("No program could open %1.").arg(catalog));
      }
    }
  }
}

void CreateDatabaseCommand(Form1& form) {
  const std::string error = CreateCatalogDatabase(
      std::filesystem::path(QFile::encodeName(QDir::currentPath()).toStdString()));
  if (!error.empty()) {
    form.dialogs().Tell(&form, QMessageBox::Warning, QObject::tr("Create Database"),
                        FromLocal(error));
  }
}

}  // namespace quaverly::ui
