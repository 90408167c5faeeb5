#pragma once
// The About box, which also serves as the splash screen at start-up: the program's logo,
// name, description, platform and version.

#include <QDialog>
#include <QPixmap>

class QFrame;
class QLabel;
class QPushButton;

namespace quaverly::ui {

// The program's logo (a quaver on a rounded square), drawn at the given size in pixels.
QPixmap QuaverlyLogo(int size);

class frmSplash : public QDialog {
  Q_OBJECT

 public:
  // Closing with Close or Escape destroys the box; hiding keeps it.
  explicit frmSplash(QWidget* parent = nullptr);

 private slots:
  void Command1_Click();

 private:
  void Form_Load();

  QFrame* Frame1_;
  QLabel* imgLogo_;
  QLabel* lblProductName_;
  QLabel* AppDesc_;
  QLabel* lblPlatform_;
  QLabel* lblVersion_;
  QPushButton* Command1_;
};

}  // namespace quaverly::ui
