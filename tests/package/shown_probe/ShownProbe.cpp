// A Qt generic plugin that the package test loads into the installed program through Qt's own
// QT_PLUGIN_PATH and QT_QPA_GENERIC_PLUGINS, so the program itself needs no hook for it. When
// a top-level window has been shown and drawn, it prints that window's class and title,
// the desktop file the program names and the font files its widgets draw with, then closes the
// window as its close box would.

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGenericPlugin>
#include <QSet>
#include <QWidget>
#include <QWindow>
#include <cstdio>

namespace {

bool IsFontFile(const QString& path) {
  for (const char* suffix : {".ttf", ".ttc", ".otf", ".pfb", ".pcf", ".pcf.gz"}) {
    if (path.endsWith(QLatin1String(suffix), Qt::CaseInsensitive)) {
      return true;
    }
  }
  return false;
}

// The font files mapped into this process: the fonts text has been drawn or measured with.
QStringList MappedFontFiles() {
  QFile maps(QStringLiteral("/proc/self/maps"));
  QSet<QString> files;
  if (maps.open(QIODevice::ReadOnly | QIODevice::Text)) {
    for (const QByteArray& line : maps.readAll().split('\n')) {
      const qsizetype slash = line.indexOf('/');
      const QString path = slash < 0 ? QString() : QString::fromUtf8(line.mid(slash));
      if (IsFontFile(path)) {
        files.insert(path);
      }
    }
  }
  return files.values();
}

// The mapped font files that hold a family the window's visible widgets draw with; the program's
// default font, which the desktop chooses, counts only where a widget uses it.
QStringList WindowFontFiles(QWidget* window) {
  QSet<QString> families{QFontInfo(window->font()).family()};
  for (const QWidget* child : window->findChildren<QWidget*>()) {
    if (child->isVisible()) {
      families.insert(QFontInfo(child->font()).family());
    }
  }
  QStringList files;
  for (const QString& file : MappedFontFiles()) {
    const int id = QFontDatabase::addApplicationFont(file);
    for (const QString& family : QFontDatabase::applicationFontFamilies(id)) {
      if (families.contains(family)) {
        files.append(file);
        break;
      }
    }
  }
  return files;
}

class ShownProbe : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* window = qobject_cast<QWindow*>(watched);
    if (event->type() == QEvent::Expose && window != nullptr && window->isTopLevel() &&
        window->isExposed() && !reported_.contains(window)) {
      reported_.insert(window);
      // Queued, so the window has handled its expose and drawn itself first.
      QMetaObject::invokeMethod(
          this, [this, window] { Report(window); }, Qt::QueuedConnection);
    }
    return false;
  }

 private:
  void Report(QWindow* window) {
    QWidget* widget = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (top->windowHandle() == window) {
        widget = top;
      }
    }
    std::printf("shown: %s \"%s\"\n",
                widget != nullptr ? widget->metaObject()->className() : "(no widget)",
                qPrintable(window->title()));
    std::printf("desktop file: %s\n", qPrintable(QGuiApplication::desktopFileName()));
    for (const QString& file : widget != nullptr ? WindowFontFiles(widget) : QStringList()) {
      std::printf("font: %s\n", qPrintable(file));
    }
    std::fflush(stdout);
    if (widget != nullptr) {
      widget->close();
    } else {
      window->close();
    }
  }

  QSet<QWindow*> reported_;
};

}  // namespace

class ShownProbePlugin : public QGenericPlugin {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "shown_probe.json")

 public:
  QObject* create(const QString& /*key*/, const QString& /*parameters*/) override {
    auto* probe = new ShownProbe;
    QCoreApplication::instance()->installEventFilter(probe);
    return probe;
  }
};

#include "ShownProbe.moc"
