#pragma once
// The window's batch and database commands: the Batch Processing dialog, the catalog's save
// dialog, the walk on a worker thread behind a progress dialog, and the closing question.
// The open song, its path and its display are never touched by a run.

#include <QUrl>
#include <functional>

namespace quaverly::ui {

class Form1;

struct BatchCommandHooks {
  // Opens the finished catalog in the desktop's text editor; tests record the request.
  std::function<bool(const QUrl&)> open_url;
};

// The whole batch command, from the dialog to the closing question. Returns when the run has
// ended; the window stays responsive meanwhile.
void RunBatchCommand(Form1& form, const BatchCommandHooks& hooks = {});

// Creates the empty catalog database in the current folder; a failure is told in a message
// that names the file.
void CreateDatabaseCommand(Form1& form);

}  // namespace quaverly::ui
