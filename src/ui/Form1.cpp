#include "ui/Form1.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>

#include "ui/BatchCommand.h"
#include "ui/LyrCopy.h"
#include "ui/TextDecode.h"
#include "ui/frmSplash.h"
#include "writer/WriteMidiFile.h"

namespace quaverly::ui {
namespace {

std::filesystem::path ToPath(const QString& path) {
  return std::filesystem::path(QFile::encodeName(path).toStdString());
}

QString FromPath(const std::filesystem::path& path) {
  return QFile::decodeName(QByteArray::fromStdString(path.string()));
}

// Sets the window's pointer to a busy shape for the life of a command.
class BusyPointer {
 public:
  BusyPointer(QWidget* window, Qt::CursorShape shape) : window_(window) {
    window_->setCursor(shape);
  }
  ~BusyPointer() { window_->unsetCursor(); }
  BusyPointer(const BusyPointer&) = delete;
  BusyPointer& operator=(const BusyPointer&) = delete;

 private:
  QWidget* window_;
};

// Seconds in plain decimal form ("0.0546875"), never in exponent form.
QString SecondsText(double seconds) {
  QString text = QString::number(seconds, 'f', 7);
  while (text.endsWith(QLatin1Char('0'))) text.chop(1);
  if (text.endsWith(QLatin1Char('.'))) text.chop(1);
  return text;
}

QPlainTextEdit* ReportBox(const char* name, QWidget* parent) {
  auto* box = new QPlainTextEdit(parent);
  box->setObjectName(QLatin1String(name));
  box->setReadOnly(true);
  box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  return box;
}

QLabel* NamedLabel(const char* name, const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QLatin1String(name));
  return label;
}

void Append(QPlainTextEdit* box, const std::string& bytes) {
  if (bytes.empty()) return;
  box->setPlainText(box->toPlainText() + DisplayText(bytes));
}

}  // namespace

QString TempDirFrom(const QByteArray& temp_variable) {
  QString dir = temp_variable.isEmpty() ? QDir::tempPath() : QFile::decodeName(temp_variable);
  if (!dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
  return dir;
}

Form1::Form1(std::unique_ptr<UserDialogs> dialogs, std::unique_ptr<playback::Sequencer> sequencer,
             QWidget* parent)
    : QMainWindow(parent),
      dialogs_(dialogs ? std::move(dialogs) : std::make_unique<QtUserDialogs>()),
      sequencer_(sequencer ? std::move(sequencer) : std::make_unique<playback::FluidSequencer>()),
      cdlg_(*dialogs_) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Quaverly[*]"));
  setWindowIcon(QIcon(QuaverlyLogo(64)));
  setAcceptDrops(true);

  SSTab1_ = new QTabWidget(this);
  SSTab1_->setObjectName(QStringLiteral("SSTab1"));
  SSTab1_->addTab(BuildGeneralTab(), tr("General"));
  GenText_ = ReportBox("GenText", SSTab1_);
  SSTab1_->addTab(GenText_, tr("Text"));
  Lyrics_ = ReportBox("Lyrics", SSTab1_);
  SSTab1_->addTab(Lyrics_, tr("Lyrics"));
  Markers_ = ReportBox("Markers", SSTab1_);
  Markers_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  SSTab1_->addTab(Markers_, tr("Markers"));

  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(SSTab1_);
  layout->addWidget(BuildTestControls());
  setCentralWidget(central);
  BuildMenus();
  statusBar();
  resize(760, 500);

  // Start-up: nothing that needs a song is enabled until a file has been read.
  for (QAction* action : {PlayMidi_, StopMidi_, Save_, SaveAs_, ConvLyr_, MkDB_}) {
    action->setEnabled(false);
  }
  temp_dir_ = TempDirFrom(qgetenv("TEMP"));
  UpdateTransport();

  playback_poll_.setInterval(250);
  connect(&playback_poll_, &QTimer::timeout, this, [this] {
    if (!sequencer_->IsPlaying()) {
      playback_poll_.stop();
      UpdateTransport();
    }
  });
}

Form1::~Form1() { sequencer_->Close(); }

void Form1::BuildMenus() {
  auto make = [this](QMenu* menu, const char* name, const QString& caption, auto slot) {
    QAction* action = menu != nullptr ? menu->addAction(caption) : menuBar()->addAction(caption);
    action->setObjectName(QLatin1String(name));
    connect(action, &QAction::triggered, this, slot);
    return action;
  };
  QMenu* file = menuBar()->addMenu(tr("&File"));
  file->setObjectName(QStringLiteral("filemenu"));
  Open_ = make(file, "Open", tr("&Open"), &Form1::Open_Click);
  Open_->setShortcut(QKeySequence::Open);
  PlayMidi_ = make(file, "PlayMidi", tr("&Play"), &Form1::PlayMidi_Click);
  StopMidi_ = make(file, "StopMidi", tr("S&top"), &Form1::StopMidi_Click);
  Save_ = make(file, "Save", tr("&Save"), &Form1::Save_Click);
  Save_->setShortcut(QKeySequence::Save);
  SaveAs_ = make(file, "SaveAs", tr("Save &As"), &Form1::SaveAs_Click);
  SaveAs_->setShortcut(QKeySequence::SaveAs);
  ConvLyr_ = make(file, "ConvLyr", tr("&Convert Lyrics"), &Form1::ConvLyr_Click);
  Bprocess_ = make(file, "Bprocess", tr("&Batch Processing"), &Form1::Bprocess_Click);
  MkDB_ = make(file, "MkDB", tr("Create Database"), &Form1::MkDB_Click);
  file->addSeparator();
  exitmenu_ = make(file, "exitmenu", tr("E&xit"), &Form1::exitmenu_Click);
  exitmenu_->setShortcut(QKeySequence::Quit);
  About_ = make(nullptr, "About", tr("&About"), &Form1::About_Click);
}

QWidget* Form1::BuildGeneralTab() {
  auto* tab = new QWidget;
  FName_ = NamedLabel("FName", tr(kNoFileOpen), tab);
  FName_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  FType_ = NamedLabel("FType", tr("Type --"), tab);
  FTracks_ = NamedLabel("FTracks", QStringLiteral("0"), tab);
  FTimeSig_ = NamedLabel("FTimeSig", QStringLiteral("?/?"), tab);
  FKeySig_ = NamedLabel("FKeySig", QStringLiteral("?"), tab);
  FTempo_ = NamedLabel("FTempo", QStringLiteral("???"), tab);
  FCopyTxt_ = NamedLabel("FCopyTxt", QString(), tab);
  FileInfo_ = ReportBox("FileInfo", tab);
  // Long paths and copyright notices must not widen the window.
  for (QLabel* label : {FName_, FCopyTxt_}) {
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  }

  // The transport where the sequencer control stands: top right of the General tab.
  auto* midi = new QWidget(tab);
  midi->setObjectName(QStringLiteral("Midi"));
  MidiPlay_ = new QPushButton(style()->standardIcon(QStyle::SP_MediaPlay), tr("Play"), midi);
  MidiPlay_->setObjectName(QStringLiteral("MidiPlay"));
  MidiStop_ = new QPushButton(style()->standardIcon(QStyle::SP_MediaStop), tr("Stop"), midi);
  MidiStop_->setObjectName(QStringLiteral("MidiStop"));
  connect(MidiPlay_, &QPushButton::clicked, this, &Form1::PlayMidi_Click);
  connect(MidiStop_, &QPushButton::clicked, this, &Form1::StopMidi_Click);
  auto* transport = new QHBoxLayout(midi);
  transport->setContentsMargins(0, 0, 0, 0);
  transport->addWidget(MidiPlay_);
  transport->addWidget(MidiStop_);

  auto* top = new QHBoxLayout;
  top->addWidget(FName_, 1);
  top->addWidget(midi);
  auto* summary = new QHBoxLayout;
  summary->addWidget(FType_);
  summary->addSpacing(16);
  for (auto [name, caption, value] : {std::tuple{"Label2", tr("Tracks:"), FTracks_},
                                      std::tuple{"Label3", tr("Time Signature:"), FTimeSig_},
                                      std::tuple{"Label4", tr("Key Signature:"), FKeySig_},
                                      std::tuple{"Label5", tr("Tempo:"), FTempo_}}) {
    summary->addWidget(NamedLabel(name, caption, tab));
    summary->addWidget(value);
    summary->addSpacing(16);
  }
  summary->addStretch();
  auto* copyright = new QHBoxLayout;
  copyright->addWidget(NamedLabel("Label6", tr("Copyright Text:"), tab));
  copyright->addWidget(FCopyTxt_, 1);

  auto* layout = new QVBoxLayout(tab);
  layout->addLayout(top);
  layout->addLayout(summary);
  layout->addLayout(copyright);
  layout->addWidget(FileInfo_, 1);
  return tab;
}

// Controls that read and write without dialogs. They stay out of view and out of the focus
// order; the two text boxes carry the Open dialog's proposed name and Save As's chosen path.
QWidget* Form1::BuildTestControls() {
  auto* panel = new QWidget;
  panel->setObjectName(QStringLiteral("TestControls"));
  auto button = [this, panel](const char* name, const QString& caption, auto slot) {
    auto* b = new QPushButton(caption, panel);
    b->setObjectName(QLatin1String(name));
    b->setFocusPolicy(Qt::NoFocus);
    connect(b, &QPushButton::clicked, this, slot);
    return b;
  };
  Command3_ = button("Command3", tr("Read Midi File"), &Form1::Command3_Click);
  testfile_ = new QLineEdit(QStringLiteral("D:\\ZUR30\\alonenow.mid"), panel);
  testfile_->setObjectName(QStringLiteral("testfile"));
  Command4_ = button("Command4", tr("Pick File"), &Form1::Command4_Click);
  WriteOut_ = button("WriteOut", tr("Write Midi File"), &Form1::WriteOut_Click);
  WriteOut_->setEnabled(false);
  auto* label1 = NamedLabel("Label1", tr("Output file:"), panel);
  OutFile_ = new QLineEdit(QStringLiteral("d:\\zur30\\Test.mid"), panel);
  OutFile_->setObjectName(QStringLiteral("OutFile"));
  Command1_ = button("Command1", tr("Convert"), &Form1::Command1_Click);
  for (QLineEdit* edit : {testfile_, OutFile_}) edit->setFocusPolicy(Qt::NoFocus);
  auto* layout = new QHBoxLayout(panel);
  for (QWidget* w : std::initializer_list<QWidget*>{Command3_, testfile_, Command4_, WriteOut_,
                                                    label1, OutFile_, Command1_}) {
    layout->addWidget(w);
  }
  panel->setVisible(false);
  return panel;
}

void Form1::ShowSplash() {
  if (!splash_) splash_ = new frmSplash(this);
  splash_->setWindowModality(Qt::NonModal);
  splash_->show();
}

void Form1::HideSplash() {
  if (splash_) splash_->hide();
}

void Form1::ClearFileInfoDisplay() {
  FType_->setText(tr("Type --"));
  FCopyTxt_->setText(QString());
  FKeySig_->setText(QStringLiteral("?"));
  FTempo_->setText(QStringLiteral("???"));
  FTimeSig_->setText(QStringLiteral("?/?"));
  FTracks_->setText(QStringLiteral("0"));
  Markers_->clear();
}

void Form1::ShowReport(const ReadReport& report) {
  auto set = [](QLabel* label, const std::optional<std::string>& text) {
    if (text) label->setText(DecodeForDisplay(*text));
  };
  set(FType_, report.FType);
  set(FTracks_, report.FTracks);
  set(FCopyTxt_, report.FCopyTxt);
  set(FTempo_, report.FTempo);
  set(FTimeSig_, report.FTimeSig);
  set(FKeySig_, report.FKeySig);
  Append(FileInfo_, report.FileInfo);
  Append(GenText_, report.GenText);
  Append(Lyrics_, report.Lyrics);
  Append(Markers_, report.Markers);
}

void Form1::ApplyReadOutcome(ReadOutcome outcome, bool enable) {
  const bool readable = outcome != ReadOutcome::kNotMidi;
  const bool complete = outcome == ReadOutcome::kComplete;
  auto apply = [enable](QAction* action, bool allowed) {
    if (!allowed) {
      action->setEnabled(false);
    } else if (enable) {
      action->setEnabled(true);
    }
  };
  apply(Save_, complete);
  apply(SaveAs_, readable);
  apply(PlayMidi_, readable);
  WriteOut_->setEnabled(readable);
  UpdateTransport();
}

void Form1::UpdateConvLyr() {
  ConvLyr_->setEnabled(!batch_running_ &&
                       (!GenText_->toPlainText().isEmpty() || !Lyrics_->toPlainText().isEmpty()));
}

void Form1::UpdateTransport() {
  const bool playing = sequencer_->IsOpen() && sequencer_->IsPlaying();
  StopMidi_->setEnabled(playing);
  MidiStop_->setEnabled(playing);
  MidiPlay_->setEnabled(PlayMidi_->isEnabled());
}

void Form1::Open_Click() {
  if (!MaySaveChanges()) return;
  cdlg_.SetFileName(testfile_->text());
  cdlg_.SetFilter(QLatin1String(kMidiFilter));
  cdlg_.SetDialogTitle(tr("Open"));
  cdlg_.SetFlags(kPathMustExist | kLongNames);
  if (!cdlg_.Show(this, DialogAction::kOpen)) return;
  OpenFile(cdlg_.FileName());
}

void Form1::OpenFile(const QString& path) {
  testfile_->setText(path);
  Command3_->setEnabled(false);
  ConvLyr_->setEnabled(false);
  BusyPointer busy(this, Qt::BusyCursor);
  FName_->setText(path);
  FileInfo_->clear();
  GenText_->clear();
  Lyrics_->clear();
  Markers_->clear();
  ClearFileInfoDisplay();

  QElapsedTimer timer;
  timer.start();
  ReadResult result = ReadMidiFile(ToPath(path), ReadMode::kDisplay);
  const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;

  song_ = std::move(result.song);
  path_ = ToPath(path);
  setWindowModified(false);
  ShowReport(result.report);
  FileInfo_->setPlainText(FileInfo_->toPlainText() + tr(" File Open Time: ") +
                          SecondsText(seconds));
  Command3_->setEnabled(true);
  ApplyReadOutcome(result.outcome, true);
  UpdateConvLyr();
  if (!result.error.empty()) ShowStatus(QString::fromStdString(result.error));
  emit SongRead();
}

void Form1::Command3_Click() {
  if (!MaySaveChanges()) return;
  Command3_->setEnabled(false);
  BusyPointer busy(this, Qt::BusyCursor);
  const QString path = testfile_->text();
  FName_->setText(path);
  FileInfo_->clear();
  GenText_->clear();
  Lyrics_->clear();
  ReadResult result = ReadMidiFile(ToPath(path), ReadMode::kDisplay);
  song_ = std::move(result.song);
  path_ = ToPath(path);
  setWindowModified(false);
  ShowReport(result.report);
  Command3_->setEnabled(true);
  // Enables nothing of its own, but a failed read must not leave Save pointing at it.
  ApplyReadOutcome(result.outcome, false);
  if (GenText_->toPlainText().isEmpty() && Lyrics_->toPlainText().isEmpty()) {
    ConvLyr_->setEnabled(false);
  }
  if (!result.error.empty()) ShowStatus(QString::fromStdString(result.error));
  emit SongRead();
}

void Form1::Command4_Click() {
  cdlg_.SetFileName(testfile_->text());
  cdlg_.SetFilter(QLatin1String(kMidiFilter));
  cdlg_.SetDialogTitle(tr("Pick File"));
  cdlg_.SetFlags(kPathMustExist | kLongNames);
  if (cdlg_.Show(this, DialogAction::kOpen)) testfile_->setText(cdlg_.FileName());
}

bool Form1::WriteSongTo(const QString& path, const QString& command) {
  std::string error;
  {
    BusyPointer busy(this, Qt::WaitCursor);
    error = WriteMidiFile(song_, ToPath(path));
  }
  if (error.empty()) return true;
  dialogs_->Tell(this, QMessageBox::Critical, command,
                 tr("The song was not saved to %1.\n\n%2")
                     .arg(QDir::toNativeSeparators(path), QString::fromStdString(error)));
  return false;
}

bool Form1::SaveDocument() {
  if (!Save_->isEnabled() || path_.empty()) return SaveDocumentAs();
  if (!WriteSongTo(FromPath(path_), tr("Save"))) return false;
  setWindowModified(false);
  ShowStatus(tr("Saved %1").arg(FromPath(path_)));
  return true;
}

bool Form1::SaveDocumentAs() {
  cdlg_.SetFileName(QString());
  cdlg_.SetFilter(QStringLiteral("All Files (*.*)|*.*"));
  cdlg_.SetDialogTitle(tr("Save As"));
  cdlg_.SetFlags(kOverwritePrompt | kPathMustExist | kNoReadOnlyReturn | kLongNames);
  if (!cdlg_.Show(this, DialogAction::kSave)) return false;
  const QString chosen = cdlg_.FileName();
  OutFile_->setText(chosen);
  if (!WriteSongTo(chosen, tr("Save As"))) return false;
  // From now on the document is the file just written: Save must not go back to the old one.
  path_ = ToPath(chosen);
  FName_->setText(chosen);
  Save_->setEnabled(!batch_running_);
  setWindowModified(false);
  ShowStatus(tr("Saved %1").arg(chosen));
  return true;
}

void Form1::Save_Click() { SaveDocument(); }

void Form1::SaveAs_Click() { SaveDocumentAs(); }

void Form1::WriteOut_Click() {
  Command3_->setEnabled(false);
  WriteOut_->setEnabled(false);
  WriteSongTo(OutFile_->text(), tr("Write Midi File"));
  Command3_->setEnabled(true);
  WriteOut_->setEnabled(true);
}

void Form1::PlayMidi_Click() {
  if (!PlayMidi_->isEnabled()) return;
  // The sequencer may still hold the temporary file: release it before replacing the file.
  sequencer_->Close();
  UpdateTransport();
  const QString temp_file = temp_dir_ + QStringLiteral("TEMPMIDI.MID");
  if (std::string error = WriteMidiFile(song_, ToPath(temp_file)); !error.empty()) {
    ShowStatus(tr("Cannot play: %1").arg(QString::fromStdString(error)));
    return;
  }
  if (std::string error = sequencer_->Open(ToPath(temp_file)); !error.empty()) {
    ShowStatus(tr("Cannot play: %1").arg(QString::fromStdString(error)));
    return;
  }
  if (std::string error = sequencer_->Play(); !error.empty()) {
    sequencer_->Close();
    ShowStatus(tr("Cannot play: %1").arg(QString::fromStdString(error)));
    return;
  }
  ShowStatus(tr("Playing"));
  playback_poll_.start();
  UpdateTransport();
}

void Form1::StopMidi_Click() {
  sequencer_->Stop();
  playback_poll_.stop();
  ShowStatus(tr("Stopped"));
  UpdateTransport();
}

// Opens the lyrics dialog LyrCopy, modeless.
void Form1::ConvLyr_Click() { LyrCopy::Show(*this); }

// Opens the lyrics dialog LyrCopy, as Convert Lyrics does.
void Form1::Command1_Click() { LyrCopy::Show(*this); }

// Asks for the batch options (CatAsk) and runs the catalog.
void Form1::Bprocess_Click() { RunBatchCommand(*this); }

// The catalog database command is offered but never enabled.
void Form1::MkDB_Click() { CreateDatabaseCommand(*this); }

void Form1::exitmenu_Click() {
  if (!MaySaveChanges()) return;
  closing_confirmed_ = true;
  close();
}

void Form1::About_Click() {
  if (!splash_) splash_ = new frmSplash(this);
  splash_->setWindowModality(Qt::ApplicationModal);
  splash_->show();
  splash_->raise();
  splash_->activateWindow();
}

void Form1::closeEvent(QCloseEvent* event) {
  if (!closing_confirmed_ && !MaySaveChanges()) {
    event->ignore();
    return;
  }
  closing_confirmed_ = false;
  playback_poll_.stop();
  sequencer_->Close();
  event->accept();
}

void Form1::dragEnterEvent(QDragEnterEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (!urls.isEmpty() && urls.first().isLocalFile() && !batch_running_) {
    event->acceptProposedAction();
  }
}

void Form1::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (urls.isEmpty() || !urls.first().isLocalFile() || batch_running_) return;
  event->acceptProposedAction();
  const QString path = urls.first().toLocalFile();
  testfile_->setText(path);
  if (MaySaveChanges()) OpenFile(path);
}

void Form1::SongEdited() {
  // The reader's own rules lay out the tabs, so an edited song reads as a saved one would.
  const ByteBuffer bytes = SerializeMidi(song_);
  const ReadResult reread = ReadMidiBytes(bytes, ReadMode::kDisplay);
  GenText_->setPlainText(DisplayText(reread.report.GenText));
  Lyrics_->setPlainText(DisplayText(reread.report.Lyrics));
  Markers_->setPlainText(DisplayText(reread.report.Markers));
  UpdateConvLyr();
  setWindowModified(true);
}

bool Form1::MaySaveChanges() {
  if (!isWindowModified()) return true;
  const QMessageBox::StandardButton answer = dialogs_->Ask(
      this, tr("Quaverly"), tr("The song has unsaved changes. Save them first?"),
      QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
  if (answer == QMessageBox::Save) return SaveDocument();
  return answer == QMessageBox::Discard;
}

void Form1::ShowStatus(const QString& message) { statusBar()->showMessage(message, 10000); }

void Form1::ShowInFName(const QString& text) { FName_->setText(text); }

void Form1::BeginBatch() {
  if (batch_running_) return;
  batch_running_ = true;
  before_batch_.clear();
  for (QAction* action : {Open_, PlayMidi_, Save_, SaveAs_, ConvLyr_, Bprocess_}) {
    before_batch_.emplace_back(action, action->isEnabled());
    action->setEnabled(false);
  }
  for (QPushButton* button : {Command3_, Command4_, WriteOut_, Command1_}) {
    before_batch_.emplace_back(button, button->isEnabled());
    button->setEnabled(false);
  }
  UpdateTransport();
}

void Form1::EndBatch() {
  if (!batch_running_) return;
  batch_running_ = false;
  for (auto [object, enabled] : before_batch_) {
    if (auto* action = qobject_cast<QAction*>(object)) action->setEnabled(enabled);
    if (auto* widget = qobject_cast<QWidget*>(object)) widget->setEnabled(enabled);
  }
  before_batch_.clear();
  FName_->setText(path_.empty() ? tr(kNoFileOpen) : FromPath(path_));
  UpdateTransport();
}

}  // namespace quaverly::ui
