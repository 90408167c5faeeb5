// The desktop program: the main window, with an optional file to open once it is shown.

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include "song/Allocator.h"
#include "ui/Form1.h"

int main(int argc, char* argv[]) {
  quaverly::KeepFreedMemoryForReuse();
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Quaverly"));
  QApplication::setApplicationVersion(QStringLiteral(QUAVERLY_VERSION));
  QApplication::setDesktopFileName(QStringLiteral("quaverly"));

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Shows, plays and converts MIDI files."));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("MIDI file to open."),
                               QStringLiteral("[file]"));
  QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                QStringLiteral("Save a picture of the window to FILE and quit."),
                                QStringLiteral("FILE"));
  parser.addOption(screenshot);
  parser.process(app);

  quaverly::ui::Form1 window;
  window.ShowSplash();
  const QStringList files = parser.positionalArguments();
  const QString picture = parser.value(screenshot);
  // The splash stays on view for a moment while the desktop draws both windows.
  QTimer::singleShot(picture.isEmpty() ? 1200 : 0, &window, [&] {
    window.HideSplash();
    window.show();
    QTimer::singleShot(0, &window, [&] {
      if (!files.isEmpty()) window.OpenFile(files.first());
      if (!picture.isEmpty()) {
        QTimer::singleShot(300, &window, [&] {
          window.grab().save(picture);
          window.close();
        });
      }
    });
  });
  return app.exec();
}
