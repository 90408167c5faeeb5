#include "ui/CatAsk.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStorageInfo>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

namespace quaverly::ui {
namespace {

QGroupBox* Frame(const char* name, const QString& title, QWidget* parent) {
  auto* frame = new QGroupBox(title, parent);
  frame->setObjectName(QLatin1String(name));
  return frame;
}

QCheckBox* Check(const char* name, const QString& caption, bool checked, bool enabled,
                 QWidget* parent, QLayout* layout) {
  auto* box = new QCheckBox(caption, parent);
  box->setObjectName(QLatin1String(name));
  box->setChecked(checked);
  box->setEnabled(enabled);
  layout->addWidget(box);
  return box;
}

QRadioButton* Option(const char* name, const QString& caption, bool selected, bool enabled,
                     QWidget* parent, QLayout* layout) {
  auto* button = new QRadioButton(caption, parent);
  button->setObjectName(QLatin1String(name));
  button->setChecked(selected);
  button->setEnabled(enabled);
  layout->addWidget(button);
  return button;
}

QLabel* Caption(const QString& text, QWidget* buddy, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setBuddy(buddy);
  return label;
}

}  // namespace

CatAsk::CatAsk(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("CatAsk"));
  setWindowTitle(tr("Batch Processing (*.Mid)"));

  // Where to start: the drive list drives the folder tree, the tree drives the file list.
  QGroupBox* frame1 = Frame("Frame1", QString(), this);
  auto* frame1_layout = new QVBoxLayout(frame1);
  DoSubs_ = Check("DoSubs", tr("&Include Subfolders"), true, true, frame1, frame1_layout);
  Drive1_ = new QComboBox(frame1);
  Drive1_->setObjectName(QStringLiteral("Drive1"));
  frame1_layout->addWidget(Caption(tr("Drive"), Drive1_, frame1));
  frame1_layout->addWidget(Drive1_);
  dir_model_ = new QFileSystemModel(this);
  dir_model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
  dir_model_->setRootPath(QDir::rootPath());
  Dir1_ = new QTreeView(frame1);
  Dir1_->setObjectName(QStringLiteral("Dir1"));
  Dir1_->setModel(dir_model_);
  for (int column = 1; column < dir_model_->columnCount(); ++column) Dir1_->hideColumn(column);
  Dir1_->header()->hide();
  frame1_layout->addWidget(Caption(tr("Directory"), Dir1_, frame1));
  frame1_layout->addWidget(Dir1_, 2);
  File1_ = new QListWidget(frame1);
  File1_->setObjectName(QStringLiteral("File1"));
  File1_->setSelectionMode(QAbstractItemView::NoSelection);
  frame1_layout->addWidget(Caption(tr("Directory Contents"), File1_, frame1));
  frame1_layout->addWidget(File1_, 1);

  QGroupBox* frame3 = Frame("Frame3", QString(), this);
  auto* frame3_layout = new QVBoxLayout(frame3);
  RenKar_ = Check("RenKar", tr("Rename Karaoke files"), true, true, frame3, frame3_layout);
  Catalog_ = Check("Catalog", tr("Create Catalog"), true, true, frame3, frame3_layout);
  // The catalog record has one fixed form, so its field choices are shown but not offered.
  QGroupBox* frame2 = Frame("Frame2", tr("Options"), frame3);
  auto* frame2_layout = new QVBoxLayout(frame2);
  Check("IFType", tr("File Type"), true, false, frame2, frame2_layout);
  Check("IFTracks", tr("# of Tracks"), true, false, frame2, frame2_layout);
  Check("IFRes", tr("Resoloution"), true, false, frame2, frame2_layout);
  Check("IFTempo", tr("Tempo"), true, false, frame2, frame2_layout);
  Check("IFKey", tr("Key Signature"), true, false, frame2, frame2_layout);
  Check("IfTime", tr("Time Signature"), true, false, frame2, frame2_layout);
  Check("IFCopy", tr("Copyright Text"), false, false, frame2, frame2_layout);
  Check("IFMarker", tr("1st Marker"), false, false, frame2, frame2_layout);
  Check("IFKar", tr("Karaoke"), true, false, frame2, frame2_layout);
  Check("IFLyrics", tr("Lyrics"), false, false, frame2, frame2_layout);
  Option("Delimit_0", tr("Tab Delimited"), true, false, frame2, frame2_layout);
  Option("Delimit_1", tr("Comma Delimited"), false, false, frame2, frame2_layout);
  frame3_layout->addWidget(frame2);

  QGroupBox* frame6 = Frame("Frame6", tr("File Name Processing"), this);
  auto* frame6_layout = new QVBoxLayout(frame6);
  Check("Confirm", tr("Confirm Name Changes"), false, false, frame6, frame6_layout);
  Check("ConvExt", tr("Change File Type"), false, false, frame6, frame6_layout);
  QGroupBox* frame4 = Frame("Frame4", QString(), frame6);
  auto* frame4_layout = new QVBoxLayout(frame4);
  Option("Ext_1", tr("Convert .mid to .MID"), false, false, frame4, frame4_layout);
  Option("Ext_0", tr("Convert .MID to .mid"), true, false, frame4, frame4_layout);
  frame6_layout->addWidget(frame4);
  ConvSpace_ = Check("ConvSpace", tr("Convert Spaces"), false, true, frame6, frame6_layout);
  QGroupBox* frame5 = Frame("Frame5", QString(), frame6);
  auto* frame5_layout = new QVBoxLayout(frame5);
  Spaces1_ = Option("Spaces_1", tr("Convert Space \" \" to Underscore \"_\""), false, true, frame5,
                    frame5_layout);
  Spaces0_ = Option("Spaces_0", tr("Convert Underscore \"_\" To Space \" \""), true, true, frame5,
                    frame5_layout);
  frame6_layout->addWidget(frame5);

  auto* start = new QPushButton(tr("&Start"), this);
  start->setObjectName(QStringLiteral("Start"));
  start->setDefault(true);
  auto* cancel = new QPushButton(tr("&Cancel"), this);
  cancel->setObjectName(QStringLiteral("Cancel"));
  Result_ = new QLabel(this);
  Result_->setObjectName(QStringLiteral("Result"));
  Result_->hide();

  auto* right = new QVBoxLayout;
  right->addWidget(frame3);
  right->addWidget(frame6);
  right->addStretch();
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(start);
  buttons->addWidget(cancel);
  auto* layout = new QGridLayout(this);
  layout->addWidget(frame1, 0, 0);
  layout->addLayout(right, 0, 1);
  layout->addLayout(buttons, 1, 0, 1, 2);
  resize(640, 560);

  connect(start, &QPushButton::clicked, this, &CatAsk::Start_Click);
  connect(cancel, &QPushButton::clicked, this, &CatAsk::Cancel_Click);
  connect(Dir1_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          &CatAsk::Dir1_Change);
  // The model reads folders in the background: show the folder again as its way fills in,
  // once the tree has taken in the new rows.
  connect(
      dir_model_, &QAbstractItemModel::rowsInserted, this,
      [this](const QModelIndex& filled) {
        QString way = dir_model_->filePath(filled);
        if (!way.endsWith(QLatin1Char('/'))) way += QLatin1Char('/');
        if (follow_ && folder_.startsWith(way)) ShowFolderInTree();
      },
      Qt::QueuedConnection);
  // It also sorts what it has read, which moves the rows.
  connect(
      dir_model_, &QAbstractItemModel::layoutChanged, this,
      [this] {
        if (follow_) ShowFolderInTree();
      },
      Qt::QueuedConnection);
  connect(Dir1_->verticalScrollBar(), &QScrollBar::actionTriggered, this,
          [this] { follow_ = false; });
  Dir1_->viewport()->installEventFilter(this);
  Dir1_->installEventFilter(this);
  FillDrives();
  SetFolder(QDir::currentPath());
  connect(Drive1_, &QComboBox::activated, this, &CatAsk::Drive1_Change);
}

QString CatAsk::ResultTag() const { return Result_->property("Tag").toString(); }
void CatAsk::SetResultTag(const QString& tag) { Result_->setProperty("Tag", tag); }

BatchOptions CatAsk::Options() const {
  BatchOptions options;
  options.catalog = Catalog_->isChecked();
  options.include_subfolders = DoSubs_->isChecked();
  options.rename_karaoke = RenKar_->isChecked();
  options.convert_spaces = ConvSpace_->isChecked();
  options.spaces = Spaces1_->isChecked() ? SpaceDirection::kSpaceToUnderscore
                                         : SpaceDirection::kUnderscoreToSpace;
  return options;
}

std::filesystem::path CatAsk::StartFolder() const {
  return std::filesystem::path(QFile::encodeName(folder_).toStdString());
}

void CatAsk::Start_Click() {
  SetResultTag(QStringLiteral("1"));
  done(Accepted);
}

void CatAsk::Cancel_Click() {
  SetResultTag(QStringLiteral("0"));
  done(Rejected);
}

void CatAsk::reject() { Cancel_Click(); }

bool CatAsk::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::MouseButtonPress || type == QEvent::Wheel || type == QEvent::KeyPress) {
    follow_ = false;
  }
  return QDialog::eventFilter(watched, event);
}

void CatAsk::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // A hidden tree cannot scroll; once laid out, bring the folder into view.
  QTimer::singleShot(0, this, &CatAsk::ShowFolderInTree);
}

void CatAsk::SetFolder(const QString& folder) {
  folder_ = QDir::cleanPath(QDir(folder).absolutePath());
  follow_ = true;
  Dir1_->collapseAll();
  ShowFolderInTree();
  SelectDriveOf(folder_);
  FillFiles();
}

void CatAsk::ShowFolderInTree() {
  const QModelIndex index = dir_model_->index(folder_);
  if (!index.isValid()) return;
  for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent()) {
    Dir1_->expand(parent);
  }
  const QSignalBlocker quiet(Dir1_->selectionModel());
  Dir1_->setCurrentIndex(index);
  Dir1_->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void CatAsk::Dir1_Change(const QModelIndex& current) {
  if (!current.isValid()) return;
  folder_ = dir_model_->filePath(current);
  SelectDriveOf(folder_);
  FillFiles();
}

void CatAsk::Drive1_Change() {
  const QString root = Drive1_->currentData().toString();
  // A volume that cannot be read (no medium, no permission) is not taken; the lists stay.
  if (root.isEmpty() || !QDir(root).isReadable()) {
    SelectDriveOf(folder_);
    return;
  }
  SetFolder(root);
}

void CatAsk::FillDrives() {
  QStringList roots;
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    if (volume.isValid() && volume.isReady()) roots << volume.rootPath();
  }
  roots.removeDuplicates();
  std::sort(roots.begin(), roots.end());
  Drive1_->clear();
  for (const QString& root : roots) Drive1_->addItem(root, root);
}

void CatAsk::SelectDriveOf(const QString& folder) {
  int best = -1;
  qsizetype best_length = -1;
  for (int i = 0; i < Drive1_->count(); ++i) {
    const QString root = Drive1_->itemData(i).toString();
    const bool contains =
        root == QLatin1String("/") || folder == root || folder.startsWith(root + QLatin1Char('/'));
    if (contains && root.size() > best_length) {
      best = i;
      best_length = root.size();
    }
  }
  const QSignalBlocker quiet(Drive1_);
  Drive1_->setCurrentIndex(best);
}

void CatAsk::FillFiles() {
  File1_->clear();
  // Name filters match regardless of letter case unless told otherwise; hidden files are left
  // out, as the walk leaves them out.
  const QDir dir(folder_, QStringLiteral("*.mid"), QDir::Name | QDir::IgnoreCase, QDir::Files);
  File1_->addItems(dir.entryList());
}

}  // namespace quaverly::ui
