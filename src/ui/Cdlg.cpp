#include "ui/Cdlg.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace quaverly::ui {
namespace {

// A proposed name may come from another system ("D:\ZUR30\alonenow.mid"): propose its folder
// only when that folder exists here, and its last part as the name.
void Propose(QFileDialog& dialog, const QString& proposed) {
  if (proposed.isEmpty()) return;
  const qsizetype cut =
      std::max(proposed.lastIndexOf(QLatin1Char('/')), proposed.lastIndexOf(QLatin1Char('\\')));
  const QString folder = cut >= 0 ? proposed.left(cut) : QString();
  if (!folder.isEmpty() && QFileInfo(folder).isDir()) dialog.setDirectory(folder);
  dialog.selectFile(proposed.mid(cut + 1));
}

bool IsWritableTarget(const QString& path) {
  const QFileInfo file(path);
  if (file.exists()) return file.isWritable();
  return QFileInfo(file.absolutePath()).isWritable();
}

}  // namespace

std::optional<QString> QtUserDialogs::ChooseFile(QWidget* parent,
                                                 const FileDialogRequest& request) {
  QFileDialog dialog(parent, request.title);
  dialog.setNameFilters(Cdlg::ToQtFilter(request.filter).split(QStringLiteral(";;")));
  const bool save = request.action == DialogAction::kSave;
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, (request.options & kOverwritePrompt) == 0);
  Propose(dialog, request.file_name);
  while (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
    const QString chosen = dialog.selectedFiles().first();
    if ((request.options & kNoReadOnlyReturn) == 0 || IsWritableTarget(chosen)) return chosen;
    Tell(&dialog, QMessageBox::Warning, request.title,
         QObject::tr("%1\nThis file or its folder is read-only. Choose another name.")
             .arg(QDir::toNativeSeparators(chosen)));
  }
  return std::nullopt;
}

QMessageBox::StandardButton QtUserDialogs::Ask(QWidget* parent, const QString& title,
                                               const QString& text,
                                               QMessageBox::StandardButtons buttons,
                                               QMessageBox::StandardButton default_button) {
  return QMessageBox::question(parent, title, text, buttons, default_button);
}

void QtUserDialogs::Tell(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                         const QString& text) {
  QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
  box.exec();
}

bool Cdlg::Show(QWidget* parent, DialogAction action) {
  const FileDialogRequest request{file_name_, filter_, title_, flags_, action};
  std::optional<QString> chosen = dialogs_.ChooseFile(parent, request);
  if (!chosen || chosen->isEmpty()) return false;
  file_name_ = *chosen;
  return true;
}

QString Cdlg::ToQtFilter(const QString& filter) {
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList entries;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString description = parts[i].trimmed();
    if (const qsizetype paren = description.lastIndexOf(QLatin1String(" (")); paren > 0) {
      description.truncate(paren);
    }
    QStringList patterns;
    for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
      // "*.*" means every file; here many names have no dot.
      const QString glob =
          pattern.trimmed() == QLatin1String("*.*") ? QStringLiteral("*") : pattern.trimmed();
      patterns << glob;
      if (glob.toUpper() != glob) patterns << glob.toUpper();
    }
    entries << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                   QLatin1Char(')');
  }
  return entries.join(QStringLiteral(";;"));
}

}  // namespace quaverly::ui
