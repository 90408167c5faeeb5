// The desktop program: the main window, with an optional file to open once it is shown.

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QTabWidget>
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
  QCommandLineOption screenshot(
      QStringLiteral("screenshot"),
      QStringLiteral("Save pictures of the window, one a tab, to FILE and quit."),
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
          // FILE shows the first tab; each further tab goes to FILE-<tab>.png beside it.
          auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("SSTab1"));
          const QFileInfo base(picture);
          for (int i = 0; i < (tabs ? tabs->count() : 1); ++i) {
            if (tabs) tabs->setCurrentIndex(i);
            const QString name = i == 0 ? picture
                                        : base.path() + QLatin1Char('/') + base.completeBaseName() +
                                              QLatin1Char('-') + tabs->tabText(i).toLower() +
                                              QStringLiteral(".png");
            window.grab().save(name);
          }
          window.close();
        });
      }
    });
  });
  return app.exec();
}
