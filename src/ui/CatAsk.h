#pragma once
// The Batch Processing dialog: the start folder (a drive list of the mounted volumes, a
// folder tree and the folder's "*.mid" files) and the options of a batch run. Start and Cancel
// only hide it, so its settings last until the command discards it after a completed run.
// Options that no run reads are shown disabled.

#include <QDialog>
#include <QString>
#include <filesystem>

#include "batch/ProcessFolder.h"

class QCheckBox;
class QComboBox;
class QFileSystemModel;
class QLabel;
class QListWidget;
class QModelIndex;
class QRadioButton;
class QTreeView;

namespace quaverly::ui {

class CatAsk : public QDialog {
  Q_OBJECT

 public:
  explicit CatAsk(QWidget* parent = nullptr);

  // "1" after Start, "0" after Cancel; the command empties it before it shows the dialog, so
  // a dialog closed any other way answers "".
  QString ResultTag() const;
  void SetResultTag(const QString& tag);

  BatchOptions Options() const;
  // The folder Dir1 shows, as the walk will name it.
  const QString& Folder() const { return folder_; }
  std::filesystem::path StartFolder() const;
  // Points Dir1 at the folder, and with it File1 and Drive1.
  void SetFolder(const QString& folder);

 public slots:
  void Start_Click();
  void Cancel_Click();
  void Drive1_Change();
  void Dir1_Change(const QModelIndex& current);
  // Escape and the window's close button answer as Cancel does.
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FillDrives();
  void FillFiles();
  // Expands the way to folder_ in Dir1 and selects it.
  void ShowFolderInTree();
  void SelectDriveOf(const QString& folder);

  QString folder_;
  // Whether the tree keeps bringing folder_ into view as it reads folders; ends as soon as
  // the user moves about in the tree.
  bool follow_ = true;
  QCheckBox* DoSubs_;
  QComboBox* Drive1_;
  QTreeView* Dir1_;
  QFileSystemModel* dir_model_;
  QListWidget* File1_;
  QCheckBox* RenKar_;
  QCheckBox* Catalog_;
  QCheckBox* ConvSpace_;
  QRadioButton* Spaces0_;
  QRadioButton* Spaces1_;
  QLabel* Result_;
};

}  // namespace quaverly::ui
